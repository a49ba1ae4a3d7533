// A description as its author checks it and as start-up loads it: the check changes nothing, ties
// every diagnostic to a line and calls a start-up error exactly what makes start-up's loader stop.

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "fuzz/fuzz_support.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "tests/support/whole_run.hpp"
#include "util/strings.hpp"

using namespace zelvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string program = "C:\\Mods\\Robes", ini = program + "\\uninstall\\uninstall_data.ini";
    MemoryFileSystem fs;
    fs.AddFile(ini, bytes);
    fs.AddFile(program + "\\uninstall\\uninstall_info.rtf", "{\\rtf1 info}");
    for (const char* table : {"appearance.2da", "Feat.2DA"}) fs.AddFile(program + "\\backup\\" + table, "2DA V2.0");
    fs.AddFile(program + "\\backup\\hidden.2da", "2DA V2.0", Attributes{.hidden = true});
    fs.AddFolder(program + "\\backup\\folder.2da");
    for (const char* path :
         {"C:\\Mod\\override\\robe.uti", "C:\\Mod\\override\\sub\\robe.tga", "C:\\Game\\override\\robe.uti",
          "C:\\Game\\override\\sub\\a.uti", "C:\\Game\\override\\icon.tga.original"})
        fs.AddFile(path, "u");
    fs.AddFile("C:\\Game\\dialog.tlk", "TLK V3.0");

    const auto before = fs.Snapshot();
    const std::vector<Diagnostic> diagnostics = CheckDescription(fs, CheckOptions{program, "C:\\Mod", "C:\\Game", 15});
    fuzz::Check(fs.MutationCount() == 0 && fs.Snapshot() == before, "the check changed the file system");
    const int lines = static_cast<int>(SplitInputLines(bytes).size());
    bool startupError = false;
    for (std::size_t i = 0; i < diagnostics.size(); ++i) {
        const Diagnostic& d = diagnostics[i];
        fuzz::Check(d.line >= 0 && d.line <= lines, "a diagnostic on a line the file does not have");
        fuzz::Check(!d.text.empty() && d.text.find_first_of("\r\n") == std::string::npos,
                    "a diagnostic that is empty or spans lines");
        fuzz::Check(i == 0 || diagnostics[i - 1].line <= d.line, "diagnostics out of line order");
        startupError |= d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
    }
    UninstallDescription loaded;
    loaded.DescriptionPath = ini;
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{fs, program, ini, 15});
    fuzz::Check(startupError == (load.outcome != LoadOutcome::EndOfFile),
                "the check and start-up's loader disagree about a start-up error");

    whole_run::QuietUi ui;
    (void)fuzz::Start(fs, ui, program);
    // "Internal error" is what the handlers make of an exception that no code path expects.
    fuzz::Check(!ui.Showed("", "Error: 51"), "an unexpected exception reached Form Load");
    fuzz::Check(!fs.Exists(program + "\\uninstall\\uninstall_data20A.ini"), "the working copy was left behind");
    fuzz::Check(fs.Contents(ini) == bytes, "the description itself changed");
    return 0;
}
