#pragma once
// The file-system seam. Paths are Windows path strings ("C:\Games\Kotor\override\x.tga");
// each implementation maps them onto its own storage. Nothing here throws: every operation
// answers with an FsStatus, and the core turns that into its own error numbers and texts.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

enum class FsStatus {
    Ok,
    FileNotFound,      // the file (last component) does not exist
    PathNotFound,      // a folder on the way does not exist
    AccessDenied,      // read-only file, folder where a file was expected, no permission
    AlreadyExists,     // rename or create onto an existing name
    SharingViolation,  // the file is locked by another program
    WriteProtected,    // read-only medium
    DiskFull,
    NotSameDevice,   // rename across volumes
    BadName,         // wildcards, device names or otherwise unusable names
    IoError,         // anything else
    OutsideRoots,    // the change would land outside every folder the program may change
    NotRegularFile,  // read as a file, but a pipe, a socket or a device (folders: AccessDenied)
    TooLarge,        // holds more bytes than the reader takes (read_limits.hpp)
    ProgramOwnFile,  // the change would land in one of the program's own folders
};

struct Attributes {
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;
    bool link = false;  // a symbolic link or junction (reparse point), as listings show it
};

struct DirEntry {
    std::string name;  // as stored: long name, stored letter case
    Attributes attributes;
};

// One open directory listing; destroying it closes the listing handle.
class Listing {
public:
    virtual ~Listing() = default;
    virtual std::optional<DirEntry> Next() = 0;
};

// A file system that passes calls on to another one, adding to some of them, derives from
// ForwardingFileSystem, which passes each of these calls on: a call added here is added there too,
// and to the contract every file system is tested against (tests/platform/file_system_contract_test.cpp).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Those of what the path leads to, links followed; `link` tells whether its last component is
    // itself a link, as a listing shows it.
    virtual FsStatus GetAttributes(std::string_view path, Attributes& out) const = 0;
    // Only readOnly, hidden, system and archive are applied; Attributes{} means "normal". Where
    // attributes belong to the bytes rather than the name (a POSIX file with other hard links),
    // the file keeps them: a change through one name would change every other.
    virtual FsStatus SetAttributes(std::string_view path, const Attributes& attributes) = 0;

    // Every read below opens the file without waiting for it (a pipe with no writer is refused,
    // not waited on) and takes only a regular file, links followed: a folder answers AccessDenied,
    // a pipe, socket or device NotRegularFile.
    // Whether the path can be opened as an existing file for reading (folders and locked files cannot).
    virtual FsStatus OpenForRead(std::string_view path) const = 0;
    // The size of the file, without reading it.
    virtual FsStatus FileSize(std::string_view path, std::uint64_t& size) const = 0;
    // The whole file; TooLarge (bytes unchanged) when it holds, or grows while read to hold, more
    // than limit bytes. The limits of the program's readers are in read_limits.hpp.
    virtual FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const = 0;
    // The first count bytes of the file (all of it when it is shorter), whatever its size.
    virtual FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const = 0;
    // Creates or replaces the file with exactly these bytes; fails on a read-only file. A file that
    // is there is replaced by a new one under its name, never written into: a file that shares its
    // bytes with another name (a hard link) keeps them. Once it answers Ok the bytes are on the
    // medium.
    virtual FsStatus WriteAll(std::string_view path, std::string_view bytes) = 0;

    // Removes one file. Whether a read-only file may go is the file system's own rule: Windows (and
    // the memory file system, which behaves as Windows does) refuses it, so callers clear its
    // attributes first; on POSIX the permissions of its folder decide, as for any file.
    virtual FsStatus Delete(std::string_view path) = 0;
    // Renames or moves within one volume; never overwrites an existing target. Nothing is flushed:
    // a rename loses no data whenever the power fails (the file keeps one name or the other), so
    // no later step waits for the new name to reach the medium.
    virtual FsStatus Rename(std::string_view from, std::string_view to) = 0;
    // Copies, replacing a writable target; no attribute is changed on purpose, so a medium that
    // refuses every change of attributes takes copies all the same. Once it answers Ok the copy's
    // bytes and its name are on the medium; a failed copy leaves no partial target.
    virtual FsStatus Copy(std::string_view from, std::string_view to) = 0;
    virtual FsStatus CreateFolder(std::string_view path) = 0;
    // Whether a new file could be made in this existing folder now, answered as that change would
    // be: Ok, or OutsideRoots, AccessDenied, WriteProtected, PathNotFound ... Nothing is changed.
    virtual FsStatus CanCreateFileIn(std::string_view folder) const = 0;

    // Lists the entries that match a pattern "folder\*.*", "folder\*.2da" or "folder\name"
    // (wildcards only in the last component, matched case-insensitively as Windows does),
    // in the implementation's listing order, hidden and system entries included.
    // Returns nullptr when the folder cannot be listed.
    virtual std::unique_ptr<Listing> List(std::string_view pattern) const = 0;

    // The 8.3 form of an existing path, or "" when it does not exist. Implementations without
    // short names return the path itself for an existing file or folder.
    virtual std::string ShortPath(std::string_view path) const = 0;

    // The path with every symbolic link (or junction) on the way followed, as a Windows path, so
    // that the core can tell whether a path leads out of a folder. Without links: the path itself.
    virtual std::string ResolvedPath(std::string_view path) const { return std::string(path); }

    // Confinement. Every operation that changes the disk (delete, rename at both ends, copy
    // target, write, folder creation, new attributes) is checked at the moment it is made: with
    // every link on the way followed, its target must lie inside one of these folders, else it
    // answers OutsideRoots and changes nothing. No roots: nothing is confined.
    virtual void SetRoots(std::vector<std::string> roots) = 0;
    virtual std::vector<std::string> Roots() const = 0;

    // Whether a rename from one path to the other can stay on one volume (both folders exist and
    // lie on the same device). Without volumes: true.
    virtual bool SameVolume(std::string_view a, std::string_view b) const {
        (void)a;
        (void)b;
        return true;
    }

    // Control went to the player (a prompt or dialog): whatever is cached about the disk may no
    // longer be true and is read afresh.
    virtual void ForgetCachedState() {}

    // A text that changes whenever an entry is added to the folder, removed from it or renamed in
    // it, or a subfolder's attributes change, and that differs for another folder at the same
    // path; what was read from the folder holds as long as its stamp does. "" when the
    // implementation cannot tell (the folder must then be read again).
    virtual std::string FolderStamp(std::string_view folder) const {
        (void)folder;
        return {};
    }
};

}  // namespace zelvane
