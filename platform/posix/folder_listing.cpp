#include "platform/posix/folder_listing.hpp"

#include <algorithm>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_names.hpp"
#include "util/text/case_folding.hpp"

namespace zelvane::posix {
namespace {

bool Ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

HostEntry FolderListing::Entry(const Record& r) const {
    return HostEntry{std::string(Host(r)), std::string(Name(r)), r.type};
}

// The names go into the buffer once; a name the same as the one before it shares its bytes.
FolderListing::Record FolderListing::Make(std::string_view host, std::string_view name, unsigned char type) {
    Record r;
    r.type = type;
    r.host = static_cast<std::uint32_t>(text_.size());
    r.hostSize = static_cast<std::uint32_t>(host.size());
    text_.append(host);
    r.nameSize = static_cast<std::uint32_t>(name.size());
    if (name == host) {
        r.name = r.host;
    } else {
        r.name = static_cast<std::uint32_t>(text_.size());
        text_.append(name);
    }
    const bool folds = std::any_of(name.begin(), name.end(), [](char c) { return LowerCase(c) != c; });
    if (!folds) {
        r.folded = r.name;
    } else {
        r.folded = static_cast<std::uint32_t>(text_.size());
        for (const char c : name) text_.push_back(LowerCase(c));
    }
    return r;
}

void FolderListing::Append(std::string_view host, unsigned char type) {
    if (Ascii(host) && host.find('\\') == std::string_view::npos) {
        records_.push_back(Make(host, host, type));
    } else {
        records_.push_back(Make(host, Cp1252NameOf(host), type));
    }
}

bool FolderListing::Less(const Record& a, const Record& b) const {
    if (const int c = Folded(a).compare(Folded(b)); c != 0) return c < 0;
    if (const int c = Name(a).compare(Name(b)); c != 0) return c < 0;
    return Host(a) < Host(b);
}

void FolderListing::Sort() {
    std::sort(records_.begin(), records_.end(), [this](const Record& a, const Record& b) { return Less(a, b); });
}

std::pair<std::size_t, std::size_t> FolderListing::Bucket(std::string_view folded) const {
    const auto first = std::lower_bound(records_.begin(), records_.end(), folded,
                                        [this](const Record& r, std::string_view key) { return Folded(r) < key; });
    auto last = first;
    while (last != records_.end() && Folded(*last) == folded) ++last;
    return {static_cast<std::size_t>(first - records_.begin()), static_cast<std::size_t>(last - records_.begin())};
}

std::pair<const FolderListing::Record*, const FolderListing::Record*> FolderListing::Range(
    std::string_view folded) const {
    const auto [first, last] = Bucket(folded);
    return {records_.data() + first, records_.data() + last};
}

void FolderListing::Add(const HostEntry& entry) {
    const auto [first, last] = Bucket(LowerCase(entry.name));
    for (auto r = records_.begin() + static_cast<std::ptrdiff_t>(first);
         r != records_.begin() + static_cast<std::ptrdiff_t>(last); ++r) {
        if (Host(*r) != entry.host) continue;
        if (!r->removed || Name(*r) == entry.name) {
            r->type = entry.type;
            r->removed = false;
            return;
        }
        records_.erase(r);  // back under another spelling: placed as a new entry
        break;
    }
    const Record made = Make(entry.host, entry.name, entry.type);
    const auto at = std::upper_bound(records_.begin(), records_.end(), made,
                                     [this](const Record& a, const Record& b) { return Less(a, b); });
    records_.insert(at, made);
}

void FolderListing::Remove(std::string_view host) {
    const auto [first, last] = Bucket(LowerCase(Cp1252NameOf(host)));
    for (std::size_t r = first; r != last; ++r) {
        if (Host(records_[r]) == host) records_[r].removed = true;
    }
}

}  // namespace zelvane::posix
