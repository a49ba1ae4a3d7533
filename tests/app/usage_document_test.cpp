#include "app/usage_document.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "tests/support/scripted_ui.hpp"

namespace zelvane::testing {
namespace {

const std::string kVersionLine = "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 1.0.151\\cf0\\par";
const std::string kProgram = "C:\\Mods\\Robes";
const std::string kDocument = kProgram + "\\uninstall\\Zelvane Usage.rtf";

TEST(UsageGuide, IsAnAnsiRtfDocumentWithCrLfLines) {
    const std::string guide(UsageGuide());
    EXPECT_EQ(guide.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    int depth = 0;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        const auto c = static_cast<unsigned char>(guide[i]);
        ASSERT_LT(c, 0x80u) << "non-ASCII byte at " << i;
        ASSERT_TRUE(c != '\r' || guide[i + 1] == '\n') << "bare CR at " << i;
        ASSERT_TRUE(c != '\n' || guide[i - 1] == '\r') << "bare LF at " << i;
        if (c == '\\') ++i;
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_TRUE(guide.ends_with("\r\n}\r\n") || guide.ends_with("\r\n}"));
    // The colour table: \cf1 magenta, \cf2 black.
    EXPECT_NE(guide.find("{\\colortbl ;\\red255\\green0\\blue255;\\red0\\green0\\blue0;"), std::string::npos);
    // Authors are told of the check before they ship, on Windows and on Linux.
    EXPECT_NE(guide.find("open a command prompt in that folder (type cmd in the address bar of its window and press "
                         "Enter) and run \\f1 zelvane-console.exe --check\\f0 ."),
              std::string::npos);
    EXPECT_NE(guide.find("run \\f1 zelvane-console --check --program-folder DIR\\f0"), std::string::npos);
}

TEST(StampedUsageGuide, InsertsTheVersionAfterTheTenthLineAndEndsEveryLineWithCrLf) {
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
    EXPECT_EQ(StampedUsageGuide("a\nb\r\n"), "a\nb\r\n");  // a lone LF stays inside its line
    EXPECT_EQ(StampedUsageGuide(""), "");
}

TEST(UsageDocument, IsWrittenStampedAndOpenedEachTime) {
    MemoryFileSystem fs;
    ScriptedUi ui;
    fs.AddFolder(kProgram);  // the uninstall folder is made
    ASSERT_TRUE(WriteUsageDocument(fs, ui, kProgram, UsageGuide()));
    EXPECT_TRUE(fs.AttributesOf(kProgram + "\\uninstall")->directory);
    EXPECT_EQ(fs.Contents(kDocument), StampedUsageGuide(UsageGuide()));
    ASSERT_TRUE(WriteUsageDocument(fs, ui, kProgram, UsageGuide()));  // not stamped twice
    EXPECT_EQ(fs.Contents(kDocument), StampedUsageGuide(UsageGuide()));
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{kDocument, kDocument}));
    EXPECT_TRUE(ui.messages.empty());

    fs.AddFile(kDocument, "an older, much longer document that must not leave anything behind\r\n");
    ASSERT_TRUE(WriteUsageDocument(fs, ui, kProgram, "{\\rtf1\r\n}\r\n"));
    EXPECT_EQ(fs.Contents(kDocument), "{\\rtf1\r\n}\r\n");

    ui.shellResult = 31;  // no program for .rtf: said, and the document stays
    EXPECT_TRUE(WriteUsageDocument(fs, ui, kProgram, UsageGuide()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Error running " + kDocument);  // the text as ShellExecuteFile gives it
    EXPECT_TRUE(fs.Exists(kDocument));
}

// A document that cannot be written is reported and never opened. A mod archive can carry a link
// in the program folder: the document is then never written through it, and the player's file it
// leads to stays as it was.
TEST(UsageDocument, EachFailureIsReportedAndNothingOpened) {
    const std::string refused =
        "Zelvane Usage.rtf was not written: the uninstall folder or that file leads outside the program folder "
        "through a link.\r\nRemove the link and try again.";
    const std::string protectedDisk = "Error: 71\r\nDisk is write-protected\r\n\r\nLOCATION:\r\ncmdINI_Click";
    using Setup = std::function<void(MemoryFileSystem&)>;
    // clang-format off
    const std::vector<std::tuple<Setup, std::string, std::string>> failures = {
        {[](MemoryFileSystem& fs) { fs.AddFolder(kProgram + "\\uninstall"); fs.SetReadOnlyMedium(kProgram); },
         protectedDisk, "Oops!"},
        {[](MemoryFileSystem& fs) { fs.AddFolder(kProgram); fs.SetReadOnlyMedium(kProgram); }, protectedDisk, "Oops!"},
        {[](MemoryFileSystem& fs) {
             fs.AddFolder(kProgram + "\\uninstall");
             fs.FailOperation(FsOp::ReadAll, "Zelvane Usage", FsStatus::SharingViolation);
         }, "Error: 70\r\nPermission denied\r\n\r\nLOCATION:\r\ncmdINI_Click", "Oops!"},
        {[](MemoryFileSystem& fs) {
             fs.AddFile("D:\\Home\\.profile", "the player's start-up file", Attributes{.readOnly = true});
             fs.AddLink(kDocument, "D:\\Home\\.profile");
         }, refused, "Aborting"},
        {[](MemoryFileSystem& fs) {
             fs.AddFolder(kProgram);
             fs.AddLink(kProgram + "\\uninstall", "D:\\Home\\gone");  // dangling: the folder would be made there
             fs.SetRoots({kProgram, "C:\\Games\\Kotor"});
         }, refused, "Aborting"},
    };
    // clang-format on
    for (const auto& [setup, text, title] : failures) {
        MemoryFileSystem fs;
        ScriptedUi ui;
        setup(fs);
        const auto roots = fs.Roots();
        const auto before = fs.Snapshot();
        EXPECT_FALSE(WriteUsageDocument(fs, ui, kProgram, UsageGuide())) << text;
        ASSERT_EQ(ui.messages.size(), 1u) << text;
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].title, title) << text;
        EXPECT_EQ(ui.messages[0].style, kMbOk | kMbIconExclamation) << text;
        EXPECT_TRUE(ui.shellOpened.empty()) << text;
        EXPECT_EQ(fs.Roots(), roots) << text;  // the roots the file system had come back
        EXPECT_TRUE(title != "Aborting" || fs.Snapshot() == before) << text;
    }
}

}  // namespace
}  // namespace zelvane::testing
