#pragma once
// What must hold after a backup run, stated from the world before it and the
// world after it, and written without the engine's code: it walks, maps paths
// and applies the copy rule on its own.
#include "Scenario.h"

#include <string>
#include <vector>

namespace kelvorin::testing {

// Every broken promise, in words; empty when the run kept them all. The
// scenario's files are the world after the run. A run cancelled after it
// wrote its listing has its listing.
std::vector<std::string> CheckRun(const Scenario& scenario, const MemoryFileServices::Tree& before,
                                  const std::vector<std::u16string>& runLog, bool cancelled,
                                  bool cancelledAfterListing);

} // namespace kelvorin::testing
