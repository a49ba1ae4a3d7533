#include "app/startup.hpp"

#include <gtest/gtest.h>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/program_error.hpp"

namespace zelvane::testing {
namespace {

class FakeInstance : public InstanceCheck {
public:
    bool running = false;
    bool AnotherInstanceRunning() override { return running; }
};

class StartupTest : public ::testing::Test {
protected:
    const std::string program = "C:\\Mods\\Robes";
    const std::string uninstall = program + "\\uninstall";
    const std::string descriptionPath = uninstall + "\\uninstall_data.ini";
    const std::string workingCopyPath = uninstall + "\\uninstall_data20A.ini";
    const std::string documentPath = uninstall + "\\uninstall_info.rtf";
    MemoryFileSystem fs;
    ScriptedUi ui;
    FakeInstance instance;
    std::vector<std::string> shown;
    bool showResult = true;

    StartupOutcome Start() {
        StartupContext context{fs, ui, instance, program, [this](const std::string& path) {
                                   shown.push_back(path);
                                   return showResult;
                               }};
        StartupOutcome outcome = RunStartup(context);
        EXPECT_FALSE(fs.Exists(workingCopyPath)) << "the working copy was left behind";
        return outcome;
    }
    void Describe(std::string_view text) { fs.AddFile(descriptionPath, text); }
    void AddDocument() { fs.AddFile(documentPath, "{\\rtf1 info}"); }
};

const char* kOopsTitle = "Oops!";

const char* kWorkingCopyRefused =
    "uninstall_data20A.ini was not written: the uninstall folder or that file leads outside the program folder "
    "through a link.\r\nRemove the link and start the program again.";

// A mod archive with uninstall\uninstall_data20A.ini linked to a file of the player: start-up
// would overwrite that file with the description and then delete it.
TEST_F(StartupTest, AWorkingCopyLinkedOutsideIsNeitherWrittenNorDeleted) {
    for (const char* target : {"D:\\Home\\.bashrc", "D:\\Home\\missing.txt"}) {  // to a file, and dangling
        MemoryFileSystem disk;
        ScriptedUi seen;
        disk.AddFile(descriptionPath, "#game=1\r\n");
        disk.AddFile("D:\\Home\\.bashrc", "the player's start-up file");
        disk.AddLink(workingCopyPath, target);
        const auto before = disk.Snapshot();
        StartupContext context{disk, seen, instance, program, [](const std::string&) { return true; }};
        const StartupOutcome outcome = RunStartup(context);
        EXPECT_EQ(outcome.state, StartupState::IniError) << target;
        EXPECT_EQ(disk.Snapshot(), before) << target;
        EXPECT_FALSE(disk.Exists("D:\\Home\\missing.txt"));
        ASSERT_EQ(seen.messages.size(), 1u) << target;
        EXPECT_EQ(seen.messages[0].text, kWorkingCopyRefused);
        EXPECT_EQ(seen.messages[0].title, "Aborting");
        EXPECT_EQ(seen.messages[0].style, kMbIconExclamation | kMbSystemModal);
        EXPECT_EQ(disk.Roots(), std::vector<std::string>{program});
    }
}

TEST_F(StartupTest, AnUninstallFolderLinkedOutsideReceivesNoWorkingCopy) {
    Describe("#game=1\r\n");
    fs.AddFolder("D:\\Elsewhere");
    ASSERT_EQ(fs.Rename(uninstall, program + "\\real"), FsStatus::Ok);
    fs.AddLink(uninstall, program + "\\real");  // inside: fine
    const StartupOutcome inside = Start();
    EXPECT_EQ(inside.state, StartupState::NormalWithoutDocument);
    EXPECT_TRUE(ui.messages.empty());

    fs.ReplaceWithLink(uninstall, "D:\\Elsewhere");
    fs.AddFile("D:\\Elsewhere\\uninstall_data.ini", "#game=1\r\n");
    const StartupOutcome outside = Start();
    EXPECT_EQ(outside.state, StartupState::IniError);
    EXPECT_FALSE(fs.Exists("D:\\Elsewhere\\uninstall_data20A.ini"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kWorkingCopyRefused);
}

TEST_F(StartupTest, NormalWithDocument) {
    Describe("#game=1\r\n");
    AddDocument();
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::Normal);
    EXPECT_EQ(shown, std::vector<std::string>{documentPath});
    EXPECT_EQ(outcome.documentPath, documentPath);
    EXPECT_TRUE(outcome.documentPresent);
    EXPECT_EQ(outcome.caption, "Zelvane - Version: 1.0.151");
    EXPECT_EQ(outcome.description.DescriptionPath, descriptionPath);
    EXPECT_EQ(outcome.description.Game, 1);
    EXPECT_TRUE(ui.messages.empty());
    // The description itself is untouched.
    EXPECT_EQ(fs.Contents(descriptionPath), "#game=1\r\n");
}

TEST_F(StartupTest, DefaultsOfANormalStart) {
    Describe("#confirm_message_format_width=400\r\n");
    const StartupOutcome outcome = Start();
    const UninstallDescription& d = outcome.description;
    EXPECT_EQ(d.DefaultFormatWidth, 7500);
    EXPECT_EQ(d.ConfirmTitle, "Confirm Remove Mod");
    EXPECT_STREQ(d.ConfirmMessage.c_str(), kBuiltInConfirmMessage);
    EXPECT_EQ(d.ConfirmFormatWidth, 4500);  // replaced with the built-in text
    EXPECT_EQ(d.ExplicitIcon, 1);
    EXPECT_EQ(d.ExplicitTitle, "VERY IMPORTANT!!!");
    EXPECT_FALSE(d.HasExplicitInstructions);
}

TEST_F(StartupTest, DefaultsFollowTheScreen) {
    ui.twipsPerPixel = 12;
    Describe("#confirm_message_title=x\r\n#explicit_instructions_icon=2\r\n");
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.description.DefaultFormatWidth, 6000);
    EXPECT_EQ(outcome.description.ConfirmFormatWidth, 3600);
    EXPECT_EQ(outcome.description.ConfirmTitle, "x");
    EXPECT_EQ(outcome.description.ExplicitIcon, 2);
}

TEST_F(StartupTest, GivenValuesAreKept) {
    Describe(
        "#window_caption=Robes Remover\r\n"
        "#default_format_width=450\r\n"
        "#confirm_message_title=Sure?\r\n"
        "#confirm_message_format_width=400\r\n"
        "#confirm_message_begin#\r\n"
        "Own text\r\n"
        "#confirm_message_end#\r\n"
        "#explicit_instructions_title=Read me\r\n");
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    EXPECT_EQ(outcome.caption, "Robes Remover");
    EXPECT_EQ(outcome.description.DefaultFormatWidth, 6750);
    EXPECT_EQ(outcome.description.ConfirmTitle, "Sure?");
    EXPECT_EQ(outcome.description.ConfirmMessage, "Own text");
    EXPECT_EQ(outcome.description.ConfirmFormatWidth, 6000);
    EXPECT_EQ(outcome.description.ExplicitTitle, "Read me");
}

TEST_F(StartupTest, NormalWithoutDocument) {
    Describe("#game=2\r\n");
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    EXPECT_FALSE(outcome.documentPresent);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartupTest, AnotherInstanceEndsSilently) {
    instance.running = true;
    Describe("#game=2\r\n");
    AddDocument();
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::Ended);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(fs.MutationCount(), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::ReadAll), 0u);
}

TEST_F(StartupTest, DisplayThatCannotBeCreatedEndsAndRemovesTheWorkingCopy) {
    Describe("#game=2\r\n");
    AddDocument();
    showResult = false;
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::Ended);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(StartupTest, MissingDescription) {
    AddDocument();
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    EXPECT_EQ(outcome.caption, "Zelvane");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The uninstall_data.ini file was not found.\r\nCannot continue without it.");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, kMbIconExclamation | kMbSystemModal);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(outcome.documentPresent);
}

TEST_F(StartupTest, MissingUninstallFolder) {
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(fs.MutationCount(), 0u);
}

TEST_F(StartupTest, DescriptionThatIsAFolderIsMissing) {
    fs.AddFolder(descriptionPath);
    EXPECT_EQ(Start().state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Aborting");
}

// A description that is a pipe or a device, or far larger than any description, is refused
// before anything is copied or read: a pipe would keep start-up waiting, a device or a huge file
// reading without end.
TEST_F(StartupTest, ADescriptionThatIsNoRegularFileOrTooLargeIsRefused) {
    fs.AddSpecialFile(descriptionPath);
    EXPECT_EQ(Start().state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The uninstall_data.ini file is not a regular file (a pipe, a socket or a device).\r\n"
              "Cannot continue without it.");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, kMbIconExclamation | kMbSystemModal);

    ui.messages.clear();
    fs.AddSparseFile(descriptionPath, "#game=2\r\n", kDescriptionLimit + 1);
    EXPECT_EQ(Start().state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The uninstall_data.ini file is larger than 4 MiB.\r\nCannot continue without it.");
    EXPECT_EQ(fs.CallCount(FsOp::Copy), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::ReadAll), 0u);
}

// An information document that cannot be shown is left out, with a word why: the rest of start-up
// goes on, and the window looks as without one.
TEST_F(StartupTest, ADocumentThatIsNoRegularFileOrTooLargeIsNotShown) {
    Describe("#game=2\r\n");
    fs.AddSpecialFile(documentPath);
    StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    EXPECT_FALSE(outcome.documentPresent);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The uninstall_info.rtf file is not a regular file (a pipe, a socket or a device), so it is not shown.");
    EXPECT_EQ(ui.messages[0].title, "Error");
    EXPECT_EQ(ui.messages[0].style, kMbOk | kMbIconExclamation);

    ui.messages.clear();
    fs.AddSparseFile(documentPath, "{\\rtf1 ", kDocumentLimit + 1);
    outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The uninstall_info.rtf file is larger than 4 MiB, so it is not shown.");
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartupTest, LoaderAbortShowsItsText) {
    Describe("#window_caption=Half Read\r\n#qdelete_file_3=override\\a.uti\r\n");
    AddDocument();
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    EXPECT_EQ(outcome.caption, "Half Read");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "#qdelete_file_begin_3# and #qdelete_file_end_3# are improperly set.");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, kMbIconInformation | kMbSystemModal);
    EXPECT_TRUE(shown.empty());
    // No defaults in the INI-error state.
    EXPECT_EQ(outcome.description.ConfirmTitle, "");
    EXPECT_EQ(outcome.description.DefaultFormatWidth, 0);
}

TEST_F(StartupTest, Missing2daListAborts) {
    Describe("#qrestore_2da=true\r\n");
    Start();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Restore 2da files is enabled but no 2da file list was found in the ini.");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, kMbIconInformation | kMbSystemModal);
}

TEST_F(StartupTest, ConversionFailureIsReportedFromFormLoad) {
    Describe("#game=abc\r\n");
    AddDocument();
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    EXPECT_EQ(outcome.caption, "Zelvane");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 13\r\nType mismatch\r\n\r\nLOCATION:\r\nForm Load");
    EXPECT_EQ(ui.messages[0].title, kOopsTitle);
    EXPECT_TRUE(ui.messages[0].style & kMbIconExclamation);
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartupTest, BlockFailureIsReportedFromFormLoad) {
    Describe("#window_caption=Mine\r\n#confirm_message_begin#\r\n#confirm_message_end#\r\n");
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    EXPECT_EQ(outcome.caption, "Mine");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 5\r\nInvalid procedure call or argument\r\n\r\nLOCATION:\r\nForm Load");
}

TEST_F(StartupTest, WidthBeforeEntryIsReportedFromFormLoad) {
    Describe("#qrestore_file_format_width_0=300\r\n");
    Start();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 9\r\nSubscript out of range\r\n\r\nLOCATION:\r\nForm Load");
}

TEST_F(StartupTest, WorkingCopyThatCannotBeWritten) {
    Describe("#game=2\r\n");
    fs.SetReadOnlyMedium(uninstall);
    const StartupOutcome outcome = Start();
    EXPECT_EQ(outcome.state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 71\r\nDisk is write-protected\r\n\r\nLOCATION:\r\nForm Load");
    EXPECT_EQ(ui.messages[0].title, kOopsTitle);
}

TEST_F(StartupTest, AnOldWorkingCopyIsReplacedAndRemoved) {
    Describe("#confirm_message_begin#\r\nnew\r\n#confirm_message_end#\r\n");
    fs.AddFile(workingCopyPath, "#confirm_message_begin#\r\nstale\r\n#confirm_message_end#\r\n");
    EXPECT_EQ(Start().description.ConfirmMessage, "new");
}

TEST_F(StartupTest, ReadOnlyWorkingCopyLeftFromBeforeIsReported) {
    Describe("#game=2\r\n");
    fs.AddFile(workingCopyPath, "old", Attributes{.readOnly = true});
    StartupContext context{fs, ui, instance, program, nullptr};
    const StartupOutcome outcome = RunStartup(context);
    EXPECT_EQ(outcome.state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, kOopsTitle);
    // The INI-error state clears its attributes and deletes it.
    EXPECT_FALSE(fs.Exists(workingCopyPath));
}

TEST_F(StartupTest, FailingToDeleteTheWorkingCopyIsSilent) {
    Describe("#game=2\r\n");
    fs.FailOperation(FsOp::Delete, "20A", FsStatus::SharingViolation);
    StartupContext context{fs, ui, instance, program, nullptr};
    const StartupOutcome outcome = RunStartup(context);
    EXPECT_EQ(outcome.state, StartupState::NormalWithoutDocument);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartupTest, ExceptionsFromTheDisplayDoNotEscape) {
    Describe("#game=2\r\n");
    AddDocument();
    StartupContext context{fs, ui, instance, program,
                           [](const std::string&) -> bool { throw ProgramError(7, "Out of memory"); }};
    StartupOutcome outcome;
    EXPECT_NO_THROW(outcome = RunStartup(context));
    EXPECT_EQ(outcome.state, StartupState::IniError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 7\r\nOut of memory\r\n\r\nLOCATION:\r\nForm Load");
    EXPECT_FALSE(fs.Exists(workingCopyPath));
}

TEST_F(StartupTest, BinaryGarbageEndsInAState) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    Describe(garbage);
    const StartupOutcome outcome = Start();
    EXPECT_NE(outcome.state, StartupState::Ended);
}

}  // namespace
}  // namespace zelvane::testing
