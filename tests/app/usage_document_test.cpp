#include "app/usage_document.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "tests/support/scripted_ui.hpp"

namespace zelvane::testing {
namespace {

const std::string kVersionLine = "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 1.0.151\\cf0\\par";

std::vector<std::string> CrLfSplit(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

TEST(UsageGuide, IsAnAnsiRtfDocumentWithCrLfLines) {
    const std::string guide(UsageGuide());
    ASSERT_FALSE(guide.empty());
    EXPECT_EQ(guide.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    for (std::size_t i = 0; i < guide.size(); ++i) {
        const auto c = static_cast<unsigned char>(guide[i]);
        ASSERT_LT(c, 0x80u) << "non-ASCII byte at " << i;
        if (c == '\r') {
            ASSERT_EQ(guide[i + 1], '\n') << "bare CR at " << i;
        }
        if (c == '\n') {
            ASSERT_EQ(guide[i - 1], '\r') << "bare LF at " << i;
        }
    }
    const std::vector<std::string> lines = CrLfSplit(guide);
    ASSERT_GT(lines.size(), 20u);
    // The colour table: \cf1 magenta, \cf2 black.
    EXPECT_NE(guide.find("{\\colortbl ;\\red255\\green0\\blue255;\\red0\\green0\\blue0;"), std::string::npos);
    // The title block is the first 10 lines.
    EXPECT_NE(lines[2].find("Zelvane"), std::string::npos);
    EXPECT_NE(lines[4].find("Basic Usage For Modders"), std::string::npos);
    EXPECT_EQ(lines.back(), "}");
    // Authors are told of the check before they ship, on Windows and on Linux.
    EXPECT_NE(guide.find("open a command prompt in that folder (type cmd in the address bar of its window and press "
                         "Enter) and run \\f1 zelvane-console.exe --check\\f0 ."),
              std::string::npos);
    EXPECT_NE(guide.find("run \\f1 zelvane-console --check --program-folder DIR\\f0"), std::string::npos);
    int depth = 0;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        if (guide[i] == '\\') {
            ++i;
            continue;
        }
        if (guide[i] == '{') ++depth;
        if (guide[i] == '}') --depth;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(UsageGuide, ExplainsEveryKey) {
    const std::string guide(UsageGuide());
    for (const char* word : {"uninstall_data.ini",
                             "uninstall_info.rtf",
                             "#file_list",
                             "#qdelete_file_0=",
                             "#qdelete_file_begin_0#",
                             "#qdelete_file_end_0#",
                             "#qdelete_file_format_width_0=",
                             "#qrestore_file_0=",
                             "#qrestore_file_begin_0#",
                             "#qrestore_file_end_0#",
                             "#qrestore_file_format_width_0=",
                             ".original",
                             "#qrestore_2da=",
                             "#qrestore_2da_files=",
                             "backup",
                             "Backup Uninstall",
                             "#confirm_message_begin#",
                             "#confirm_message_end#",
                             "#confirm_message_title=",
                             "#confirm_message_format_width=",
                             "#confirm_message_beep=",
                             "#explicit_instructions_begin#",
                             "#explicit_instructions_end#",
                             "#explicit_instructions_title=",
                             "#explicit_instructions_icon=",
                             "#explicit_instructions_format_width=",
                             "#explicit_instructions_beep=",
                             "#default_format_width=",
                             "#game=",
                             "#game_select=",
                             "#window_caption="}) {
        EXPECT_NE(guide.find(word), std::string::npos) << word;
    }
}

TEST(StampedUsageGuide, InsertsTheVersionAfterTheTenthLine) {
    const std::string guide(UsageGuide());
    const std::vector<std::string> original = CrLfSplit(guide);
    const std::vector<std::string> stamped = CrLfSplit(StampedUsageGuide(guide));
    ASSERT_EQ(stamped.size(), original.size() + 1);
    EXPECT_EQ(stamped[10], kVersionLine);
    for (std::size_t i = 0; i < original.size(); ++i) {
        EXPECT_EQ(stamped[i < 10 ? i : i + 1], original[i]);
    }
}

TEST(StampedUsageGuide, ReEmitsEveryLineWithCrLf) {
    std::string text;
    for (int i = 1; i <= 12; ++i) text += "l" + std::to_string(i) + (i % 2 ? "\r" : "\r\n");
    text += "tail";
    std::string expected;
    for (int i = 1; i <= 12; ++i) {
        expected += "l" + std::to_string(i) + "\r\n";
        if (i == 10) expected += kVersionLine + "\r\n";
    }
    expected += "tail\r\n";
    EXPECT_EQ(StampedUsageGuide(text), expected);
    // A lone LF stays inside its line.
    EXPECT_EQ(StampedUsageGuide("a\nb\r\n"), "a\nb\r\n");
    EXPECT_EQ(StampedUsageGuide(""), "");
}

class UsageDocumentTest : public ::testing::Test {
protected:
    const std::string program = "C:\\Mods\\Robes";
    const std::string documentPath = program + "\\uninstall\\Zelvane Usage.rtf";
    MemoryFileSystem fs;
    ScriptedUi ui;
};

TEST_F(UsageDocumentTest, TwoClicksGiveTheSameDocument) {
    fs.AddFolder(program + "\\uninstall");
    ASSERT_TRUE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    const auto first = fs.Contents(documentPath);
    ASSERT_TRUE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    const auto second = fs.Contents(documentPath);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
    EXPECT_EQ(*first, StampedUsageGuide(UsageGuide()));
    EXPECT_EQ(CrLfSplit(*first)[10], kVersionLine);
    std::size_t count = 0;
    for (std::size_t p = 0; (p = first->find("This was made with version:", p)) != std::string::npos; ++p) ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{documentPath, documentPath}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UsageDocumentTest, CreatesAMissingUninstallFolder) {
    fs.AddFolder(program);
    ASSERT_TRUE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    EXPECT_TRUE(fs.AttributesOf(program + "\\uninstall")->directory);
    EXPECT_TRUE(fs.Exists(documentPath));
}

TEST_F(UsageDocumentTest, ReplacesAnOlderDocument) {
    fs.AddFile(documentPath, "an older, much longer document that must not leave anything behind\r\n");
    ASSERT_TRUE(WriteUsageDocument(fs, ui, program, "{\\rtf1\r\n}\r\n"));
    EXPECT_EQ(fs.Contents(documentPath), "{\\rtf1\r\n}\r\n");
}

TEST_F(UsageDocumentTest, ReadOnlyMediumIsReported) {
    fs.AddFolder(program + "\\uninstall");
    fs.SetReadOnlyMedium(program);
    EXPECT_FALSE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 71\r\nDisk is write-protected\r\n\r\nLOCATION:\r\ncmdINI_Click");
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_TRUE(ui.shellOpened.empty());
}

TEST_F(UsageDocumentTest, FolderThatCannotBeCreatedIsReported) {
    fs.AddFolder(program);
    fs.SetReadOnlyMedium(program);
    EXPECT_FALSE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("cmdINI_Click"), std::string::npos);
}

TEST_F(UsageDocumentTest, UnreadableDocumentIsReported) {
    fs.AddFolder(program + "\\uninstall");
    fs.FailOperation(FsOp::ReadAll, "Zelvane Usage", FsStatus::SharingViolation);
    EXPECT_FALSE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 70\r\nPermission denied\r\n\r\nLOCATION:\r\ncmdINI_Click");
}

const char* kUsageRefused =
    "Zelvane Usage.rtf was not written: the uninstall folder or that file leads outside the program folder through "
    "a link.\r\nRemove the link and try again.";

// A mod archive can carry a link in the program folder: the document is then never written
// through it, and the player's file it leads to stays as it was.
TEST_F(UsageDocumentTest, ADocumentLinkedOutsideIsNotWritten) {
    fs.AddFile("D:\\Home\\.profile", "the player's start-up file", Attributes{.readOnly = true});
    fs.AddLink(documentPath, "D:\\Home\\.profile");
    const auto before = fs.Snapshot();
    EXPECT_FALSE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_FALSE(fs.AttributesOf("D:\\Home\\.profile")->archive);
    EXPECT_TRUE(fs.AttributesOf("D:\\Home\\.profile")->readOnly);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kUsageRefused);
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, kMbOk | kMbIconExclamation);
    EXPECT_TRUE(ui.shellOpened.empty());
    // The roots the file system had before come back.
    EXPECT_TRUE(fs.Roots().empty());
}

TEST_F(UsageDocumentTest, AnUninstallFolderLinkedOutsideReceivesNothing) {
    fs.AddFolder(program);
    fs.AddLink(program + "\\uninstall", "D:\\Home\\gone");  // dangling: the folder would be made there
    fs.SetRoots({program, "C:\\Games\\Kotor"});
    EXPECT_FALSE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    EXPECT_FALSE(fs.Exists("D:\\Home\\gone"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kUsageRefused);
    EXPECT_EQ(fs.Roots(), (std::vector<std::string>{program, "C:\\Games\\Kotor"}));
}

TEST_F(UsageDocumentTest, NoAssociatedProgramIsShownButTheDocumentStays) {
    fs.AddFolder(program + "\\uninstall");
    ui.shellResult = 31;
    EXPECT_TRUE(WriteUsageDocument(fs, ui, program, UsageGuide()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Error running " + documentPath);
    EXPECT_EQ(ui.messages[0].text,
              "Public Function ShellExecuteFile - Mod Tarrel\r\n"
              "There is no application associated with the given filename extension.");
    EXPECT_TRUE(fs.Exists(documentPath));
}

}  // namespace
}  // namespace zelvane::testing
