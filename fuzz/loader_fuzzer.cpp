// The whole start-up load of a description: the input is uninstall_data.ini in an in-memory
// program folder with a 2da backup folder, read as the program reads it when it starts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/startup.hpp"
#include "fuzz/fuzz_support.hpp"
#include "tests/support/whole_run.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "prompts/rtf_envelope.hpp"
#include "prompts/sizing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelvane;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string program = "C:\\Mods\\Robes";
    const std::string descriptionPath = program + "\\uninstall\\uninstall_data.ini";

    MemoryFileSystem fs;
    fs.AddFile(descriptionPath, bytes);
    fs.AddFile(program + "\\uninstall\\uninstall_info.rtf", "{\\rtf1 info}");
    fs.AddFile(program + "\\backup\\appearance.2da", "2DA V2.0");
    fs.AddFile(program + "\\backup\\Feat.2DA", "2DA V2.0");
    fs.AddFile(program + "\\backup\\hidden.2da", "2DA V2.0", Attributes{.hidden = true});
    fs.AddFolder(program + "\\backup\\folder.2da");

    whole_run::QuietUi ui;
    fuzz::NoOtherInstance instance;
    StartupContext context{fs, ui, instance, program, [](const std::string&) { return true; }};
    StartupOutcome outcome = RunStartup(context);

    // "Internal error" is what the handlers make of an exception that no code path expects.
    fuzz::Check(!ui.Showed("", "Error: 51"), "an unexpected exception reached Form Load");
    fuzz::Check(!fs.Exists(program + "\\uninstall\\uninstall_data20A.ini"), "the working copy was left behind");
    fuzz::Check(fs.Contents(descriptionPath) == std::string(bytes), "the description itself changed");

    const UninstallDescription& d = outcome.description;
    if (outcome.state == StartupState::Normal || outcome.state == StartupState::NormalWithoutDocument) {
        // The first prompt of a run: the confirmation, measured and wrapped as the run does.
        std::string confirm = d.ConfirmMessage;
        const int width = AutoDetermineWidth(confirm, 12, "Times New Roman", ui);
        fuzz::Check(width >= 50, "a prompt narrower than its margin");
        (void)BuildPromptRtf(confirm, 12);
    }
    return 0;
}
