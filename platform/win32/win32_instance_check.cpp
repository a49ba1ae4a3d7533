#include "platform/win32/win32_instance_check.hpp"

#include <windows.h>

#include <vector>

namespace zelvane {
namespace {

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return {};
        if (got < buffer.size()) return std::string(buffer.data(), got);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string InstanceMutexName(std::string_view executablePath) {
    std::string name = "Local\\Zelvane.";
    for (const char c : executablePath) {
        if (c == '\\') {
            name += '/';
        } else if (c >= 'A' && c <= 'Z') {
            name += static_cast<char>(c - 'A' + 'a');
        } else {
            name += c;
        }
    }
    if (name.size() >= MAX_PATH) name.resize(MAX_PATH - 1);
    return name;
}

Win32InstanceCheck::~Win32InstanceCheck() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool Win32InstanceCheck::AnotherInstanceRunning() {
    if (mutex_ != nullptr) return another_;
    const std::string name = InstanceMutexName(programPath_.empty() ? ExecutablePath() : programPath_);
    mutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
    another_ = mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    return another_;
}

}  // namespace zelvane
