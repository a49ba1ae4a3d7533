#pragma once
// Opening a document with its associated program, with the shell's error messages.

#include <string>
#include <string_view>

#include "platform/seams/user_interface.hpp"

namespace zelvane {

// The shell's code in decimal on success; the code's message after an error (shown in a box).
std::string ShellExecuteFile(UserInterface& ui, std::string_view file, std::string_view parameters,
                             std::string_view directory, int& showCommand, bool quietNoAssociation);
// The message of a ShellExecute error code, "" for codes the table does not list.
std::string_view ShellExecuteMessage(int code);

}  // namespace zelvane
