#include "platform/memory/memory_file_system.hpp"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "platform/paths/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "util/text/case_folding.hpp"

namespace zelvane {
namespace {

struct Node {
    std::string name;  // stored case; "C:" for a drive root
    Attributes attributes;
    std::string bytes;
    std::uint64_t zeros = 0;  // a sparse file: this many zero bytes after `bytes`, never held
    bool locked = false;
    bool readOnlyMedium = false;
    std::string shortName;
    std::string linkTarget;  // not empty for a symbolic link: the path it stands for
    bool special = false;    // a pipe, a socket or a device rather than a regular file
    bool ownVolume = false;  // a folder that starts a volume of its own
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;    // creation order
    std::unordered_map<std::string, Node*> byName;  // case-folded long name -> child
    bool childHasShortName = false;
    std::uint64_t serial = NextSerial();  // tells this folder from another one at the same path
    std::uint64_t version = 0;            // changes of its entries

    static std::uint64_t NextSerial() {
        static std::uint64_t last = 0;
        return ++last;
    }

    bool IsDirectory() const { return attributes.directory; }
    std::uint64_t Size() const { return bytes.size() + zeros; }
    // The first count bytes of the content, zeros of a sparse file included.
    std::string Head(std::uint64_t count) const {
        std::string head = bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes.size())));
        head.append(static_cast<std::size_t>(std::min(count, Size()) - head.size()), '\0');
        return head;
    }

    // A name or an 8.3 alias, as Windows resolves both; the long name wins.
    bool Named(std::string_view text) const {
        return NamesEqual(name, text) || (!shortName.empty() && NamesEqual(shortName, text));
    }

    Node* Child(std::string_view childName) const {
        if (const auto it = byName.find(LowerCase(childName)); it != byName.end()) return it->second;
        if (!childHasShortName) return nullptr;
        for (const auto& child : children) {
            if (child->Named(childName)) return child.get();
        }
        return nullptr;
    }

    Node& AddChild(std::string childName, bool directory) {
        auto node = std::make_unique<Node>();
        node->name = std::move(childName);
        node->attributes.directory = directory;
        node->parent = this;
        byName[LowerCase(node->name)] = node.get();
        children.push_back(std::move(node));
        ++version;
        return *children.back();
    }

    std::unique_ptr<Node> Detach(const Node* child) {
        auto it = std::find_if(children.begin(), children.end(), [&](const auto& c) { return c.get() == child; });
        std::unique_ptr<Node> owned = std::move(*it);
        children.erase(it);
        ++version;
        if (const auto named = byName.find(LowerCase(owned->name)); named != byName.end() && named->second == child) {
            byName.erase(named);
        }
        owned->parent = nullptr;
        return owned;
    }

    void Attach(std::unique_ptr<Node> child) {
        child->parent = this;
        byName[LowerCase(child->name)] = child.get();
        ++version;
        children.push_back(std::move(child));
    }

    std::string FullPath() const {
        if (parent == nullptr) return name + "\\";
        std::vector<const Node*> chain;
        for (const Node* n = this; n->parent != nullptr; n = n->parent) chain.push_back(n);
        std::string out = chain.empty() ? name : chain.back()->parent->name;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            out += '\\';
            out += (*it)->name;
        }
        return out;
    }

    bool OnReadOnlyMedium() const {
        for (const Node* n = this; n != nullptr; n = n->parent) {
            if (n->readOnlyMedium) return true;
        }
        return false;
    }

    bool IsWithin(const Node* ancestor) const {
        for (const Node* n = this; n != nullptr; n = n->parent) {
            if (n == ancestor) return true;
        }
        return false;
    }

    // The folder that starts the volume this entry lies on: a drive root or an own-volume folder.
    const Node* Volume() const {
        const Node* n = this;
        while (n->parent != nullptr && !n->ownVolume) n = n->parent;
        return n;
    }

    bool HoldsLockedFile() const {
        if (locked) return true;
        return std::any_of(children.begin(), children.end(), [](const auto& c) { return c->HoldsLockedFile(); });
    }
};

// Counters shared with the listings, which may outlive a call but must not dangle.
struct ListingCounters {
    std::uint64_t open = 0;
    std::uint64_t entriesRead = 0;
};

class MemoryListing final : public Listing {
public:
    MemoryListing(std::shared_ptr<ListingCounters> counters, std::vector<DirEntry> entries)
        : counters_(std::move(counters)), entries_(std::move(entries)) {
        ++counters_->open;
    }
    ~MemoryListing() override { --counters_->open; }
    MemoryListing(const MemoryListing&) = delete;
    MemoryListing& operator=(const MemoryListing&) = delete;

    std::optional<DirEntry> Next() override {
        if (next_ >= entries_.size()) return std::nullopt;
        ++counters_->entriesRead;
        return entries_[next_++];
    }

private:
    std::shared_ptr<ListingCounters> counters_;
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

// Where a path leads: the node itself, or the folder that would hold it.
struct Lookup {
    FsStatus status = FsStatus::Ok;  // Ok or FileNotFound (parent valid) or another failure
    Node* node = nullptr;
    Node* parent = nullptr;
    WindowsPath path;

    const std::string& LastName() const { return path.names.back(); }
};

// Links followed one after another before a path counts as going round in a circle.
constexpr int kMaxLinkHops = 31;

bool IsMutation(FsOp op) {
    switch (op) {
        case FsOp::SetAttributes:
        case FsOp::WriteAll:
        case FsOp::Delete:
        case FsOp::Rename:
        case FsOp::Copy:
        case FsOp::CreateFolder: return true;
        default: return false;
    }
}

// What inspection shows of a file: its bytes, a sparse file's zeros as a note after them.
std::string Shown(const Node& node) {
    if (node.zeros == 0) return node.bytes;
    return node.bytes + "<and " + std::to_string(node.zeros) + " zero bytes>";
}

void ApplyAttributes(Node& node, const Attributes& attributes) {
    node.attributes.readOnly = attributes.readOnly;
    node.attributes.hidden = attributes.hidden;
    node.attributes.system = attributes.system;
    node.attributes.archive = attributes.archive;
}

}  // namespace

struct MemoryFileSystem::State {
    std::vector<std::unique_ptr<Node>> roots;
    std::shared_ptr<ListingCounters> listings = std::make_shared<ListingCounters>();
    std::map<FsOp, std::uint64_t> calls;
    std::uint64_t mutations = 0;
    bool nameOrder = false;

    struct OperationFault {
        FsOp op;
        std::string foldedSubstring;
        FsStatus status;
    };
    std::vector<OperationFault> operationFaults;
    std::map<std::uint64_t, FsStatus> mutationFaults;
    MutationHook mutationHook;
    std::vector<std::string> confinedTo;
    std::uint64_t refusals = 0;

    Node* Root(const std::string& drive) const {
        for (const auto& root : roots) {
            if (root->name == drive) return root.get();
        }
        return nullptr;
    }

    // Parses the path and replaces every link on the way by its target, until no component that
    // exists is a link; the first missing component and the rest stay as given. BadName for links
    // that go round in a circle.
    FsStatus FollowLinks(std::string_view text, bool allowWildcards, WindowsPath& out) const {
        if (FsStatus s = ReadDrivePath(text, allowWildcards, out); s != FsStatus::Ok) return s;
        for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
            const Node* folder = Root(out.drive);
            const Node* link = nullptr;
            std::size_t at = 0;
            for (; folder != nullptr && at < out.names.size(); ++at) {
                const Node* next = folder->Child(out.names[at]);
                if (next != nullptr && !next->linkTarget.empty()) {
                    link = next;
                    break;
                }
                folder = next;
            }
            if (link == nullptr) return FsStatus::Ok;
            WindowsPath target;
            if (ReadDrivePath(link->linkTarget, false, target) != FsStatus::Ok) return FsStatus::BadName;
            target.names.insert(target.names.end(), out.names.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                out.names.end());
            target.trailingSeparator = out.trailingSeparator;
            out = std::move(target);
        }
        return FsStatus::BadName;
    }

    // Each existing component replaced by its stored long name, so that a short (8.3) alias and
    // another letter case compare equal to the name a root was given with.
    void UseStoredNames(WindowsPath& path) const {
        const Node* folder = Root(path.drive);
        for (std::string& part : path.names) {
            const Node* next = folder != nullptr ? folder->Child(part) : nullptr;
            if (next == nullptr) return;
            part = next->name;
            folder = next;
        }
    }

    // Ok when a change at this path lands below one of the roots (or nothing is confined),
    // OutsideRoots when it leads out of all of them. Links are followed on both sides at this
    // moment, a link as last component included. A path that cannot be followed at all (links in
    // a circle, a bad name) is left to the operation, which fails on it by itself.
    FsStatus Confine(std::string_view text) {
        const FsStatus status = Placed(text);
        if (status == FsStatus::OutsideRoots) ++refusals;
        return status;
    }

    // The same without counting a refusal: where a change at this path would land.
    FsStatus Placed(std::string_view text) const {
        if (confinedTo.empty()) return FsStatus::Ok;
        WindowsPath target;
        if (FollowLinks(text, false, target) != FsStatus::Ok) return FsStatus::Ok;
        UseStoredNames(target);
        for (const std::string& root : confinedTo) {
            WindowsPath folder;
            if (FollowLinks(root, false, folder) != FsStatus::Ok) continue;
            UseStoredNames(folder);
            if (IsBelow(target, folder)) return FsStatus::Ok;
        }
        return FsStatus::OutsideRoots;
    }

    // Whether the last component of the path, in its folder (links on the way followed), is a link.
    bool EndsInLink(std::string_view text) const {
        WindowsPath parsed;
        if (ReadDrivePath(text, false, parsed) != FsStatus::Ok || parsed.names.empty()) return false;
        const std::string name = parsed.names.back();
        parsed.names.pop_back();
        Lookup folder = Find(parsed.Text());
        if (folder.status != FsStatus::Ok || !folder.node->IsDirectory()) return false;
        const Node* entry = folder.node->Child(name);
        return entry != nullptr && !entry->linkTarget.empty();
    }

    // The attributes a listing shows: a link shows those of what it leads to (a dangling one a file's).
    Attributes ListedAttributes(const Node& node) const {
        if (node.linkTarget.empty()) return node.attributes;
        Lookup target = Find(node.linkTarget);
        Attributes attributes = target.status == FsStatus::Ok ? target.node->attributes : Attributes{};
        attributes.link = true;
        return attributes;
    }

    Lookup Find(std::string_view text, bool allowWildcards = false) const {
        Lookup result;
        result.status = FollowLinks(text, allowWildcards, result.path);
        if (result.status != FsStatus::Ok) return result;
        Node* folder = Root(result.path.drive);
        if (folder == nullptr) {
            result.status = FsStatus::PathNotFound;
            return result;
        }
        const auto& parts = result.path.names;
        if (parts.empty()) {
            result.node = folder;
            return result;
        }
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            Node* next = folder->Child(parts[i]);
            if (next == nullptr || !next->IsDirectory()) {
                result.status = FsStatus::PathNotFound;
                return result;
            }
            folder = next;
        }
        result.parent = folder;
        result.node = folder->Child(parts.back());
        if (result.node == nullptr) {
            result.status = FsStatus::FileNotFound;
        } else if (result.path.trailingSeparator && !result.node->IsDirectory()) {
            result.status = FsStatus::BadName;  // "file.txt\" names no folder
            result.node = nullptr;
        }
        return result;
    }

    // The status of an injected fault for this call, or Ok. Counts the call.
    FsStatus Begin(FsOp op, std::string_view path) {
        ++calls[op];
        FsStatus status = FsStatus::Ok;
        if (IsMutation(op)) {
            const std::uint64_t index = mutations++;
            if (mutationHook) mutationHook(index, op, path);
            if (auto it = mutationFaults.find(index); it != mutationFaults.end()) {
                status = it->second;
                mutationFaults.erase(it);
            }
        }
        if (status != FsStatus::Ok) return status;
        const std::string folded = LowerCase(path);
        for (const auto& fault : operationFaults) {
            if (fault.op == op && folded.find(fault.foldedSubstring) != std::string::npos) return fault.status;
        }
        return FsStatus::Ok;
    }

    // Builder: the folder for a path, created with its parents as needed.
    Node& EnsureFolder(const WindowsPath& path, std::size_t count) {
        const std::string& drive = path.drive;
        const std::vector<std::string>& parts = path.names;
        Node* folder = Root(drive);
        if (folder == nullptr) {
            auto root = std::make_unique<Node>();
            root->name = drive;
            root->attributes.directory = true;
            roots.push_back(std::move(root));
            folder = roots.back().get();
        }
        for (std::size_t i = 0; i < count; ++i) {
            Node* next = folder->Child(parts[i]);
            if (next == nullptr) {
                next = &folder->AddChild(parts[i], true);
            } else if (!next->IsDirectory()) {
                throw std::invalid_argument("a file is in the way of folder " + path.Text());
            }
            folder = next;
        }
        return *folder;
    }

    Node& Existing(std::string_view path) const {
        Lookup found = Find(path);
        if (found.status != FsStatus::Ok) throw std::invalid_argument("no such entry: " + std::string(path));
        return *found.node;
    }
};

MemoryFileSystem::MemoryFileSystem() : state_(std::make_unique<State>()) {}
MemoryFileSystem::~MemoryFileSystem() = default;

// --- building a tree ---

void MemoryFileSystem::AddFile(std::string_view path, std::string_view bytes, Attributes attributes) {
    WindowsPath parsed;
    if (ReadDrivePath(path, false, parsed) != FsStatus::Ok || parsed.names.empty()) {
        throw std::invalid_argument("bad file path: " + std::string(path));
    }
    Node& folder = state_->EnsureFolder(parsed, parsed.names.size() - 1);
    Node* file = folder.Child(parsed.names.back());
    if (file == nullptr) {
        file = &folder.AddChild(parsed.names.back(), false);
    } else if (file->IsDirectory()) {
        throw std::invalid_argument("a folder is in the way of file " + std::string(path));
    }
    file->bytes = std::string(bytes);
    file->zeros = 0;
    file->attributes = attributes;
    file->attributes.directory = false;
    file->special = false;
}

void MemoryFileSystem::AddSparseFile(std::string_view path, std::string_view head, std::uint64_t size) {
    AddFile(path, head.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), size))));
    Node& file = state_->Existing(path);
    file.zeros = size - file.bytes.size();
}

void MemoryFileSystem::AddFolder(std::string_view path, Attributes attributes) {
    WindowsPath parsed;
    if (ReadDrivePath(path, false, parsed) != FsStatus::Ok) throw std::invalid_argument("bad folder path");
    Node& folder = state_->EnsureFolder(parsed, parsed.names.size());
    folder.attributes = attributes;
    folder.attributes.directory = true;
}

void MemoryFileSystem::AddSpecialFile(std::string_view path) {
    AddFile(path, "");
    state_->Existing(path).special = true;
}

void MemoryFileSystem::Lock(std::string_view path, bool locked) { state_->Existing(path).locked = locked; }

void MemoryFileSystem::SetReadOnlyMedium(std::string_view rootOrFolder, bool readOnly) {
    WindowsPath parsed;
    if (ReadDrivePath(rootOrFolder, false, parsed) != FsStatus::Ok) throw std::invalid_argument("bad folder path");
    state_->EnsureFolder(parsed, parsed.names.size()).readOnlyMedium = readOnly;
}

void MemoryFileSystem::SetShortName(std::string_view path, std::string_view shortName) {
    Node& node = state_->Existing(path);
    node.shortName = std::string(shortName);
    if (node.parent != nullptr) node.parent->childHasShortName = true;
}

void MemoryFileSystem::AddLink(std::string_view linkPath, std::string_view targetPath) {
    WindowsPath link;
    WindowsPath target;
    if (ReadDrivePath(linkPath, false, link) != FsStatus::Ok || link.names.empty() ||
        ReadDrivePath(targetPath, false, target) != FsStatus::Ok) {
        throw std::invalid_argument("bad link: " + std::string(linkPath) + " -> " + std::string(targetPath));
    }
    Node& folder = state_->EnsureFolder(link, link.names.size() - 1);
    if (folder.Child(link.names.back()) != nullptr) {
        throw std::invalid_argument("an entry is in the way of link " + std::string(linkPath));
    }
    folder.AddChild(link.names.back(), false).linkTarget = target.Text();
}

void MemoryFileSystem::PutOnOwnVolume(std::string_view folder) {
    WindowsPath parsed;
    if (ReadDrivePath(folder, false, parsed) != FsStatus::Ok) throw std::invalid_argument("bad folder path");
    state_->EnsureFolder(parsed, parsed.names.size()).ownVolume = true;
}

void MemoryFileSystem::ReplaceWithLink(std::string_view path, std::string_view targetPath) {
    WindowsPath parsed;
    if (ReadDrivePath(path, false, parsed) != FsStatus::Ok || parsed.names.empty()) {
        throw std::invalid_argument("bad path: " + std::string(path));
    }
    const std::string name = parsed.names.back();
    parsed.names.pop_back();
    Lookup folder = state_->Find(parsed.Text());
    if (folder.status != FsStatus::Ok || !folder.node->IsDirectory()) {
        throw std::invalid_argument("no folder for " + std::string(path));
    }
    if (const Node* entry = folder.node->Child(name); entry != nullptr) folder.node->Detach(entry);
    AddLink(path, targetPath);
}

// --- faults ---

void MemoryFileSystem::FailOperation(FsOp op, std::string_view pathSubstring, FsStatus status) {
    state_->operationFaults.push_back({op, LowerCase(pathSubstring), status});
}

void MemoryFileSystem::FailMutation(std::uint64_t index, FsStatus status) { state_->mutationFaults[index] = status; }

void MemoryFileSystem::OnMutation(MutationHook hook) { state_->mutationHook = std::move(hook); }

void MemoryFileSystem::SetRoots(std::vector<std::string> roots) { state_->confinedTo = std::move(roots); }
std::vector<std::string> MemoryFileSystem::Roots() const { return state_->confinedTo; }
std::uint64_t MemoryFileSystem::Refusals() const { return state_->refusals; }

void MemoryFileSystem::ClearFaults() {
    state_->operationFaults.clear();
    state_->mutationFaults.clear();
}

// --- inspection ---

bool MemoryFileSystem::Exists(std::string_view path) const { return state_->Find(path).status == FsStatus::Ok; }

std::optional<std::string> MemoryFileSystem::Contents(std::string_view path) const {
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok || found.node->IsDirectory()) return std::nullopt;
    return Shown(*found.node);
}

std::optional<Attributes> MemoryFileSystem::AttributesOf(std::string_view path) const {
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok) return std::nullopt;
    return found.node->attributes;
}

std::map<std::string, std::string> MemoryFileSystem::Snapshot() const {
    std::map<std::string, std::string> files;
    std::vector<const Node*> pending;
    for (const auto& root : state_->roots) pending.push_back(root.get());
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (!node->linkTarget.empty()) continue;  // a link holds no bytes of its own
        if (!node->IsDirectory()) {
            files.emplace(node->FullPath(), Shown(*node));
            continue;
        }
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    return files;
}

std::uint64_t MemoryFileSystem::MutationCount() const { return state_->mutations; }
std::uint64_t MemoryFileSystem::OpenListings() const { return state_->listings->open; }
std::uint64_t MemoryFileSystem::EntriesRead() const { return state_->listings->entriesRead; }

std::uint64_t MemoryFileSystem::CallCount(FsOp op) const {
    auto it = state_->calls.find(op);
    return it == state_->calls.end() ? 0 : it->second;
}

// --- FileSystem ---

FsStatus MemoryFileSystem::GetAttributes(std::string_view path, Attributes& out) const {
    if (FsStatus s = state_->Begin(FsOp::GetAttributes, path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok) return found.status;
    out = found.node->attributes;
    out.link = state_->EndsInLink(path);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    if (FsStatus s = state_->Begin(FsOp::SetAttributes, path); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok) return found.status;
    if (found.node->OnReadOnlyMedium()) return FsStatus::WriteProtected;
    ApplyAttributes(*found.node, attributes);
    if (found.node->IsDirectory() && found.node->parent != nullptr) ++found.node->parent->version;
    return FsStatus::Ok;
}

void MemoryFileSystem::ListInNameOrder(bool nameOrder) { state_->nameOrder = nameOrder; }

std::string MemoryFileSystem::FolderStamp(std::string_view folder) const {
    ++state_->calls[FsOp::FolderStamp];
    Lookup found = state_->Find(folder);
    if (found.status != FsStatus::Ok || !found.node->IsDirectory()) return {};
    return std::to_string(found.node->serial) + ":" + std::to_string(found.node->version);
}

namespace {

FsStatus CheckReadable(const Lookup& found) {
    if (found.status != FsStatus::Ok) return found.status;
    if (found.node->IsDirectory()) return FsStatus::AccessDenied;
    if (found.node->special) return FsStatus::NotRegularFile;
    if (found.node->locked) return FsStatus::SharingViolation;
    return FsStatus::Ok;
}

// Whether an existing file may be replaced or removed.
FsStatus CheckWritable(const Node& node) {
    if (node.IsDirectory()) return FsStatus::AccessDenied;
    if (node.OnReadOnlyMedium()) return FsStatus::WriteProtected;
    if (node.attributes.readOnly) return FsStatus::AccessDenied;
    if (node.locked) return FsStatus::SharingViolation;
    return FsStatus::Ok;
}

// Where a new file may be created: the folder must exist and be writable.
FsStatus CheckTarget(const Lookup& target) {
    if (target.status == FsStatus::Ok) return CheckWritable(*target.node);
    if (target.status != FsStatus::FileNotFound) return target.status;
    if (target.parent->OnReadOnlyMedium()) return FsStatus::WriteProtected;
    return FsStatus::Ok;
}

}  // namespace

FsStatus MemoryFileSystem::OpenForRead(std::string_view path) const {
    if (FsStatus s = state_->Begin(FsOp::OpenForRead, path); s != FsStatus::Ok) return s;
    return CheckReadable(state_->Find(path));
}

FsStatus MemoryFileSystem::FileSize(std::string_view path, std::uint64_t& size) const {
    if (FsStatus s = state_->Begin(FsOp::FileSize, path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (FsStatus s = CheckReadable(found); s != FsStatus::Ok) return s;
    size = found.node->Size();
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const {
    if (FsStatus s = state_->Begin(FsOp::ReadAll, path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (FsStatus s = CheckReadable(found); s != FsStatus::Ok) return s;
    if (found.node->Size() > limit) return FsStatus::TooLarge;
    bytes = found.node->Head(found.node->Size());
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::ReadHead(std::string_view path, std::string& bytes, std::size_t count) const {
    if (FsStatus s = state_->Begin(FsOp::ReadHead, path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (FsStatus s = CheckReadable(found); s != FsStatus::Ok) return s;
    bytes = found.node->Head(count);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    if (FsStatus s = state_->Begin(FsOp::WriteAll, path); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(path); s != FsStatus::Ok) return s;
    Lookup target = state_->Find(path);
    if (FsStatus s = CheckTarget(target); s != FsStatus::Ok) return s;
    Node* file = target.node != nullptr ? target.node : &target.parent->AddChild(target.LastName(), false);
    file->bytes = std::string(bytes);
    file->zeros = 0;
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Delete(std::string_view path) {
    if (FsStatus s = state_->Begin(FsOp::Delete, path); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(path); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok) return found.status;
    if (found.node->parent == nullptr) return FsStatus::AccessDenied;
    if (FsStatus s = CheckWritable(*found.node); s != FsStatus::Ok) return s;
    found.parent->Detach(found.node);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Rename(std::string_view from, std::string_view to) {
    if (FsStatus s = state_->Begin(FsOp::Rename, from); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(from); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(to); s != FsStatus::Ok) return s;
    Lookup source = state_->Find(from);
    if (source.status != FsStatus::Ok) return source.status;
    Lookup target = state_->Find(to);
    if (target.path.drive.empty()) return target.status;
    if (target.status != FsStatus::Ok && target.status != FsStatus::FileNotFound &&
        target.status != FsStatus::PathNotFound) {
        return target.status;
    }
    if (target.path.drive != source.path.drive) return FsStatus::NotSameDevice;
    if (target.status == FsStatus::PathNotFound) return FsStatus::PathNotFound;
    Node* node = source.node;
    if (node->parent == nullptr || target.path.names.empty()) return FsStatus::AccessDenied;
    if (node->Volume() != target.parent->Volume()) return FsStatus::NotSameDevice;
    const bool sameEntry = target.node == node;  // only the letter case changes
    if (target.node != nullptr && !sameEntry) return FsStatus::AlreadyExists;
    if (node->OnReadOnlyMedium() || target.parent->OnReadOnlyMedium()) return FsStatus::WriteProtected;
    if (node->locked) return FsStatus::SharingViolation;
    if (node->IsDirectory()) {
        if (target.parent->IsWithin(node)) return FsStatus::AccessDenied;  // into its own subtree
        if (node->HoldsLockedFile()) return FsStatus::AccessDenied;
    }
    if (sameEntry) {
        // Another spelling of the same entry (letter case, or its 8.3 alias): it keeps its place.
        std::unordered_map<std::string, Node*>& names = source.parent->byName;
        if (const auto named = names.find(LowerCase(node->name)); named != names.end() && named->second == node) {
            names.erase(named);
        }
        node->name = target.LastName();
        names[LowerCase(node->name)] = node;
        ++source.parent->version;
    } else {
        // A renamed entry is listed as the newest entry of its (new) folder.
        node->shortName.clear();
        std::unique_ptr<Node> owned = source.parent->Detach(node);
        owned->name = target.LastName();
        target.parent->Attach(std::move(owned));
    }
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Copy(std::string_view from, std::string_view to) {
    if (FsStatus s = state_->Begin(FsOp::Copy, from); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(to); s != FsStatus::Ok) return s;
    Lookup source = state_->Find(from);
    if (FsStatus s = CheckReadable(source); s != FsStatus::Ok) return s;
    Lookup target = state_->Find(to);
    if (target.node == source.node) return FsStatus::SharingViolation;  // a file cannot be copied onto itself
    if (FsStatus s = CheckTarget(target); s != FsStatus::Ok) return s;
    Node* file = target.node != nullptr ? target.node : &target.parent->AddChild(target.LastName(), false);
    file->bytes = source.node->bytes;
    file->zeros = source.node->zeros;
    file->attributes = source.node->attributes;
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::CreateFolder(std::string_view path) {
    if (FsStatus s = state_->Begin(FsOp::CreateFolder, path); s != FsStatus::Ok) return s;
    if (FsStatus s = state_->Confine(path); s != FsStatus::Ok) return s;
    Lookup target = state_->Find(path);
    if (target.status == FsStatus::Ok) return FsStatus::AlreadyExists;
    if (target.status == FsStatus::BadName && target.path.trailingSeparator) return FsStatus::AlreadyExists;
    if (target.status != FsStatus::FileNotFound) return target.status;
    if (target.parent->OnReadOnlyMedium()) return FsStatus::WriteProtected;
    target.parent->AddChild(target.LastName(), true);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::CanCreateFileIn(std::string_view folder) const {
    if (FsStatus s = state_->Begin(FsOp::CanCreateFileIn, folder); s != FsStatus::Ok) return s;
    Lookup found = state_->Find(folder);
    if (found.status != FsStatus::Ok || !found.node->IsDirectory()) return FsStatus::PathNotFound;
    if (FsStatus s = state_->Placed(std::string(folder) + "\\x"); s != FsStatus::Ok) return s;
    if (found.node->OnReadOnlyMedium()) return FsStatus::WriteProtected;
    return FsStatus::Ok;
}

std::unique_ptr<Listing> MemoryFileSystem::List(std::string_view pattern) const {
    if (state_->Begin(FsOp::List, pattern) != FsStatus::Ok) return nullptr;
    WindowsPath parsed;
    if (ReadDrivePath(pattern, true, parsed) != FsStatus::Ok || parsed.names.empty() || parsed.trailingSeparator) {
        return nullptr;
    }
    const std::string last = parsed.names.back();
    parsed.names.pop_back();
    Lookup folder = state_->Find(parsed.Text());
    if (folder.status != FsStatus::Ok || !folder.node->IsDirectory()) return nullptr;

    std::vector<DirEntry> entries;
    for (const auto& child : folder.node->children) {
        const bool match = HasWildcards(last) ? WildcardMatch(last, child->name) ||
                                                    (!child->shortName.empty() && WildcardMatch(last, child->shortName))
                                              : child->Named(last);
        if (match) entries.push_back({child->name, state_->ListedAttributes(*child)});
    }
    if (state_->nameOrder) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const DirEntry& a, const DirEntry& b) { return NameLess(a.name, b.name); });
    }
    return std::make_unique<MemoryListing>(state_->listings, std::move(entries));
}

std::string MemoryFileSystem::ShortPath(std::string_view path) const {
    if (state_->Begin(FsOp::ShortPath, path) != FsStatus::Ok) return "";
    Lookup found = state_->Find(path);
    if (found.status != FsStatus::Ok) return "";
    WindowsPath given;
    ReadDrivePath(path, false, given);
    if (given.drive != found.path.drive || given.names != found.path.names) {
        // Through a link: the short names of the target are not those of the path.
        return given.Text() + (given.trailingSeparator ? "\\" : "");
    }
    WindowsPath shortened = found.path;
    const Node* node = found.node;
    for (auto it = shortened.names.rbegin(); it != shortened.names.rend(); ++it, node = node->parent) {
        if (!node->shortName.empty()) *it = node->shortName;
    }
    std::string out = shortened.Text();
    if (found.path.trailingSeparator) out += '\\';
    return out;
}

bool MemoryFileSystem::SameVolume(std::string_view a, std::string_view b) const {
    ++state_->calls[FsOp::SameVolume];
    // Each drive is a volume, and so is a folder put on a volume of its own; links are followed.
    const auto volume = [this](std::string_view path) -> const Node* {
        WindowsPath resolved;
        if (state_->FollowLinks(path, false, resolved) != FsStatus::Ok) return nullptr;
        Lookup found = state_->Find(resolved.Text());
        if (found.status == FsStatus::Ok) return found.node->Volume();
        if (found.status == FsStatus::FileNotFound) return found.parent->Volume();
        return nullptr;
    };
    const Node* first = volume(a);
    return first != nullptr && first == volume(b);
}

std::string MemoryFileSystem::ResolvedPath(std::string_view path) const {
    ++state_->calls[FsOp::ResolvedPath];
    WindowsPath resolved;
    const FsStatus status = state_->FollowLinks(path, false, resolved);
    if (status == FsStatus::BadName && ReadDrivePath(path, false, resolved) == FsStatus::Ok) return "";  // a circle
    if (status != FsStatus::Ok) return std::string(path);
    return resolved.Text();
}

}  // namespace zelvane
