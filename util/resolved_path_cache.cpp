#include "util/resolved_path_cache.hpp"

#include "util/strings.hpp"

namespace zelvane {

std::string ResolvedPathCache::ResolvedPath(std::string_view path) const {
    key_.resize(path.size());
    LowerCaseInto(path, key_.data());
    auto known = known_.find(key_);
    if (known != known_.end()) {
        for (const auto& [asked, resolved] : known->second) {
            if (asked == path) return resolved;
        }
    } else {
        known = known_.try_emplace(key_).first;
    }
    std::string resolved = inner().ResolvedPath(path);
    known->second.emplace_back(std::string(path), resolved);
    return resolved;
}

void ResolvedPathCache::Forget(std::string_view path) {
    std::string key = LowerCase(path);
    while (!key.empty() && (key.back() == '\\' || key.back() == '/')) key.pop_back();
    known_.erase(key);
    // Everything below it: keys that continue with a separator.
    for (const char separator : {'/', '\\'}) {
        const std::string below = key + separator;
        auto first = known_.lower_bound(below);
        auto last = first;
        while (last != known_.end() && last->first.starts_with(below)) ++last;
        known_.erase(first, last);
    }
}

FsStatus ResolvedPathCache::WriteAll(std::string_view path, std::string_view bytes) {
    Forget(path);
    return inner().WriteAll(path, bytes);
}

FsStatus ResolvedPathCache::Delete(std::string_view path) {
    Forget(path);
    return inner().Delete(path);
}

FsStatus ResolvedPathCache::Rename(std::string_view from, std::string_view to) {
    known_.clear();
    return inner().Rename(from, to);
}

FsStatus ResolvedPathCache::Copy(std::string_view from, std::string_view to) {
    Forget(to);
    return inner().Copy(from, to);
}

FsStatus ResolvedPathCache::CreateFolder(std::string_view path) {
    known_.clear();
    return inner().CreateFolder(path);
}

void ResolvedPathCache::ForgetCachedState() {
    known_.clear();
    inner().ForgetCachedState();
}

}  // namespace zelvane
