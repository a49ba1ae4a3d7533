#pragma once
// A file system that passes every call on to another one, writes down the path of every reading
// call and fails the reading call with a given 0-based index, once: the in-memory file system
// cannot fail a call by its position among the reads. The fault sweep fails each in turn.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane::testing {

class RecordingFileSystem final : public ForwardingFileSystem {
public:
    explicit RecordingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}
    mutable std::vector<std::string> reads;  // the path of every reading call, in order
    std::optional<std::pair<std::size_t, FsStatus>> fault;

    FsStatus GetAttributes(std::string_view p, Attributes& a) const override {
        return Or(p, [&] { return inner().GetAttributes(p, a); });
    }
    FsStatus OpenForRead(std::string_view p) const override {
        return Or(p, [&] { return inner().OpenForRead(p); });
    }
    FsStatus FileSize(std::string_view p, std::uint64_t& n) const override {
        return Or(p, [&] { return inner().FileSize(p, n); });
    }
    FsStatus ReadAll(std::string_view p, std::string& b, std::size_t n) const override {
        return Or(p, [&] { return inner().ReadAll(p, b, n); });
    }
    FsStatus ReadHead(std::string_view p, std::string& b, std::size_t n) const override {
        return Or(p, [&] { return inner().ReadHead(p, b, n); });
    }
    FsStatus CanCreateFileIn(std::string_view p) const override {
        return Or(p, [&] { return inner().CanCreateFileIn(p); });
    }
    std::unique_ptr<Listing> List(std::string_view p) const override { return Fault(p) ? nullptr : inner().List(p); }
    std::string ShortPath(std::string_view p) const override { return Fault(p) ? "" : inner().ShortPath(p); }

private:
    bool Fault(std::string_view path) const {
        reads.emplace_back(path);
        return fault && fault->first == reads.size() - 1;
    }
    template <class Call>
    FsStatus Or(std::string_view path, Call call) const {
        return Fault(path) ? fault->second : call();
    }
};

}  // namespace zelvane::testing
