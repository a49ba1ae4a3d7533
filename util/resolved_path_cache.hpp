#pragma once
// Forwards every call to another file system and remembers where paths resolve (every link on the
// way followed), so that a run that checks many paths against one folder resolves that folder
// once. What the run changes through it is forgotten as it changes: a deleted, written or copied
// path (and whatever lay below it), everything after a rename or a new folder, and everything
// when control goes to the player.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane {

class ResolvedPathCache final : public ForwardingFileSystem {
public:
    explicit ResolvedPathCache(FileSystem& inner) : ForwardingFileSystem(inner) {}

    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    std::string ResolvedPath(std::string_view path) const override;
    void ForgetCachedState() override;

    std::size_t Remembered() const { return known_.size(); }

private:
    // Forgets the path and every path below it, whatever their letter case.
    void Forget(std::string_view path);

    // Lower-cased path -> (path as asked, where it resolves), for each spelling asked.
    mutable std::map<std::string, std::vector<std::pair<std::string, std::string>>, std::less<>> known_;
    mutable std::string key_;  // the lower-cased path being looked up, kept to spare an allocation per lookup
};

}  // namespace zelvane
