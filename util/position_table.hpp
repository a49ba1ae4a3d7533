#pragma once
// A hash table from a text key to a position in some vector, in one array of slots (open
// addressing, linear probing): no allocation per key. The key of a position is asked from the
// caller (keyOf), so the table itself holds positions only.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace zelvane {

class PositionTable {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // The slot of the position held for this key, or nullptr.
    template <class KeyOf>
    std::size_t* Find(std::string_view key, const KeyOf& keyOf) {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = Hash(key) & Mask();; i = (i + 1) & Mask()) {
            if (slots_[i] == kNone) return nullptr;
            if (keyOf(slots_[i]) == key) return &slots_[i];
        }
    }
    template <class KeyOf>
    const std::size_t* Find(std::string_view key, const KeyOf& keyOf) const {
        return const_cast<PositionTable*>(this)->Find(key, keyOf);
    }

    // The slot held for the key of this position; a new slot holds the position (inserted true).
    template <class KeyOf>
    std::size_t& Insert(std::size_t position, const KeyOf& keyOf, bool& inserted) {
        if ((used_ + 1) * 2 > slots_.size()) Grow(keyOf);
        const std::string_view key = keyOf(position);
        std::size_t i = Hash(key) & Mask();
        for (; slots_[i] != kNone; i = (i + 1) & Mask()) {
            if (keyOf(slots_[i]) == key) {
                inserted = false;
                return slots_[i];
            }
        }
        ++used_;
        inserted = true;
        slots_[i] = position;
        return slots_[i];
    }

    void Clear() {
        slots_.clear();
        used_ = 0;
    }

private:
    static std::size_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
    std::size_t Mask() const { return slots_.size() - 1; }

    template <class KeyOf>
    void Grow(const KeyOf& keyOf) {
        std::vector<std::size_t> old(slots_.empty() ? 64 : slots_.size() * 2, kNone);
        old.swap(slots_);
        for (const std::size_t position : old) {
            if (position == kNone) continue;
            std::size_t i = Hash(keyOf(position)) & Mask();
            while (slots_[i] != kNone) i = (i + 1) & Mask();
            slots_[i] = position;
        }
    }

    std::vector<std::size_t> slots_;
    std::size_t used_ = 0;
};

}  // namespace zelvane
