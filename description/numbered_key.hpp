#pragma once
// The numbered keys of q-entries: stem + N + "=", N from 0 to 99 without leading zeros.

#include <cstddef>
#include <optional>
#include <string_view>

namespace zelvane {

struct NumberedKey {
    int number = 0;
    std::size_t length = 0;  // characters of the key, "=" included; the value follows
};

// Which numbered key the line carries, if any. lowerLine is the line (or a prefix of at least
// stem + 3 characters) in lower case; stem is lower case, e.g. "#qdelete_file_".
std::optional<NumberedKey> FindNumberedKey(std::string_view lowerLine, std::string_view stem);

}  // namespace zelvane
