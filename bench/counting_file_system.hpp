#pragma once
// A file system that passes every call on to another one and counts the calls by kind, so that
// the benchmark and the tests can tell how many seam calls a run makes per listed file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>

#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane::bench {

enum class SeamCall : std::size_t {
    GetAttributes,
    SetAttributes,
    OpenForRead,
    FileSize,
    ReadAll,
    ReadHead,
    WriteAll,
    Delete,
    Rename,
    Copy,
    CreateFolder,
    CanCreateFileIn,
    List,
    ShortPath,
    ResolvedPath,
    SameVolume,
    FolderStamp,
    Count
};

class CountingFileSystem final : public ForwardingFileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    std::uint64_t Calls(SeamCall call) const { return calls_[static_cast<std::size_t>(call)]; }
    std::uint64_t TotalCalls() const { return std::accumulate(calls_.begin(), calls_.end(), std::uint64_t{0}); }
    void Reset() { calls_.fill(0); }

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        return Count(SeamCall::GetAttributes), inner().GetAttributes(path, out);
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        return Count(SeamCall::SetAttributes), inner().SetAttributes(path, attributes);
    }
    FsStatus OpenForRead(std::string_view path) const override {
        return Count(SeamCall::OpenForRead), inner().OpenForRead(path);
    }
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override {
        return Count(SeamCall::FileSize), inner().FileSize(path, size);
    }
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override {
        return Count(SeamCall::ReadAll), inner().ReadAll(path, bytes, limit);
    }
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override {
        return Count(SeamCall::ReadHead), inner().ReadHead(path, bytes, count);
    }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override {
        return Count(SeamCall::WriteAll), inner().WriteAll(path, bytes);
    }
    FsStatus Delete(std::string_view path) override { return Count(SeamCall::Delete), inner().Delete(path); }
    FsStatus Rename(std::string_view from, std::string_view to) override {
        return Count(SeamCall::Rename), inner().Rename(from, to);
    }
    FsStatus Copy(std::string_view from, std::string_view to) override {
        return Count(SeamCall::Copy), inner().Copy(from, to);
    }
    FsStatus CreateFolder(std::string_view path) override {
        return Count(SeamCall::CreateFolder), inner().CreateFolder(path);
    }
    FsStatus CanCreateFileIn(std::string_view folder) const override {
        return Count(SeamCall::CanCreateFileIn), inner().CanCreateFileIn(folder);
    }
    std::unique_ptr<Listing> List(std::string_view pattern) const override {
        return Count(SeamCall::List), inner().List(pattern);
    }
    std::string ShortPath(std::string_view path) const override {
        return Count(SeamCall::ShortPath), inner().ShortPath(path);
    }
    std::string ResolvedPath(std::string_view path) const override {
        return Count(SeamCall::ResolvedPath), inner().ResolvedPath(path);
    }
    bool SameVolume(std::string_view a, std::string_view b) const override {
        return Count(SeamCall::SameVolume), inner().SameVolume(a, b);
    }
    std::string FolderStamp(std::string_view folder) const override {
        return Count(SeamCall::FolderStamp), inner().FolderStamp(folder);
    }

private:
    void Count(SeamCall call) const { ++calls_[static_cast<std::size_t>(call)]; }
    mutable std::array<std::uint64_t, static_cast<std::size_t>(SeamCall::Count)> calls_{};
};

}  // namespace zelvane::bench
