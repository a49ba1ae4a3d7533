#pragma once
// The one way this program opens a host file to read it, for the file system and for the console's
// own readers (the registry file, Wine's system.reg, Steam's files, the answers file) alike:
//  - the entry is looked at first (links followed) and only a regular file is opened, so that a
//    device is never opened at all; a folder answers AccessDenied, anything else NotRegularFile;
//  - the open waits for nothing (O_NONBLOCK: a pipe put in its place meanwhile is refused, not
//    waited on), never makes a terminal the controlling one and is closed on exec, and what was
//    opened is looked at again;
//  - a read takes at most the limit of its kind of file (read_limits.hpp): a file larger than that
//    is refused before it is read, and one that grows past it while read is refused, not followed.

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/posix/descriptor.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::posix {

// Opens name (relative to the folder descriptor; AT_FDCWD for a host path) for reading, as above;
// st is the state of what was opened. knownRegular: the caller has just seen a regular file there
// (its own lookup), so it is not looked at again before the open.
FsStatus OpenRegularFile(int folder, const std::string& name, Descriptor& out, struct stat& st,
                         bool knownRegular = false);

// The whole of an opened regular file, at most limit bytes (TooLarge otherwise, bytes unchanged).
FsStatus ReadWhole(int fd, const struct stat& st, std::size_t limit, std::string& bytes);
// The first count bytes of an opened file, fewer when it is shorter.
FsStatus ReadFirst(int fd, std::size_t count, std::string& bytes);

// A host file read whole, as above.
FsStatus ReadHostFile(const std::string& path, std::size_t limit, std::string& bytes);

// A host file read a line at a time, as the caller asks for the next one: only the line being read
// is held. Lines end at "\n", one "\r" before it dropped; a last line without "\n" counts.
class HostLineReader {
public:
    // Opens the file as above; Status() tells why there are no lines when it could not.
    // totalLimit bounds the bytes read in all, lineLimit the bytes of one line (TooLarge beyond).
    HostLineReader(const std::string& path, std::size_t totalLimit, std::size_t lineLimit);

    // The next line; nullopt at the end of the file or after a failure (Status()).
    std::optional<std::string> Next();
    FsStatus Status() const { return status_; }

private:
    bool Fill();

    Descriptor fd_;
    FsStatus status_ = FsStatus::Ok;
    std::size_t totalLimit_;
    std::size_t lineLimit_;
    std::size_t readSoFar_ = 0;
    std::string buffer_;
    std::size_t at_ = 0;
    bool ended_ = false;
};

}  // namespace zelvane::posix
