#include "app/startup.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/program_error.hpp"

namespace zelvane::testing {
namespace {

const std::string kProgram = "C:\\Mods\\Robes";
const std::string kUninstall = kProgram + "\\uninstall";
const std::string kDescription = kUninstall + "\\uninstall_data.ini";
const std::string kWorkingCopy = kUninstall + "\\uninstall_data20A.ini";
const std::string kDocument = kUninstall + "\\uninstall_info.rtf";

class FakeInstance : public InstanceCheck {
public:
    bool running = false;
    bool AnotherInstanceRunning() override { return running; }
};

// A program folder, the player's screen and one start of the program in it.
struct World {
    explicit World(const char* description = nullptr) {
        if (description) fs.AddFile(kDescription, description);
    }
    MemoryFileSystem fs;
    ScriptedUi ui;
    FakeInstance instance;
    std::vector<std::string> shown;
    std::function<bool(const std::string&)> show = [this](const std::string& path) {
        shown.push_back(path);
        return true;
    };

    StartupOutcome Start() {
        StartupContext context{fs, ui, instance, kProgram, show};
        StartupOutcome outcome = RunStartup(context);
        EXPECT_FALSE(fs.Exists(kWorkingCopy)) << "the working copy was left behind";
        return outcome;
    }
};

constexpr std::uint32_t kStop = kMbIconExclamation | kMbSystemModal;
constexpr std::uint32_t kLoaderStop = kMbIconInformation | kMbSystemModal;
constexpr std::uint32_t kOops = kMbOk | kMbIconExclamation;

struct MessageCase {
    const char* description;  // nullptr: none
    std::function<void(World&)> setup;
    std::string caption;
    std::string text;
    std::string title;
    std::uint32_t style;
};

// Every start that shows one message: the message and the window's caption. An information
// document that cannot be shown is left out and start-up goes on; every other message ends in the
// INI-error state.
TEST(Startup, EachFaultShowsItsMessageAndState) {
    const std::string cannot = "\r\nCannot continue without it.";
    const std::string versioned = "Zelvane - Version: 1.0.151";
    const auto loadError = [](const std::string& error) {
        return "Error: " + error + "\r\n\r\nLOCATION:\r\nForm Load";
    };
    const auto document = [](World& w) { w.fs.AddFile(kDocument, "{\\rtf1 }"); };
    // clang-format off
    const std::vector<MessageCase> cases = {
        {nullptr, [](World& w) { w.fs.AddFolder(kDescription); }, "Zelvane",
         "The uninstall_data.ini file was not found." + cannot, "Aborting", kStop},
        {nullptr, [](World& w) { w.fs.AddSparseFile(kDescription, "#game=2\r\n", kDescriptionLimit + 1); }, "Zelvane",
         "The uninstall_data.ini file is larger than 4 MiB." + cannot, "Aborting", kStop},
        {"#window_caption=Half Read\r\n#qdelete_file_3=override\\a.uti\r\n", nullptr, "Half Read",
         "#qdelete_file_begin_3# and #qdelete_file_end_3# are improperly set.", "Aborting", kLoaderStop},
        {"#qrestore_2da=true\r\n", nullptr, "Zelvane",
         "Restore 2da files is enabled but no 2da file list was found in the ini.", "Aborting", kLoaderStop},
        {"#game=abc\r\n", document, "Zelvane", loadError("13\r\nType mismatch"), "Oops!", kOops},
        {"#qrestore_file_format_width_0=300\r\n", nullptr, "Zelvane", loadError("9\r\nSubscript out of range"),
         "Oops!", kOops},
        {"#game=2\r\n", [](World& w) { w.fs.SetReadOnlyMedium(kUninstall); }, "Zelvane",
         loadError("71\r\nDisk is write-protected"), "Oops!", kOops},
        {"#game=2\r\n", [](World& w) {
             w.fs.AddFile("D:\\Elsewhere\\uninstall_data.ini", "#game=2\r\n");
             w.fs.ReplaceWithLink(kUninstall, "D:\\Elsewhere");  // the working copy would land outside
         }, "Zelvane", "uninstall_data20A.ini was not written: the uninstall folder or that file leads outside the "
         "program folder through a link.\r\nRemove the link and start the program again.", "Aborting", kStop},
        {"#game=2\r\n", [&](World& w) {
             document(w);
             w.show = [](const std::string&) -> bool { throw ProgramError(7, "Out of memory"); };
         }, "Zelvane", loadError("7\r\nOut of memory"), "Oops!", kOops},
        {"#game=2\r\n", [](World& w) { w.fs.AddSpecialFile(kDocument); }, versioned,
         "The uninstall_info.rtf file is not a regular file (a pipe, a socket or a device), so it is not shown.",
         "Error", kOops},
        {"#game=2\r\n", [](World& w) { w.fs.AddSparseFile(kDocument, "{\\rtf1 ", kDocumentLimit + 1); }, versioned,
         "The uninstall_info.rtf file is larger than 4 MiB, so it is not shown.", "Error", kOops},
    };
    // clang-format on
    for (const MessageCase& c : cases) {
        World w(c.description);
        if (c.setup) c.setup(w);
        const StartupOutcome outcome = w.Start();
        const bool shownWithout = c.title == "Error";
        EXPECT_EQ(outcome.state, shownWithout ? StartupState::NormalWithoutDocument : StartupState::IniError) << c.text;
        EXPECT_EQ(outcome.caption, c.caption) << c.text;
        ASSERT_EQ(w.ui.messages.size(), 1u) << c.text;
        EXPECT_EQ(w.ui.messages[0].text, c.text);
        EXPECT_EQ(w.ui.messages[0].title, c.title) << c.text;
        EXPECT_EQ(w.ui.messages[0].style, c.style) << c.text;
        EXPECT_TRUE(w.shown.empty()) << c.text;
        // A description refused for its kind or size is never copied: a pipe would keep start-up
        // waiting, a device or a huge file reading without end.
        EXPECT_TRUE(c.description || w.fs.CallCount(FsOp::Copy) == 0u) << c.text;
        // No defaults in the INI-error state.
        EXPECT_EQ(outcome.description.ConfirmTitle, shownWithout ? "Confirm Remove Mod" : "") << c.text;
    }
}

TEST(Startup, ANormalStartShowsTheDocumentAndAppliesTheDefaults) {
    World w("#game=1\r\n#confirm_message_format_width=400\r\n");
    w.fs.AddFile(kDocument, "{\\rtf1 info}");
    const StartupOutcome outcome = w.Start();
    EXPECT_EQ(outcome.state, StartupState::Normal);
    EXPECT_EQ(w.shown, std::vector<std::string>{kDocument});
    EXPECT_EQ(outcome.caption, "Zelvane - Version: 1.0.151");
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.fs.Contents(kDescription), "#game=1\r\n#confirm_message_format_width=400\r\n");
    const UninstallDescription& d = outcome.description;
    EXPECT_EQ(d.Game, 1);
    EXPECT_EQ(d.DefaultFormatWidth, 7500);
    EXPECT_EQ(d.ConfirmTitle, "Confirm Remove Mod");
    EXPECT_STREQ(d.ConfirmMessage.c_str(), kBuiltInConfirmMessage);
    EXPECT_EQ(d.ConfirmFormatWidth, 4500);  // the width goes with the built-in text
    EXPECT_EQ(d.ExplicitTitle, "VERY IMPORTANT!!!");

    World small("#confirm_message_title=x\r\n");
    small.ui.twipsPerPixel = 12;
    EXPECT_EQ(small.Start().description.DefaultFormatWidth, 6000);

    // Given values are kept, and a working copy left from before is replaced.
    World given(
        "#window_caption=Robes\r\n#default_format_width=450\r\n#confirm_message_title=Sure?\r\n"
        "#confirm_message_format_width=400\r\n#confirm_message_begin#\r\nOwn\r\n#confirm_message_end#\r\n");
    given.fs.AddFile(kWorkingCopy, "#confirm_message_begin#\r\nstale\r\n#confirm_message_end#\r\n");
    const StartupOutcome kept = given.Start();
    EXPECT_EQ(kept.state, StartupState::NormalWithoutDocument);
    EXPECT_EQ(kept.caption, "Robes");
    EXPECT_EQ(kept.description.DefaultFormatWidth, 6750);
    EXPECT_EQ(kept.description.ConfirmTitle, "Sure?");
    EXPECT_EQ(kept.description.ConfirmMessage, "Own");
    EXPECT_EQ(kept.description.ConfirmFormatWidth, 6000);
}

TEST(Startup, EndsQuietlyForASecondInstanceAFailedDisplayOrAnUndeletableCopy) {
    World second("#game=2\r\n");
    second.instance.running = true;
    EXPECT_EQ(second.Start().state, StartupState::Ended);
    EXPECT_EQ(second.fs.MutationCount(), 0u);
    EXPECT_EQ(second.fs.CallCount(FsOp::ReadAll), 0u);

    World failed("#game=2\r\n");
    failed.fs.AddFile(kDocument, "{\\rtf1 }");
    failed.show = [](const std::string&) { return false; };
    EXPECT_EQ(failed.Start().state, StartupState::Ended);

    World locked("#game=2\r\n");
    locked.fs.FailOperation(FsOp::Delete, "20A", FsStatus::SharingViolation);
    StartupContext context{locked.fs, locked.ui, locked.instance, kProgram, nullptr};
    EXPECT_EQ(RunStartup(context).state, StartupState::NormalWithoutDocument);
    for (const World* w : {&second, &failed, &locked}) EXPECT_TRUE(w->ui.messages.empty());

    World readOnly("#game=2\r\n");  // a read-only copy from before is reported, then cleared and deleted
    readOnly.fs.AddFile(kWorkingCopy, "old", Attributes{.readOnly = true});
    EXPECT_EQ(readOnly.Start().state, StartupState::IniError);
    ASSERT_EQ(readOnly.ui.messages.size(), 1u);
    EXPECT_EQ(readOnly.ui.messages[0].title, "Oops!");
}

}  // namespace
}  // namespace zelvane::testing
