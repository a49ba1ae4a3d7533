#include "util/shell_execute.hpp"

#include "util/strings.hpp"

namespace zelvane {

std::string_view ShellExecuteMessage(int code) {
    switch (code) {
        case 0: return "The operating system is out of memory or resources.";
        case 2: return "The specified file was not found.";
        case 3: return "The specified path was not found.";
        case 5: return "The operating system denied access to the specified file. ";
        case 6: return "Seperate data segments are required For Each task.";
        case 8: return "There was not enough memory to complete the operation.";
        case 10: return "Incorrect Windows version.";
        case 11: return "Invalid program file.";
        case 12: return "Program file requires a different operating system.";
        case 13: return "Program requires MS-DOS 4.0.";
        case 14: return "Unknown program file type.";
        case 15: return "Windows program does Not support protected memory mode.";
        case 16: return "Invalid use of data segments when loading a second instance of a program.";
        case 19: return "Attempt To run a compressed program file.";
        case 20: return "Invalid dynamic link library.";
        case 21: return "Program requires Windows 32-bit extensions.";
        case 26: return "A sharing violation occurred.";
        case 27: return "The filename association is incomplete or invalid.";
        case 28: return "The DDE transaction could not be completed because the request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not be completed because other DDE transactions were being processed.";
        case 31: return "There is no application associated with the given filename extension.";
        case 32: return "The specified dynamic-link library was not found. ";
        default: return {};
    }
}

std::string ShellExecuteFile(UserInterface& ui, std::string_view file, std::string_view parameters,
                             std::string_view directory, int& showCommand, bool quietNoAssociation) {
    if (showCommand == 0) showCommand = 5;
    const int code = ui.ShellOpen(file, parameters, directory, showCommand);
    std::string_view message = ShellExecuteMessage(code);
    if (!message.empty()) {
        if (!(code == 31 && quietNoAssociation)) {
            std::string text = "Public Function ShellExecuteFile - Mod Tarrel";
            text += kCrLf;
            text += message;
            ui.ShowMessage(text, "Error running " + std::string(file), kMbOk);
        }
        return std::string(message);
    }
    return std::to_string(code);
}

}  // namespace zelvane
