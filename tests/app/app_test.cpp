#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/startup.hpp"
#include "app/usage_document.hpp"
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
const std::string kUsage = kUninstall + "\\Zelvane Usage.rtf";
const std::string kVersioned = "Zelvane - Version: 1.0.151";

// Each message shown, as "title/style: text".
std::string Messages(const ScriptedUi& ui) {
    std::string shown;
    for (const ShownMessage& m : ui.messages) shown += " " + m.title + "/" + std::to_string(m.style) + ": " + m.text;
    return shown;
}

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
    std::string shown;  // the documents shown
    std::function<bool(const std::string&)> show = [this](const std::string& path) {
        shown += " shown " + path;
        return true;
    };
    StartupOutcome outcome;

    // What the player saw: the state, the caption, the documents shown and each message; and a
    // working copy that stayed behind.
    std::string Start() {
        StartupContext context{fs, ui, instance, kProgram, show};
        outcome = RunStartup(context);
        const char* states[] = {"Normal", "NormalWithoutDocument", "IniError", "Ended"};
        return states[static_cast<int>(outcome.state)] + (" [" + outcome.caption + "]") + shown +
               (fs.Exists(kWorkingCopy) ? " (the working copy left)" : "") + Messages(ui);
    }
};

// Every start that meets a fault or ends early: its message and the window's caption. An information
// document that cannot be shown is left out and start-up goes on; every other message ends in the
// INI-error state, with no defaults applied.
TEST(Startup, EachFaultShowsItsMessageAndState) {
    const std::string cannot = "\r\nCannot continue without it.";
    const std::string stop = std::to_string(kMbIconExclamation | kMbSystemModal) + ": ";
    const std::string oops = std::to_string(kMbOk | kMbIconExclamation) + ": ";
    const auto loadError = [&](const std::string& error) {
        return "IniError [Zelvane] Oops!/" + oops + "Error: " + error + "\r\n\r\nLOCATION:\r\nForm Load";
    };
    const auto document = [](World& w) { w.fs.AddFile(kDocument, "{\\rtf1 }"); };
    const std::string without =
        "NormalWithoutDocument [" + kVersioned + "] Error/" + oops + "The uninstall_info.rtf file";
    const std::vector<std::tuple<const char*, std::function<void(World&)>, std::string>> cases = {
        {nullptr, [](World& w) { w.fs.AddFolder(kDescription); },
         "IniError [Zelvane] Aborting/" + stop + "The uninstall_data.ini file was not found." + cannot},
        {nullptr, [](World& w) { w.fs.AddSparseFile(kDescription, "#game=2\r\n", kDescriptionLimit + 1); },
         "IniError [Zelvane] Aborting/" + stop + "The uninstall_data.ini file is larger than 4 MiB." + cannot},
        {"#window_caption=Half Read\r\n#qdelete_file_3=override\\a.uti\r\n", nullptr,
         "IniError [Half Read] Aborting/" + std::to_string(kMbIconInformation | kMbSystemModal) + ": " +
             "#qdelete_file_begin_3# and #qdelete_file_end_3# are improperly set."},
        {"#game=abc\r\n", document, loadError("13\r\nType mismatch")},
        {"#game=2\r\n", [](World& w) { w.fs.SetReadOnlyMedium(kUninstall); },
         loadError("71\r\nDisk is write-protected")},
        {"#game=2\r\n",
         [](World& w) {
             w.fs.AddFile("D:\\Elsewhere\\uninstall_data.ini", "#game=2\r\n");
             w.fs.ReplaceWithLink(kUninstall, "D:\\Elsewhere");  // the working copy would land outside
         },
         "IniError [Zelvane] Aborting/" + stop +
             "uninstall_data20A.ini was not written: the uninstall folder or that file leads outside the program "
             "folder through a link.\r\nRemove the link and start the program again."},
        {"#game=2\r\n",
         [&](World& w) {
             document(w);
             w.show = [](const std::string&) -> bool { throw ProgramError(7, "Out of memory"); };
         },
         loadError("7\r\nOut of memory")},
        {"#game=2\r\n", [](World& w) { w.fs.AddSpecialFile(kDocument); },
         without + " is not a regular file (a pipe, a socket or a device), so it is not shown."},
        {"#game=2\r\n", [](World& w) { w.fs.AddSparseFile(kDocument, "{\\rtf1 ", kDocumentLimit + 1); },
         without + " is larger than 4 MiB, so it is not shown."},
        // A read-only working copy from before is reported, then cleared and deleted.
        {"#game=2\r\n", [](World& w) { w.fs.AddFile(kWorkingCopy, "old", Attributes{.readOnly = true}); },
         loadError("75\r\nPath/File access error")},
        // A working copy that cannot be deleted is left quietly.
        {"#game=2\r\n", [](World& w) { w.fs.FailOperation(FsOp::Delete, "20A", FsStatus::SharingViolation); },
         "NormalWithoutDocument [" + kVersioned + "] (the working copy left)"},
        // A second instance, or a document that cannot be displayed, ends the program quietly.
        {"#game=2\r\n", [](World& w) { w.instance.running = true; }, "Ended [Zelvane]"},
        {"#game=2\r\n",
         [&](World& w) {
             document(w);
             w.show = [](const std::string&) { return false; };
         },
         "Ended [" + kVersioned + "]"},
    };
    for (const auto& [description, setup, expected] : cases) {
        World w(description);
        if (setup) setup(w);
        EXPECT_EQ(w.Start(), expected);
        // A description refused for its kind or size is never copied: a pipe would keep start-up
        // waiting, a device or a huge file reading without end.
        EXPECT_TRUE(description || w.fs.CallCount(FsOp::Copy) == 0u) << expected;
        EXPECT_EQ(w.outcome.description.ConfirmTitle, expected.starts_with("Normal") ? "Confirm Remove Mod" : "");
    }
}

TEST(Startup, ANormalStartShowsTheDocumentAndAppliesTheDefaults) {
    World w("#game=1\r\n#confirm_message_format_width=400\r\n");
    w.ui.twipsPerPixel = 12;
    w.fs.AddFile(kDocument, "{\\rtf1 info}");
    EXPECT_EQ(w.Start(), "Normal [" + kVersioned + "] shown " + kDocument);
    EXPECT_EQ(w.fs.Contents(kDescription), "#game=1\r\n#confirm_message_format_width=400\r\n");
    const UninstallDescription& d = w.outcome.description;
    // The width goes with the built-in text.
    EXPECT_EQ(std::tuple(d.Game, d.DefaultFormatWidth, d.ConfirmTitle, d.ConfirmFormatWidth, d.ExplicitTitle),
              std::tuple(1, 6000, "Confirm Remove Mod", 3600, "VERY IMPORTANT!!!"));
    EXPECT_EQ(d.ConfirmMessage,
              "\\cf1 This will remove some mod that\\par \r\n\\cf10\\ul the author did not bother to name.\\ulnone"
              "\\cf1\\par \r\n\\par \r\nI \\i hope\\i0  that \\b you\\b0  at least know what it is.\\par \r\n\\par \r\n"
              "Do you wish to continue?");

    // Given values are kept, and a working copy left from before is replaced.
    World given(
        "#window_caption=Robes\r\n#default_format_width=450\r\n#confirm_message_title=Sure?\r\n"
        "#confirm_message_format_width=400\r\n#confirm_message_begin#\r\nOwn\r\n#confirm_message_end#\r\n");
    given.fs.AddFile(kWorkingCopy, "#confirm_message_begin#\r\nstale\r\n#confirm_message_end#\r\n");
    EXPECT_EQ(given.Start(), "NormalWithoutDocument [Robes]");
    const UninstallDescription& g = given.outcome.description;
    EXPECT_EQ(std::tuple(g.DefaultFormatWidth, g.ConfirmTitle, g.ConfirmMessage, g.ConfirmFormatWidth),
              std::tuple(6750, "Sure?", "Own", 6000));
}

TEST(UsageGuide, IsAnAnsiRtfDocumentWithCrLfLines) {
    const std::string guide(UsageGuide());
    EXPECT_TRUE(guide.starts_with("{\\rtf1\\ansi\\ansicpg1252"));
    // Plain ASCII, and no CR or LF but in pairs.
    EXPECT_FALSE(std::regex_search(guide, std::regex("[^\\x01-\\x7F]|\r(?!\n)|(^|[^\r])\n")));
    int depth = 0;  // of braces; a backslash escapes the next character
    for (std::size_t i = 0; i < guide.size() && depth >= 0; i += guide[i] == '\\' ? 2 : 1)
        depth += guide[i] == '{' ? 1 : guide[i] == '}' ? -1 : 0;
    EXPECT_EQ(depth, 0);
    EXPECT_TRUE(guide.ends_with("\r\n}\r\n") || guide.ends_with("\r\n}"));
    // The colour table (\cf1 magenta, \cf2 black), and the check authors run before they ship, on
    // Windows and on Linux.
    for (const char* part : {"{\\colortbl ;\\red255\\green0\\blue255;\\red0\\green0\\blue0;",
                             "open a command prompt in that folder (type cmd in the address bar of its window and "
                             "press Enter) and run \\f1 zelvane-console.exe --check\\f0 .",
                             "run \\f1 zelvane-console --check --program-folder DIR\\f0"}) {
        EXPECT_NE(guide.find(part), std::string::npos) << part;
    }
}

// The guide, its lines ending in CR LF and the version line after the tenth, replaces whatever was
// there and is opened. A document that cannot be written is reported and never opened. A mod
// archive can carry a link in the program folder: the document is then never written through it,
// and the player's file it leads to stays as it was.
TEST(UsageDocument, IsWrittenStampedAndOpenedOrEachFailureIsReported) {
    std::string guide, document;
    for (int i = 1; i <= 12; ++i) {
        guide += "l" + std::to_string(i) + (i % 2 ? "\r" : "\r\n");
        document += "l" + std::to_string(i) + "\r\n";
        if (i == 10) document += "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 1.0.151\\cf0\\par\r\n";
    }
    guide += "tail";
    document += "tail\r\n";
    const std::string oops = " Oops!/" + std::to_string(kMbOk | kMbIconExclamation) + ": Error: ";
    const std::string protectedDisk = oops + "71\r\nDisk is write-protected\r\n\r\nLOCATION:\r\ncmdINI_Click";
    const std::string refused = " Aborting/" + std::to_string(kMbOk | kMbIconExclamation) +
                                ": Zelvane Usage.rtf was not written: the uninstall folder or that file leads outside "
                                "the program folder through a link.\r\nRemove the link and try again.";
    const auto onReadOnlyMedium = [](const std::string& folder) {
        return [folder](MemoryFileSystem& fs) {
            fs.AddFolder(folder);
            fs.SetReadOnlyMedium(kProgram);
        };
    };
    const std::string opened = " opened";
    const std::vector<std::pair<std::function<void(MemoryFileSystem&)>, std::string>> cases = {
        {[](MemoryFileSystem& fs) { fs.AddFolder(kProgram); }, opened},  // the uninstall folder is made
        // Nothing of an older, longer document stays, and the guide is not stamped twice.
        {[&](MemoryFileSystem& fs) { fs.AddFile(kUsage, document + "more\r\n"); }, opened},
        {onReadOnlyMedium(kUninstall), protectedDisk},
        {onReadOnlyMedium(kProgram), protectedDisk},  // the uninstall folder is still to be made
        {[](MemoryFileSystem& fs) {
             fs.AddFolder(kProgram + "\\uninstall");
             fs.FailOperation(FsOp::ReadAll, "Zelvane Usage", FsStatus::SharingViolation);
         },
         oops + "70\r\nPermission denied\r\n\r\nLOCATION:\r\ncmdINI_Click"},
        {[](MemoryFileSystem& fs) {
             fs.AddFile("D:\\Home\\.profile", "the player's start-up file", Attributes{.readOnly = true});
             fs.AddLink(kUsage, "D:\\Home\\.profile");
         },
         refused},
    };
    for (const auto& [setup, expected] : cases) {
        MemoryFileSystem fs;
        ScriptedUi ui;
        setup(fs);
        const auto roots = fs.Roots();
        const auto before = fs.Snapshot();
        const bool written = WriteUsageDocument(fs, ui, kProgram, guide);
        EXPECT_EQ(Messages(ui) + (ui.shellOpened == std::vector{kUsage} ? opened : ""), expected);
        EXPECT_EQ(written, expected == opened);
        EXPECT_EQ(fs.Roots(), roots) << expected;  // the roots the file system had come back
        EXPECT_TRUE(expected != refused || fs.Snapshot() == before) << expected;
        EXPECT_EQ(written ? fs.Contents(kUsage) : document, document);
    }
}

}  // namespace
}  // namespace zelvane::testing
