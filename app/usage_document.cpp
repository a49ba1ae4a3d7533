#include "app/usage_document.hpp"

#include <optional>

#include "resources/embedded_guide.hpp"
#include "util/common.hpp"
#include "util/program_error.hpp"
#include "util/shell_execute.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

constexpr std::string_view kLocation = "cmdINI_Click";
constexpr std::size_t kTitleBlockLines = 10;

std::string VersionLine() {
    return "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 " + AppVersion() + "\\cf0\\par";
}

// Reports a failed step of writing the document; false when it failed.
bool Succeeded(UserInterface& ui, FsStatus status) {
    if (status == FsStatus::Ok) return true;
    ShowErrorMessage(ui, FileSystemError(status), kLocation);
    return false;
}

}  // namespace

std::string_view UsageGuide() { return EmbeddedUsageGuide(); }

std::string StampedUsageGuide(std::string_view guide) {
    std::string stamped;
    stamped.reserve(guide.size() + 128);
    std::size_t count = 0;
    for (const std::string& line : SplitInputLines(guide)) {
        stamped += line;
        stamped += kCrLf;
        if (++count == kTitleBlockLines) {
            stamped += VersionLine();
            stamped += kCrLf;
        }
    }
    return stamped;
}

bool WriteUsageDocument(FileSystem& fs, UserInterface& ui, std::string_view programFolder, std::string_view guide) {
    const std::string folder = AddBackslash(programFolder) + "uninstall";
    if (!FolderExists(fs, folder)) {
        if (!Succeeded(ui, fs.CreateFolder(folder))) return false;
        ui.DoEvents();
    }

    const std::string path = AddBackslash(programFolder) + "uninstall\\Zelvane Usage.rtf";
    // The raw guide first, then read back line by line and written again with the version line.
    if (!Succeeded(ui, fs.WriteAll(path, guide))) return false;
    ui.DoEvents();

    std::string written;
    if (!Succeeded(ui, fs.ReadAll(path, written))) return false;
    const std::string stamped = StampedUsageGuide(written);

    if (!Succeeded(ui, fs.SetAttributes(path, Attributes{}))) return false;
    if (!Succeeded(ui, fs.Delete(path))) return false;
    ui.DoEvents();
    if (!Succeeded(ui, fs.WriteAll(path, stamped))) return false;
    ui.DoEvents();

    int showCommand = 1;
    ShellExecuteFile(ui, path, "", "", showCommand, false);
    return true;
}

}  // namespace zelvane
