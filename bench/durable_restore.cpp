#include "bench/durable_restore.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace zelvane::bench {
namespace {

bool Fail(const std::string& what) {
    std::perror(what.c_str());
    return false;
}

// Copies a file into a folder under a temporary name, flushes it, renames it into place and
// flushes the folder.
bool CopyDurably(const std::string& from, const std::string& folder, const std::string& name) {
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return Fail(from);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string temporary = ".copy-" + name;
    const int target = dir < 0 ? -1 : ::openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool ok = target >= 0;
    std::vector<char> buffer(65536);
    for (ssize_t n; ok && (n = ::read(source, buffer.data(), buffer.size())) > 0;) {
        ok = ::write(target, buffer.data(), static_cast<std::size_t>(n)) == n;
    }
    ok = ok && ::fsync(target) == 0 && ::renameat(dir, temporary.c_str(), dir, name.c_str()) == 0 && ::fsync(dir) == 0;
    if (target >= 0) ::close(target);
    if (dir >= 0) ::close(dir);
    ::close(source);
    return ok || Fail(folder + "/" + name);
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

int RestoreTablesDurably(const std::string& planPath) {
    std::ifstream plan(planPath);
    for (std::string current, backup, folder;
         std::getline(plan, current, '\t') && std::getline(plan, backup, '\t') && std::getline(plan, folder);) {
        const bool ok = CopyDurably(current, folder, BaseName(current)) &&
                        (::unlink(current.c_str()) == 0 || Fail(current)) &&
                        CopyDurably(backup, folder, "original install backup." + BaseName(backup)) &&
                        (::rename(backup.c_str(), current.c_str()) == 0 || Fail(backup));
        if (!ok) return 1;
    }
    return 0;
}

}  // namespace zelvane::bench
