#pragma once
// Names kept for a long time in few large blocks instead of one string each: what is stored
// keeps its place (views of it stay valid) until the store is cleared.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace zelvane {

class NameStore {
public:
    // Room for size characters, valid until Clear().
    char* Allocate(std::size_t size) {
        if (size > kBlock) {  // a block of its own, before the one being filled
            const auto at = blocks_.empty() ? blocks_.end() : blocks_.end() - 1;
            return blocks_.insert(at, std::make_unique_for_overwrite<char[]>(size))->get();
        }
        if (blocks_.empty() || size > kBlock - used_) {
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
            used_ = 0;
        }
        char* out = blocks_.back().get() + used_;
        used_ += size;
        return out;
    }
    std::string_view Store(std::string_view text) {
        char* out = Allocate(text.size());
        std::copy(text.begin(), text.end(), out);
        return {out, text.size()};
    }
    void Clear() {
        blocks_.clear();
        used_ = 0;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0;
};

}  // namespace zelvane
