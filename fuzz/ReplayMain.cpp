// Runs a fuzz target over every file of its corpus folder without libFuzzer,
// so that the native tests keep each input that once found a fault.
#include "fuzz/FuzzInput.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2 || !fs::is_directory(argv[1])) {
        std::cerr << "usage: " << argv[0] << " CORPUS-FOLDER\n";
        return 2;
    }
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(argv[1]))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    // An empty folder would pass without testing anything.
    if (inputs.empty()) {
        std::cerr << "no inputs in " << argv[1] << "\n";
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        // Named first: a failing input ends the program.
        std::cerr << input.filename().string() << "\n";
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes(std::istreambuf_iterator<char>(file), {});
        if (!file.good() && !file.eof()) {
            std::cerr << "cannot read " << input << "\n";
            return 1;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << inputs.size() << " inputs replayed\n";
    return 0;
}
