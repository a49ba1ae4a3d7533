// The check of a description for its author: the input is uninstall_data.ini in an in-memory
// program folder with a 2da backup folder, a mod folder and a game folder. The check must not
// change a thing, must tie every diagnostic to a line of the file, and must call a start-up error
// exactly what makes start-up's own loader stop.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "fuzz/fuzz_support.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "util/strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelvane;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string program = "C:\\Mods\\Robes";
    const std::string descriptionPath = program + "\\uninstall\\uninstall_data.ini";

    MemoryFileSystem fs;
    fs.AddFile(descriptionPath, bytes);
    fs.AddFile(program + "\\backup\\appearance.2da", "2DA V2.0");
    fs.AddFile("C:\\Mod\\override\\robe.uti", "u");
    fs.AddFile("C:\\Mod\\override\\sub\\robe.tga", "t");
    fs.AddFile("C:\\Game\\dialog.tlk", "TLK V3.0");
    fs.AddFile("C:\\Game\\override\\robe.uti", "u");
    fs.AddFile("C:\\Game\\override\\sub\\a.uti", "a");
    fs.AddFile("C:\\Game\\override\\icon.tga.original", "o");
    const auto before = fs.Snapshot();

    const std::vector<Diagnostic> diagnostics = CheckDescription(fs, CheckOptions{program, "C:\\Mod", "C:\\Game", 15});

    fuzz::Check(fs.MutationCount() == 0 && fs.Snapshot() == before, "the check changed the file system");
    const int lines = static_cast<int>(SplitInputLines(bytes).size());
    for (const Diagnostic& d : diagnostics) {
        fuzz::Check(d.line >= 0 && d.line <= lines, "a diagnostic on a line the file does not have");
        fuzz::Check(!d.text.empty() && d.text.find_first_of("\r\n") == std::string::npos,
                    "a diagnostic that is empty or spans lines");
    }
    fuzz::Check(std::is_sorted(diagnostics.begin(), diagnostics.end(),
                               [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; }),
                "diagnostics out of line order");

    UninstallDescription loaded;
    loaded.DescriptionPath = descriptionPath;
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{fs, program, descriptionPath, 15});
    const bool startupError = std::any_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) {
        return d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
    });
    fuzz::Check(startupError == (load.outcome != LoadOutcome::EndOfFile),
                "the check and start-up's loader disagree about a start-up error");
    return 0;
}
