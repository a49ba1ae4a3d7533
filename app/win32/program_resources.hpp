#pragma once
// Resources built into zelvane.exe.

#include <windows.h>

#include <string_view>

namespace zelvane::win32 {

// The bytes of a resource of the program (language US English first, then any); "" when missing.
// The memory belongs to the loaded executable and stays valid while it runs.
std::string_view LoadResourceBytes(int id, const char* type);

// A 32 x 32 icon resource of the program; the caller owns (destroys) it.
HICON LoadProgramIcon(int id, int size = 32);

}  // namespace zelvane::win32
