#include "description/block_source.hpp"

#include <utility>

#include "platform/seams/read_limits.hpp"
#include "util/program_error.hpp"

namespace zelvane {

BlockSource::BlockSource(const FileSystem& fs, std::string workingCopyPath)
    : fs_(fs), path_(std::move(workingCopyPath)) {}

std::size_t BlockSource::Position(std::string_view marker) {
    if (auto it = positions_.find(marker); it != positions_.end()) return it->second;
    const std::size_t found = contents_->find(marker);
    const std::size_t position = found == std::string::npos ? 0 : found + 1;
    positions_.emplace(std::string(marker), position);
    return position;
}

std::optional<std::string_view> BlockSource::Block(std::string_view beginMarker, std::string_view endMarker) {
    if (!contents_) {
        std::string bytes;
        ++reads_;
        const FsStatus status = fs_.ReadAll(path_, bytes, kDescriptionLimit);
        if (status != FsStatus::Ok) throw FileSystemError(status);
        contents_ = std::move(bytes);
    }
    const std::size_t b = Position(beginMarker);
    const std::size_t e = Position(endMarker);
    if (b == 0 || e == 0) return std::nullopt;

    // 1-based start b + len(B) + 2 and length e - (b + len(B) + 4): the CR LF after the begin
    // marker and the one before the end marker are left out.
    const long long start = static_cast<long long>(b + beginMarker.size()) + 2;
    const long long length = static_cast<long long>(e) - static_cast<long long>(b + beginMarker.size() + 4);
    if (length < 0) throw InvalidArgumentError();
    const std::string_view all = *contents_;
    if (length == 0 || static_cast<std::size_t>(start) > all.size()) return std::string_view{};
    return all.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

}  // namespace zelvane
