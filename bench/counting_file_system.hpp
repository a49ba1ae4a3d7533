#pragma once
// A file system that passes every call on to another one and counts the calls by kind, so that a
// test can tell how many seam calls of one kind a piece of the run makes over any file system.

#include <array>
#include <cstdint>

#include "platform/seams/forwarding_file_system.hpp"
#include "platform/seams/fs_op.hpp"

namespace zelvane::bench {

using SeamCall = FsOp;  // the name the tests that count calls use

class CountingFileSystem final : public ForwardingFileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    std::uint64_t Calls(FsOp op) const { return calls_[static_cast<std::size_t>(op)]; }

    FsStatus GetAttributes(std::string_view p, Attributes& a) const override {
        return Count(FsOp::GetAttributes), inner().GetAttributes(p, a);
    }
    FsStatus SetAttributes(std::string_view p, const Attributes& a) override {
        return Count(FsOp::SetAttributes), inner().SetAttributes(p, a);
    }
    FsStatus OpenForRead(std::string_view p) const override { return Count(FsOp::OpenForRead), inner().OpenForRead(p); }
    FsStatus FileSize(std::string_view p, std::uint64_t& n) const override {
        return Count(FsOp::FileSize), inner().FileSize(p, n);
    }
    FsStatus ReadAll(std::string_view p, std::string& b, std::size_t n) const override {
        return Count(FsOp::ReadAll), inner().ReadAll(p, b, n);
    }
    FsStatus ReadHead(std::string_view p, std::string& b, std::size_t n) const override {
        return Count(FsOp::ReadHead), inner().ReadHead(p, b, n);
    }
    FsStatus WriteAll(std::string_view p, std::string_view b) override {
        return Count(FsOp::WriteAll), inner().WriteAll(p, b);
    }
    FsStatus Delete(std::string_view p) override { return Count(FsOp::Delete), inner().Delete(p); }
    FsStatus Rename(std::string_view f, std::string_view t) override {
        return Count(FsOp::Rename), inner().Rename(f, t);
    }
    FsStatus Copy(std::string_view f, std::string_view t) override { return Count(FsOp::Copy), inner().Copy(f, t); }
    FsStatus CreateFolder(std::string_view p) override { return Count(FsOp::CreateFolder), inner().CreateFolder(p); }
    FsStatus CanCreateFileIn(std::string_view p) const override {
        return Count(FsOp::CanCreateFileIn), inner().CanCreateFileIn(p);
    }
    std::unique_ptr<Listing> List(std::string_view p) const override { return Count(FsOp::List), inner().List(p); }
    std::string ShortPath(std::string_view p) const override { return Count(FsOp::ShortPath), inner().ShortPath(p); }
    std::string ResolvedPath(std::string_view p) const override {
        return Count(FsOp::ResolvedPath), inner().ResolvedPath(p);
    }
    bool SameVolume(std::string_view a, std::string_view b) const override {
        return Count(FsOp::SameVolume), inner().SameVolume(a, b);
    }
    std::string FolderStamp(std::string_view p) const override {
        return Count(FsOp::FolderStamp), inner().FolderStamp(p);
    }

private:
    void Count(FsOp op) const { ++calls_[static_cast<std::size_t>(op)]; }
    mutable std::array<std::uint64_t, static_cast<std::size_t>(FsOp::FolderStamp) + 1> calls_{};
};

}  // namespace zelvane::bench
