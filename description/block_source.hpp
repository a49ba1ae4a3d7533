#pragma once
// Text blocks cut out of the working copy of the description.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"

namespace zelvane {

class BlockSource {
public:
    BlockSource(const FileSystem& fs, std::string workingCopyPath);

    // The text between the first begin marker and the first end marker of the working copy,
    // less the line end after the begin marker and the one before the end marker.
    // nullopt when either marker is missing. Throws InvalidArgumentError when the end marker
    // stands before, on or directly after the begin marker's line, and the file-system error
    // when the working copy cannot be read.
    // The working copy is read on the first call only; the markers' positions are remembered.
    std::optional<std::string_view> Block(std::string_view beginMarker, std::string_view endMarker);

    std::uint64_t Reads() const { return reads_; }

private:
    std::size_t Position(std::string_view marker);  // 1-based, 0 = not found

    const FileSystem& fs_;
    std::string path_;
    std::optional<std::string> contents_;
    std::map<std::string, std::size_t, std::less<>> positions_;
    std::uint64_t reads_ = 0;
};

}  // namespace zelvane
