#include "platform/posix/folder_cache.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace zelvane::posix {

const FolderListing* FolderCache::Listing(const HostFolder& folder) {
    const FolderId id = IdOf(folder);
    if (auto it = listings_.find(id); it != listings_.end()) return &it->second;
    const Descriptor fd(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return nullptr;
    FolderListing entries;
    // The folder's entries straight from the kernel: a DIR stream would stat the descriptor and
    // set its flags again, three calls per folder for nothing.
    std::vector<char> buffer(32768);
    for (;;) {
        const ssize_t n = ::getdents64(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return nullptr;
        if (n == 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer.data() + at);
            at += d->d_reclen;
            const std::string_view host = d->d_name;
            if (host == "." || host == "..") continue;
            entries.Append(host, d->d_type);
        }
    }
    entries.Sort();
    return &listings_.emplace(id, std::move(entries)).first->second;
}

int FolderCache::StatAt(const HostFolder& folder, const std::string& name, struct stat& st, bool follow) {
    auto& states = states_[IdOf(folder)];
    if (const auto it = states.find(name); it != states.end() && !(follow && S_ISLNK(it->second.st_mode))) {
        st = it->second;
        return 0;
    }
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    states[name] = st;
    if (!follow || !S_ISLNK(st.st_mode)) return 0;
    return ::fstatat(folder.get(), name.c_str(), &st, 0);
}

const struct stat* FolderCache::KnownState(const HostFolder& folder, const std::string& name) const {
    const auto states = states_.find(IdOf(folder));
    if (states == states_.end()) return nullptr;
    const auto it = states->second.find(name);
    return it == states->second.end() ? nullptr : &it->second;
}

const HeldFolder* FolderCache::Held(std::string_view windowsPath) const {
    const auto it = held_.find(windowsPath);
    return it == held_.end() ? nullptr : &it->second;
}

void FolderCache::Hold(std::string windowsPath, HeldFolder folder) {
    if (held_.size() >= heldLimit_) held_.clear();
    held_.insert_or_assign(std::move(windowsPath), std::move(folder));
}

void FolderCache::Changed(const HostFolder& folder, const std::string& host) {
    if (const auto it = states_.find(IdOf(folder)); it != states_.end()) it->second.erase(host);
}

void FolderCache::Added(const HostFolder& folder, const HostEntry& entry) {
    Changed(folder, entry.host);
    if (const auto it = listings_.find(IdOf(folder)); it != listings_.end()) it->second.Add(entry);
}

void FolderCache::Removed(const HostFolder& folder, const std::string& host) {
    Changed(folder, host);
    if (const auto it = listings_.find(IdOf(folder)); it != listings_.end()) it->second.Remove(host);
}

void FolderCache::FolderMoved() {
    held_.clear();
    inside_.clear();
}

void FolderCache::Forget() {
    listings_.clear();
    states_.clear();
    held_.clear();
    inside_.clear();
}

}  // namespace zelvane::posix
