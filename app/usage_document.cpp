#include "app/usage_document.hpp"

#include <optional>
#include <string>
#include <vector>

#include "platform/seams/read_limits.hpp"
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
    if (status == FsStatus::OutsideRoots) {
        std::string text =
            "Zelvane Usage.rtf was not written: the uninstall folder or that file leads outside the "
            "program folder through a link.";
        text += kCrLf;
        text += "Remove the link and try again.";
        ui.ShowMessage(text, "Aborting", kMbOk | kMbIconExclamation);
        return false;
    }
    ShowErrorMessage(ui, FileSystemError(status), kLocation);
    return false;
}

// The document is written into the program folder and nowhere else, whatever the file system was
// confined to before; the earlier roots come back afterwards.
class ProgramFolderOnly {
public:
    ProgramFolderOnly(FileSystem& fs, std::string_view programFolder) : fs_(fs), saved_(fs.Roots()) {
        fs_.SetRoots({std::string(programFolder)});
    }
    ~ProgramFolderOnly() { fs_.SetRoots(std::move(saved_)); }
    ProgramFolderOnly(const ProgramFolderOnly&) = delete;
    ProgramFolderOnly& operator=(const ProgramFolderOnly&) = delete;

private:
    FileSystem& fs_;
    std::vector<std::string> saved_;
};

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
    const ProgramFolderOnly confined(fs, programFolder);
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
    if (!Succeeded(ui, fs.ReadAll(path, written, kDocumentLimit))) return false;
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
