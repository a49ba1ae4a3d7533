#pragma once
// A file system that passes every call on to another one and writes down each mutating call,
// so that a fault injected at mutation n can be told apart by what it hit. It also counts the
// reading calls (attributes, opens, reads, listings and short names) and can fail the
// n-th of them once, which the in-memory file system cannot do by position.

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane::testing {

struct MutationRecord {
    FsOp op;
    std::string path;    // the (first) path of the call
    std::string target;  // the second path of Rename and Copy
};

class RecordingFileSystem final : public ForwardingFileSystem {
public:
    explicit RecordingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    std::vector<MutationRecord> mutations;
    mutable std::vector<MutationRecord> reads;  // op and path of every reading call, in order

    // Fails the reading call with this 0-based index, once.
    void FailRead(std::size_t index, FsStatus status) { readFault_ = {index, status}; }

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        if (auto fault = Read(FsOp::GetAttributes, path)) return *fault;
        return inner().GetAttributes(path, out);
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        Note(FsOp::SetAttributes, path);
        return inner().SetAttributes(path, attributes);
    }
    FsStatus OpenForRead(std::string_view path) const override {
        if (auto fault = Read(FsOp::OpenForRead, path)) return *fault;
        return inner().OpenForRead(path);
    }
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override {
        if (auto fault = Read(FsOp::FileSize, path)) return *fault;
        return inner().FileSize(path, size);
    }
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override {
        if (auto fault = Read(FsOp::ReadAll, path)) return *fault;
        return inner().ReadAll(path, bytes, limit);
    }
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override {
        if (auto fault = Read(FsOp::ReadHead, path)) return *fault;
        return inner().ReadHead(path, bytes, count);
    }
    FsStatus CanCreateFileIn(std::string_view folder) const override {
        if (auto fault = Read(FsOp::CanCreateFileIn, folder)) return *fault;
        return inner().CanCreateFileIn(folder);
    }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override {
        Note(FsOp::WriteAll, path);
        return inner().WriteAll(path, bytes);
    }
    FsStatus Delete(std::string_view path) override {
        Note(FsOp::Delete, path);
        return inner().Delete(path);
    }
    FsStatus Rename(std::string_view from, std::string_view to) override {
        Note(FsOp::Rename, from, to);
        return inner().Rename(from, to);
    }
    FsStatus Copy(std::string_view from, std::string_view to) override {
        Note(FsOp::Copy, from, to);
        return inner().Copy(from, to);
    }
    FsStatus CreateFolder(std::string_view path) override {
        Note(FsOp::CreateFolder, path);
        return inner().CreateFolder(path);
    }
    std::unique_ptr<Listing> List(std::string_view pattern) const override {
        if (Read(FsOp::List, pattern)) return nullptr;
        return inner().List(pattern);
    }
    std::string ShortPath(std::string_view path) const override {
        if (Read(FsOp::ShortPath, path)) return "";
        return inner().ShortPath(path);
    }

private:
    std::optional<FsStatus> Read(FsOp op, std::string_view path) const {
        reads.push_back({op, std::string(path), {}});
        if (readFault_ && readFault_->first == reads.size() - 1) {
            const FsStatus status = readFault_->second;
            readFault_.reset();
            return status;
        }
        return std::nullopt;
    }
    void Note(FsOp op, std::string_view path, std::string_view target = {}) {
        mutations.push_back({op, std::string(path), std::string(target)});
    }
    mutable std::optional<std::pair<std::size_t, FsStatus>> readFault_;
};

}  // namespace zelvane::testing
