#pragma once
// The entries of one host folder as read once, in the order Windows lists them by name (the
// case-folded code page 1252 name, then that name, then the host's name), with every name kept in
// one buffer of the folder instead of strings of their own. The run's own changes keep it true:
// an entry removed stays as a gap (skipped by every reader), so that a deletion moves nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvane::posix {

// An entry of a host folder.
struct HostEntry {
    std::string host;        // the name on the host, as stored
    std::string name;        // the same in code page 1252, as Windows programs see it
    unsigned char type = 0;  // DT_* of the listing (DT_UNKNOWN when not known)
};

class FolderListing {
public:
    struct Record {
        std::uint32_t host = 0;  // offsets of the names in the buffer
        std::uint32_t hostSize = 0;
        std::uint32_t name = 0;    // code page 1252 name, as Windows programs see it
        std::uint32_t folded = 0;  // the same case-folded; both nameSize long
        std::uint32_t nameSize = 0;
        unsigned char type = 0;  // DT_* of the listing (DT_UNKNOWN when not known)
        bool removed = false;
    };

    std::string_view Host(const Record& r) const { return std::string_view(text_).substr(r.host, r.hostSize); }
    std::string_view Name(const Record& r) const { return std::string_view(text_).substr(r.name, r.nameSize); }
    std::string_view Folded(const Record& r) const { return std::string_view(text_).substr(r.folded, r.nameSize); }
    HostEntry Entry(const Record& r) const;

    // While reading: an entry as the host lists it; Sort() once every entry is in.
    void Append(std::string_view host, unsigned char type);
    void Sort();

    // Every record in order, removed ones included (see Record::removed).
    const std::vector<Record>& Records() const { return records_; }
    // The records of one case-folded name, in order, removed ones included.
    std::pair<const Record*, const Record*> Range(std::string_view folded) const;

    // The run made this entry, or gave it another type.
    void Add(const HostEntry& entry);
    // The run removed the entry of this host name.
    void Remove(std::string_view host);

private:
    Record Make(std::string_view host, std::string_view name, unsigned char type);
    bool Less(const Record& a, const Record& b) const;
    // The places of the records of one case-folded name: [first, last).
    std::pair<std::size_t, std::size_t> Bucket(std::string_view folded) const;

    std::string text_;
    std::vector<Record> records_;
};

}  // namespace zelvane::posix
