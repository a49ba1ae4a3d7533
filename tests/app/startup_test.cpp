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

const std::string kWorkingCopyRefused =
    "uninstall_data20A.ini was not written: the uninstall folder or that file leads outside the program folder "
    "through a link.\r\nRemove the link and start the program again.";

struct MessageCase {
    const char* name;
    std::function<void(World&)> setup;
    StartupState state;
    std::string caption;
    std::string text;
    std::string title;
    std::uint32_t style;
};

void Describe(World& w, std::string_view text) { w.fs.AddFile(kDescription, text); }

// Every start that shows one message: the message, the state it leaves and the window's caption.
TEST(Startup, EachFaultShowsItsMessageAndState) {
    const std::string notFound = "The uninstall_data.ini file was not found.\r\nCannot continue without it.";
    const std::vector<MessageCase> cases = {
        {"no description", [](World& w) { w.fs.AddFile(kDocument, "{\\rtf1 }"); }, StartupState::IniError, "Zelvane",
         notFound, "Aborting", kStop},
        {"description is a folder", [](World& w) { w.fs.AddFolder(kDescription); }, StartupState::IniError, "Zelvane",
         notFound, "Aborting", kStop},
        {"description is a pipe", [](World& w) { w.fs.AddSpecialFile(kDescription); }, StartupState::IniError,
         "Zelvane",
         "The uninstall_data.ini file is not a regular file (a pipe, a socket or a device).\r\nCannot continue "
         "without it.",
         "Aborting", kStop},
        {"description too large",
         [](World& w) { w.fs.AddSparseFile(kDescription, "#game=2\r\n", kDescriptionLimit + 1); },
         StartupState::IniError, "Zelvane",
         "The uninstall_data.ini file is larger than 4 MiB.\r\nCannot continue without it.", "Aborting", kStop},
        {"loader abort",
         [](World& w) { Describe(w, "#window_caption=Half Read\r\n#qdelete_file_3=override\\a.uti\r\n"); },
         StartupState::IniError, "Half Read", "#qdelete_file_begin_3# and #qdelete_file_end_3# are improperly set.",
         "Aborting", kLoaderStop},
        {"2da list missing", [](World& w) { Describe(w, "#qrestore_2da=true\r\n"); }, StartupState::IniError, "Zelvane",
         "Restore 2da files is enabled but no 2da file list was found in the ini.", "Aborting", kLoaderStop},
        {"conversion", [](World& w) { Describe(w, "#game=abc\r\n"); }, StartupState::IniError, "Zelvane",
         "Error: 13\r\nType mismatch\r\n\r\nLOCATION:\r\nForm Load", "Oops!", kOops},
        {"block",
         [](World& w) { Describe(w, "#window_caption=Mine\r\n#confirm_message_begin#\r\n#confirm_message_end#\r\n"); },
         StartupState::IniError, "Mine", "Error: 5\r\nInvalid procedure call or argument\r\n\r\nLOCATION:\r\nForm Load",
         "Oops!", kOops},
        {"width before entry", [](World& w) { Describe(w, "#qrestore_file_format_width_0=300\r\n"); },
         StartupState::IniError, "Zelvane", "Error: 9\r\nSubscript out of range\r\n\r\nLOCATION:\r\nForm Load", "Oops!",
         kOops},
        {"read-only medium",
         [](World& w) {
             Describe(w, "#game=2\r\n");
             w.fs.SetReadOnlyMedium(kUninstall);
         },
         StartupState::IniError, "Zelvane", "Error: 71\r\nDisk is write-protected\r\n\r\nLOCATION:\r\nForm Load",
         "Oops!", kOops},
        {"display throws",
         [](World& w) {
             Describe(w, "#game=2\r\n");
             w.fs.AddFile(kDocument, "{\\rtf1 }");
             w.show = [](const std::string&) -> bool { throw ProgramError(7, "Out of memory"); };
         },
         StartupState::IniError, "Zelvane", "Error: 7\r\nOut of memory\r\n\r\nLOCATION:\r\nForm Load", "Oops!", kOops},
        // An information document that cannot be shown is left out, and start-up goes on.
        {"document is a pipe",
         [](World& w) {
             Describe(w, "#game=2\r\n");
             w.fs.AddSpecialFile(kDocument);
         },
         StartupState::NormalWithoutDocument, "Zelvane - Version: 1.0.151",
         "The uninstall_info.rtf file is not a regular file (a pipe, a socket or a device), so it is not shown.",
         "Error", kMbOk | kMbIconExclamation},
        {"document too large",
         [](World& w) {
             Describe(w, "#game=2\r\n");
             w.fs.AddSparseFile(kDocument, "{\\rtf1 ", kDocumentLimit + 1);
         },
         StartupState::NormalWithoutDocument, "Zelvane - Version: 1.0.151",
         "The uninstall_info.rtf file is larger than 4 MiB, so it is not shown.", "Error", kMbOk | kMbIconExclamation},
    };
    for (const MessageCase& c : cases) {
        World w;
        c.setup(w);
        const StartupOutcome outcome = w.Start();
        EXPECT_EQ(outcome.state, c.state) << c.name;
        EXPECT_EQ(outcome.caption, c.caption) << c.name;
        ASSERT_EQ(w.ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(w.ui.messages[0].text, c.text) << c.name;
        EXPECT_EQ(w.ui.messages[0].title, c.title) << c.name;
        EXPECT_EQ(w.ui.messages[0].style, c.style) << c.name;
        EXPECT_TRUE(w.shown.empty()) << c.name;
        if (c.state == StartupState::IniError) {
            // No defaults in the INI-error state.
            EXPECT_EQ(outcome.description.ConfirmTitle, "") << c.name;
        }
    }
}

// A description refused for its kind or size is neither copied nor read: a pipe would keep
// start-up waiting, a device or a huge file reading without end.
TEST(Startup, ARefusedDescriptionIsNeverRead) {
    World w;
    w.fs.AddSparseFile(kDescription, "#game=2\r\n", kDescriptionLimit + 1);
    w.Start();
    EXPECT_EQ(w.fs.CallCount(FsOp::Copy), 0u);
    EXPECT_EQ(w.fs.CallCount(FsOp::ReadAll), 0u);
}

TEST(Startup, ANormalStartShowsTheDocumentAndAppliesTheDefaults) {
    World w;
    Describe(w, "#game=1\r\n#confirm_message_format_width=400\r\n");
    w.fs.AddFile(kDocument, "{\\rtf1 info}");
    const StartupOutcome outcome = w.Start();
    EXPECT_EQ(outcome.state, StartupState::Normal);
    EXPECT_EQ(w.shown, std::vector<std::string>{kDocument});
    EXPECT_TRUE(outcome.documentPresent);
    EXPECT_EQ(outcome.caption, "Zelvane - Version: 1.0.151");
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.fs.Contents(kDescription), "#game=1\r\n#confirm_message_format_width=400\r\n");
    const UninstallDescription& d = outcome.description;
    EXPECT_EQ(d.Game, 1);
    EXPECT_EQ(d.DefaultFormatWidth, 7500);
    EXPECT_EQ(d.ConfirmTitle, "Confirm Remove Mod");
    EXPECT_STREQ(d.ConfirmMessage.c_str(), kBuiltInConfirmMessage);
    EXPECT_EQ(d.ConfirmFormatWidth, 4500);  // the width goes with the built-in text
    EXPECT_EQ(d.ExplicitIcon, 1);
    EXPECT_EQ(d.ExplicitTitle, "VERY IMPORTANT!!!");

    World small;
    small.ui.twipsPerPixel = 12;
    Describe(small, "#game=1\r\n");
    EXPECT_EQ(small.Start().description.DefaultFormatWidth, 6000);
}

TEST(Startup, GivenValuesAreKept) {
    World w;
    Describe(w,
             "#window_caption=Robes Remover\r\n#default_format_width=450\r\n#confirm_message_title=Sure?\r\n"
             "#confirm_message_format_width=400\r\n#confirm_message_begin#\r\nOwn text\r\n#confirm_message_end#\r\n"
             "#explicit_instructions_title=Read me\r\n");
    // A working copy left from before is replaced.
    w.fs.AddFile(kWorkingCopy, "#confirm_message_begin#\r\nstale\r\n#confirm_message_end#\r\n");
    const StartupOutcome outcome = w.Start();
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    EXPECT_FALSE(outcome.documentPresent);
    EXPECT_TRUE(w.shown.empty());
    EXPECT_EQ(outcome.caption, "Robes Remover");
    EXPECT_EQ(outcome.description.DefaultFormatWidth, 6750);
    EXPECT_EQ(outcome.description.ConfirmTitle, "Sure?");
    EXPECT_EQ(outcome.description.ConfirmMessage, "Own text");
    EXPECT_EQ(outcome.description.ConfirmFormatWidth, 6000);
    EXPECT_EQ(outcome.description.ExplicitTitle, "Read me");
}

TEST(Startup, AnotherInstanceOrAFailedDisplayEnds) {
    World second;
    second.instance.running = true;
    Describe(second, "#game=2\r\n");
    EXPECT_EQ(second.Start().state, StartupState::Ended);
    EXPECT_TRUE(second.ui.messages.empty());
    EXPECT_EQ(second.fs.MutationCount(), 0u);
    EXPECT_EQ(second.fs.CallCount(FsOp::ReadAll), 0u);

    World failed;
    Describe(failed, "#game=2\r\n");
    failed.fs.AddFile(kDocument, "{\\rtf1 }");
    failed.show = [](const std::string&) { return false; };
    EXPECT_EQ(failed.Start().state, StartupState::Ended);
}

TEST(Startup, TheWorkingCopyLeftOrUndeletable) {
    World readOnly;  // a read-only copy from before: reported, then cleared and deleted
    Describe(readOnly, "#game=2\r\n");
    readOnly.fs.AddFile(kWorkingCopy, "old", Attributes{.readOnly = true});
    EXPECT_EQ(readOnly.Start().state, StartupState::IniError);
    ASSERT_EQ(readOnly.ui.messages.size(), 1u);
    EXPECT_EQ(readOnly.ui.messages[0].title, "Oops!");

    World locked;  // failing to delete it is silent
    Describe(locked, "#game=2\r\n");
    locked.fs.FailOperation(FsOp::Delete, "20A", FsStatus::SharingViolation);
    StartupContext context{locked.fs, locked.ui, locked.instance, kProgram, nullptr};
    EXPECT_EQ(RunStartup(context).state, StartupState::NormalWithoutDocument);
    EXPECT_TRUE(locked.ui.messages.empty());
}

// A mod archive with the working copy linked to a file of the player: start-up would overwrite
// that file with the description and then delete it.
TEST(Startup, AWorkingCopyLinkedOutsideIsNeitherWrittenNorDeleted) {
    for (const char* target : {"D:\\Home\\.bashrc", "D:\\Home\\missing.txt"}) {  // to a file, and dangling
        World w;
        Describe(w, "#game=1\r\n");
        w.fs.AddFile("D:\\Home\\.bashrc", "the player's start-up file");
        w.fs.AddLink(kWorkingCopy, target);
        const auto before = w.fs.Snapshot();
        StartupContext context{w.fs, w.ui, w.instance, kProgram, w.show};
        EXPECT_EQ(RunStartup(context).state, StartupState::IniError) << target;
        EXPECT_EQ(w.fs.Snapshot(), before) << target;
        ASSERT_EQ(w.ui.messages.size(), 1u) << target;
        EXPECT_EQ(w.ui.messages[0].text, kWorkingCopyRefused);
        EXPECT_EQ(w.ui.messages[0].title, "Aborting");
        EXPECT_EQ(w.ui.messages[0].style, kStop);
        EXPECT_EQ(w.fs.Roots(), std::vector<std::string>{kProgram});
    }

    World w;  // an uninstall folder linked inside is fine, outside it receives nothing
    Describe(w, "#game=1\r\n");
    w.fs.AddFolder("D:\\Elsewhere");
    ASSERT_EQ(w.fs.Rename(kUninstall, kProgram + "\\real"), FsStatus::Ok);
    w.fs.AddLink(kUninstall, kProgram + "\\real");
    EXPECT_EQ(w.Start().state, StartupState::NormalWithoutDocument);
    w.fs.ReplaceWithLink(kUninstall, "D:\\Elsewhere");
    w.fs.AddFile("D:\\Elsewhere\\uninstall_data.ini", "#game=1\r\n");
    EXPECT_EQ(w.Start().state, StartupState::IniError);
    EXPECT_FALSE(w.fs.Exists("D:\\Elsewhere\\uninstall_data20A.ini"));
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].text, kWorkingCopyRefused);
}

}  // namespace
}  // namespace zelvane::testing
