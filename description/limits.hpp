#pragma once
// How much text loading may hold. A description is tens of lines; these bounds only stop a
// malformed file (a huge block cited by thousands of entries, a list of millions of names) from
// exhausting memory: loading then fails with "Out of memory" instead.

#include <cstddef>

#include "util/program_error.hpp"

namespace zelvane {

inline constexpr std::size_t kMaxHeldTextBytes = std::size_t{64} << 20;

}  // namespace zelvane
