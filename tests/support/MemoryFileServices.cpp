#include "MemoryFileServices.h"

#include "engine/Calendar.h"
#include "set/PathOrder.h"
#include "set/Text16.h"

#include <algorithm>
#include <cstring>

namespace kelvorin::testing {

using namespace system_error;

namespace {

// What a new file is stamped with until its stamp is set.
constexpr DosStamp kNow =
    static_cast<DosStamp>((46u << 25) | (12u << 21) | (10u << 16) | (12u << 11));

std::u16string SingleBackslashes(std::u16string_view path) {
    std::u16string out;
    out.reserve(path.size());
    for (char16_t c : path)
        if (!(c == u'\\' && !out.empty() && out.back() == u'\\')) out += c;
    while (!out.empty() && out.back() == u'\\')
        out.pop_back();
    return out;
}

std::u16string_view NameOf(std::u16string_view path) {
    const auto slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::u16string MemoryFileServices::Key(std::u16string_view path) {
    std::u16string key = SingleBackslashes(path);
    for (char16_t& c : key)
        c = FoldCase(c);
    return key;
}

std::u16string MemoryFileServices::ParentKey(const std::u16string& key) {
    const auto slash = key.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : key.substr(0, slash);
}

void MemoryFileServices::AddDrive(char16_t letter, std::int64_t capacity) {
    letter = Upper(letter);
    drives_[letter] = Drive{capacity};
    Put(std::u16string{letter, u':'}, true);
}

void MemoryFileServices::AddFolder(std::u16string_view path, std::uint32_t attributes) {
    const std::u16string p = SingleBackslashes(path);
    for (std::size_t pos = p.find(u'\\'); pos != std::u16string::npos; pos = p.find(u'\\', pos + 1))
        if (!Find(p.substr(0, pos))) Put(p.substr(0, pos), true);
    if (!Find(p)) Put(p, true).attributes = attributes;
}

void MemoryFileServices::AddFile(std::u16string_view path, std::string bytes, DosStamp stamp,
                                 std::uint32_t attributes) {
    const std::u16string p = SingleBackslashes(path);
    AddFolder(p.substr(0, p.rfind(u'\\')));
    Node& node = Put(p, false);
    drives_[Upper(p[0])].used +=
        static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(node.bytes.size());
    node.bytes = std::move(bytes);
    node.stamp = stamp;
    node.attributes = attributes;
}

void MemoryFileServices::AddFolderLink(std::u16string_view path) {
    constexpr std::uint32_t kJunctionTag = 0xA0000003;
    AddFolder(path, kAttrReparsePoint);
    nodes_[Key(path)].reparseTag = kJunctionTag;
}

bool MemoryFileServices::Vanished(char16_t drive) const {
    const auto it = vanishAfter_.find(Upper(drive));
    return it != vanishAfter_.end() && it->second < 0;
}

const MemoryFileServices::Node* MemoryFileServices::Find(std::u16string_view path) const {
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryFileServices::IsDenied(std::u16string_view path) const {
    for (std::u16string key = Key(path); !key.empty(); key = ParentKey(key))
        if (denied_.contains(key)) return true;
    return false;
}

bool MemoryFileServices::Reach(std::u16string_view path) {
    const char16_t letter = path.size() >= 2 && path[1] == u':' ? Upper(path[0]) : 0;
    if (!drives_.contains(letter)) return Fail(kPathNotFound);
    if (auto it = vanishAfter_.find(letter); it != vanishAfter_.end() && --it->second < 0)
        return Fail(kPathNotFound);
    return true;
}

MemoryFileServices::Node* MemoryFileServices::LookUpNode(std::u16string_view path) {
    if (!Reach(path)) return nullptr;
    const std::u16string key = Key(path);
    if (IsDenied(ParentKey(key))) return Fail(kAccessDenied), nullptr;
    const auto parent = nodes_.find(ParentKey(key));
    if (key.size() > 2 && (parent == nodes_.end() || !parent->second.folder))
        return Fail(kPathNotFound), nullptr;
    const auto it = nodes_.find(key);
    if (it == nodes_.end()) return Fail(kFileNotFound), nullptr;
    return &it->second;
}

MemoryFileServices::Node& MemoryFileServices::Put(std::u16string_view path, bool folder) {
    Node& node = nodes_[Key(path)];
    node.path = SingleBackslashes(path);
    node.folder = folder;
    return node;
}

void MemoryFileServices::Resize(Node& node, std::size_t size) {
    drives_[Upper(node.path[0])].used +=
        static_cast<std::int64_t>(size) - static_cast<std::int64_t>(node.bytes.size());
    node.bytes.resize(size);
}

bool MemoryFileServices::IsOpen(const std::u16string& key) const {
    return std::any_of(open_.begin(), open_.end(),
                       [&](const auto& entry) { return entry.second.key == key; });
}

bool MemoryFileServices::ListFolder(std::u16string_view pattern,
                                    const std::function<void(const FolderEntry&)>& visit) {
    const std::lock_guard lock(mutex_);
    const std::u16string_view folder =
        pattern.substr(0, pattern.size() - std::min<std::size_t>(4, pattern.size()));
    const Node* node = LookUpNode(folder);
    if (!node) return false;
    if (!node->folder) return Fail(kPathNotFound);
    const std::u16string key = Key(folder);
    if (denied_.contains(key)) return Fail(kAccessDenied);

    // Taken first: the visitor may look things up and change the last error.
    struct Entry {
        std::u16string name;
        std::uint32_t attributes, tag;
        std::uint64_t size;
        DosStamp stamp;
    };
    std::vector<Entry> entries;
    if (key.size() > 2)
        entries = {{u".", kAttrDirectory, 0, 0, kNoStamp}, {u"..", kAttrDirectory, 0, 0, kNoStamp}};
    const std::u16string prefix = key + u'\\';
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix);
         ++it) {
        if (it->first.find(u'\\', prefix.size()) != std::u16string::npos) continue;
        const Node& child = it->second;
        entries.push_back({std::u16string(NameOf(child.path)),
                           child.attributes | (child.folder ? kAttrDirectory : 0), child.reparseTag,
                           child.bytes.size(),
                           child.folder || child.reparseTag ? kNoStamp : child.stamp});
    }
    for (const Entry& e : entries)
        visit(FolderEntry{e.name, e.attributes, e.tag, e.size, e.stamp});
    return true;
}

DosStamp MemoryFileServices::GetFileStamp(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    const Node* node = LookUpNode(path);
    return node && !node->folder ? node->stamp : kNoStamp;
}

DosStamp MemoryFileServices::GetHandleStamp(Handle h) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end()) return Fail(kInvalidHandle), kNoStamp;
    if (!Reach(it->second.key)) return kNoStamp;
    return nodes_[it->second.key].stamp;
}

bool MemoryFileServices::SetFileStamp(std::u16string_view path, DosStamp stamp) {
    const std::lock_guard lock(mutex_);
    Node* node = LookUpNode(path);
    if (!node || node->folder) return false;
    if (stamp == kNoStamp) return Fail(kInvalidParameter);
    node->stamp = stamp;
    return true;
}

bool MemoryFileServices::SetHandleTime(Handle h, FileTime time) {
    const DosStamp stamp = StampOfFileTime(time, 0);
    if (stamp == kNoStamp) return Fail(kInvalidParameter);
    return SetHandleStamp(h, stamp, kInvalidHandle);
}

std::int64_t MemoryFileServices::HandleSize(Handle h) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end()) return Fail(kInvalidHandle), -1;
    if (!Reach(it->second.key)) return -1;
    return static_cast<std::int64_t>(nodes_[it->second.key].bytes.size());
}

// Access times are not kept.
bool MemoryFileServices::SetHandleStamp(Handle h, DosStamp stamp, Handle) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || !it->second.writing) return Fail(kInvalidHandle);
    if (stamp == kNoStamp) return Fail(kInvalidParameter);
    if (!Reach(it->second.key)) return false;
    nodes_[it->second.key].stamp = stamp;
    return true;
}

std::optional<FileFacts> MemoryFileServices::ExistingFile(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    const Node* node = LookUpNode(path);
    if (!node || node->folder) return std::nullopt;
    return FileFacts{node->stamp, node->bytes.size(), FileTimeOfStamp(node->stamp, 0)};
}

PathInfo MemoryFileServices::LookUp(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    if (const Node* node = LookUpNode(path))
        return {node->folder ? PathState::Folder : PathState::File,
                node->attributes | (node->folder ? kAttrDirectory : 0)};
    const bool notFound = lastError_ == kFileNotFound || lastError_ == kPathNotFound;
    return {notFound ? PathState::Missing : PathState::Unknown, kNoAttributes};
}

bool MemoryFileServices::MakeFolderChain(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    if (!Reach(path)) return false;
    const std::u16string p = SingleBackslashes(path);
    std::size_t end = 0;
    do { // top down, the drive root first
        end = p.find(u'\\', end + 1);
        const std::u16string folder = p.substr(0, end);
        const std::u16string key = Key(folder);
        if (IsDenied(ParentKey(key))) return Fail(kAccessDenied);
        if (const auto it = nodes_.find(key); it == nodes_.end())
            Put(folder, true);
        else if (!it->second.folder)
            return Fail(kAlreadyExists);
    } while (end != std::u16string::npos);
    return true;
}

bool MemoryFileServices::DeleteOneFile(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    Node* node = LookUpNode(path);
    if (!node) return false;
    if (node->folder || (node->attributes & kAttrReadOnly)) return Fail(kAccessDenied);
    const std::u16string key = Key(path);
    if (IsOpen(key)) return Fail(kSharingViolation);
    Resize(*node, 0);
    nodes_.erase(key);
    return true;
}

bool MemoryFileServices::RemoveOneFolder(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    Node* node = LookUpNode(path);
    if (!node) return false;
    const std::u16string key = Key(path);
    if (!node->folder || key.size() <= 2) return Fail(kAccessDenied);
    // "X.txt" sorts between "X" and "X\\...": look where X's entries would be.
    const auto next = nodes_.lower_bound(key + u'\\');
    if (next != nodes_.end() && next->first.starts_with(key + u'\\'))
        return Fail(kDirNotEmpty); // the folder is not empty
    nodes_.erase(key);
    return true;
}

bool MemoryFileServices::MoveIntoPlace(std::u16string_view source, std::u16string_view target) {
    const std::lock_guard lock(mutex_);
    Node* from = LookUpNode(source);
    if (!from) return false;
    const std::u16string sourceKey = Key(source), targetKey = Key(target);
    if (from->folder || IsOpen(sourceKey)) return Fail(kAccessDenied);
    const auto parent = nodes_.find(ParentKey(targetKey));
    if (parent == nodes_.end() || !parent->second.folder) return Fail(kPathNotFound);
    if (const auto it = nodes_.find(targetKey); it != nodes_.end()) {
        if (it->second.folder || (it->second.attributes & kAttrReadOnly))
            return Fail(kAccessDenied);
        if (IsOpen(targetKey)) return Fail(kSharingViolation);
        Resize(it->second, 0);
    }
    Node moved = std::move(*from);
    nodes_.erase(sourceKey);
    moved.path = SingleBackslashes(target);
    nodes_[targetKey] = std::move(moved);
    return true;
}

bool MemoryFileServices::RenameWithoutReplacing(std::u16string_view source,
                                                std::u16string_view target) {
    // One step under the lock, as the system's rename is.
    const std::lock_guard lock(mutex_);
    if (nodes_.contains(Key(target))) return Fail(kAlreadyExists);
    // Looked at without counting a call: a folder is renamed in one, as a file is.
    if (const auto it = nodes_.find(Key(source)); it == nodes_.end() || !it->second.folder)
        return MoveIntoPlace(source, target);
    if (!LookUpNode(source)) return false;
    // A folder moves with all it holds, unless a file below it is open.
    const std::u16string sourceKey = Key(source), targetKey = Key(target);
    const std::u16string below = sourceKey + u'\\';
    for (const auto& [h, state] : open_)
        if (state.key.starts_with(below)) return Fail(kAccessDenied);
    const auto parent = nodes_.find(ParentKey(targetKey));
    if (parent == nodes_.end() || !parent->second.folder) return Fail(kPathNotFound);
    const std::u16string targetPath = SingleBackslashes(target);
    std::vector<std::u16string> keys{sourceKey};
    for (auto it = nodes_.lower_bound(below); it != nodes_.end() && it->first.starts_with(below);
         ++it)
        keys.push_back(it->first);
    for (const std::u16string& key : keys) {
        Node moved = std::move(nodes_[key]);
        nodes_.erase(key);
        moved.path = targetPath + moved.path.substr(std::min(moved.path.size(), source.size()));
        nodes_[targetKey + key.substr(sourceKey.size())] = std::move(moved);
    }
    return true;
}

std::int64_t MemoryFileServices::FreeBytesOnDrive(DriveLetter drive) {
    const std::lock_guard lock(mutex_);
    if (drive.IsNone()) return -1;
    const char16_t letter = drive.Letter();
    if (!Reach(std::u16string{letter, u':'})) return -1;
    const Drive& d = drives_[letter];
    return d.capacity - d.used;
}

FileServices::Handle MemoryFileServices::Open(std::u16string_view path, bool writing, bool shared) {
    const std::lock_guard lock(mutex_);
    const std::u16string key = Key(path);
    Node* node = LookUpNode(path);
    if (!node && !(writing && lastError_ == kFileNotFound)) return kInvalidHandle;
    if (failOpen_.contains(key)) return Fail(kAccessDenied), kInvalidHandle;
    if (node && node->folder) return Fail(kAccessDenied), kInvalidHandle;
    for (const auto& [h, state] : open_)
        if (state.key == key && !(shared && state.shared && !writing && !state.writing))
            return Fail(kSharingViolation), kInvalidHandle;
    if (writing) {
        if (node && (node->attributes & kAttrReadOnly)) return Fail(kAccessDenied), kInvalidHandle;
        if (!node) {
            node = &Put(path, false);
            node->stamp = kNow;
        }
        Resize(*node, 0);
    }
    const Handle h = nextHandle_++;
    open_.emplace(h, OpenState{key, writing, shared});
    return h;
}

FileServices::Handle MemoryFileServices::OpenUncached(std::u16string_view path) {
    const std::lock_guard lock(mutex_);
    const Handle h = Open(path, false, true);
    if (const auto it = open_.find(h); it != open_.end()) it->second.uncached = true;
    return h;
}

std::int64_t MemoryFileServices::ReadChunk(Handle h, void* buffer, std::int64_t n) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || n < 0) return Fail(kInvalidHandle), -1;
    OpenState& state = it->second;
    if (!Reach(state.key)) return Fail(kNotReady), -1;
    const std::string& bytes = nodes_[state.key].bytes;
    std::int64_t end = static_cast<std::int64_t>(bytes.size());
    if (const auto fault = failReadFrom_.find(state.key); fault != failReadFrom_.end()) {
        if (state.position >= fault->second && state.position < end) return Fail(kCrc), -1;
        if (state.uncached && fault->second < std::min(end, state.position + n))
            return Fail(kCrc), -1;
        end = std::min(end, fault->second);
    }
    const std::int64_t count = std::max<std::int64_t>(0, std::min(n, end - state.position));
    if (count > 0)
        std::memcpy(buffer, bytes.data() + state.position, static_cast<std::size_t>(count));
    state.position += count;
    return count;
}

bool MemoryFileServices::SeekTo(Handle h, std::int64_t offset) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || offset < 0) return Fail(kInvalidHandle);
    it->second.position = offset;
    return true;
}

std::int64_t MemoryFileServices::WriteChunk(Handle h, const void* buffer, std::int64_t n) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || !it->second.writing || n < 0) return Fail(kInvalidHandle), -1;
    OpenState& state = it->second;
    if (!Reach(state.key)) return Fail(kNotReady), -1;
    Node& node = nodes_[state.key];
    const std::int64_t end = state.position + n;
    const std::int64_t grows =
        std::max<std::int64_t>(0, end - static_cast<std::int64_t>(node.bytes.size()));
    const Drive& drive = drives_[Upper(node.path[0])];
    if (grows > drive.capacity - drive.used) return Fail(kDiskFull), -1;
    if (grows > 0) Resize(node, static_cast<std::size_t>(end));
    if (n > 0) std::memcpy(node.bytes.data() + state.position, buffer, static_cast<std::size_t>(n));
    state.position = end;
    return n;
}

FileFault MemoryFileServices::ClaimSize(Handle h, std::int64_t size) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || !it->second.writing || size < 0) return FileFault::Other;
    if (!Reach(it->second.key)) return FileFault::Other;
    const Node& node = nodes_[it->second.key];
    const Drive& drive = drives_[Upper(node.path[0])];
    const std::int64_t grows = size - static_cast<std::int64_t>(node.bytes.size());
    return grows > drive.capacity - drive.used ? FileFault::DriveFull : FileFault::None;
}

bool MemoryFileServices::FlushToDrive(Handle h) {
    const std::lock_guard lock(mutex_);
    const auto it = open_.find(h);
    if (it == open_.end() || !it->second.writing) return Fail(kInvalidHandle);
    return Reach(it->second.key) || Fail(kNotReady);
}

std::u16string MemoryFileServices::ErrorText(std::uint32_t code) {
    return u"Systemfehler " + DecimalText(code);
}

} // namespace kelvorin::testing
