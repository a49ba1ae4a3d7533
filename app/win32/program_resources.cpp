#include "app/win32/program_resources.hpp"

namespace zelvane::win32 {

std::string_view LoadResourceBytes(int id, const char* type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (found == nullptr) found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (bytes == nullptr) return {};
    return std::string_view(static_cast<const char*>(bytes), size);
}

HICON LoadProgramIcon(int id, int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace zelvane::win32
