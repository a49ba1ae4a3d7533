// The gallery of broken descriptions (check_gallery/<case>/uninstall/uninstall_data.ini, with an
// optional mod/ and game/ folder): each case gives exactly the diagnostics of its expected.txt, the
// check changes nothing, and its start-up errors agree with start-up's own loader.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

namespace fs = std::filesystem;

const fs::path kGallery = ZELVANE_CHECK_GALLERY;
const std::string kRoot = "C:\\Gallery";

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGallery)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The case's files (expected.txt aside) in a memory file system under C:\Gallery\<case>.
std::string LoadCase(MemoryFileSystem& memory, const std::string& name) {
    const std::string folder = kRoot + "\\" + name;
    for (const auto& entry : fs::recursive_directory_iterator(kGallery / name)) {
        const std::string relative = fs::relative(entry.path(), kGallery / name).string();
        if (relative == "expected.txt") continue;
        std::string windows = folder + "\\" + relative;
        std::replace(windows.begin(), windows.end(), '/', '\\');
        if (entry.is_directory()) {
            memory.AddFolder(windows);
        } else {
            memory.AddFile(windows, ReadHostFile(entry.path()));
        }
    }
    return folder;
}

class CheckGallery : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckGallery, GivesItsExpectedDiagnosticsAndChangesNothing) {
    MemoryFileSystem memory;
    const std::string folder = LoadCase(memory, GetParam());
    CheckOptions options;
    options.programFolder = folder;
    if (fs::is_directory(kGallery / GetParam() / "mod")) options.modFolder = folder + "\\mod";
    if (fs::is_directory(kGallery / GetParam() / "game")) options.gameFolder = folder + "\\game";
    const auto before = memory.Snapshot();

    const std::vector<Diagnostic> diagnostics = CheckDescription(memory, options);

    std::string printed;
    for (const Diagnostic& d : diagnostics) printed += FormatDiagnostic(d) + "\n";
    printed += CheckSummary(diagnostics) + "\n";
    EXPECT_EQ(printed, ReadHostFile(kGallery / GetParam() / "expected.txt"));
    EXPECT_EQ(memory.MutationCount(), 0u);
    EXPECT_EQ(memory.Snapshot(), before);

    // What the check calls a start-up error is exactly what makes start-up's loader stop.
    UninstallDescription loaded;
    loaded.DescriptionPath = folder + "\\uninstall\\uninstall_data.ini";
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{memory, folder, loaded.DescriptionPath, 15});
    const bool startupError = std::any_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) {
        return d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
    });
    EXPECT_EQ(load.outcome != LoadOutcome::EndOfFile, startupError);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGallery, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace zelvane
