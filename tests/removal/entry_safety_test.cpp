#include "removal/entry_safety.hpp"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.hpp"
#include "removal/log_line.hpp"
#include "removal/removal_log.hpp"

namespace zelvane {
namespace {

TEST(EntrySafety, PlainNamesResolveAsWindowsResolvesThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"override\\x.tga", "override\\x.tga"},
        {"override\\sub dir\\x.2da", "override\\sub dir\\x.2da"},
        {"override\\\\x.tga", "override\\x.tga"},
        {"override/sub/x.tga", "override\\sub\\x.tga"},
        {"CONSOLE.txt", "CONSOLE.txt"},
        {"com10.txt", "com10.txt"},
        {"nul1.tga", "nul1.tga"},
        {"override\\x..tga", "override\\x..tga"},
        // Trailing dots and spaces are cut from every component, as Windows does.
        {"override\\a.uti ", "override\\a.uti"},
        {"override\\c.uti. . ", "override\\c.uti"},
        {"override.\\x.tga", "override\\x.tga"},
        {"override \\x.tga", "override\\x.tga"},
        {"This mod adds two robes to the game.", "This mod adds two robes to the game"},
        {"\\cf1 Remove the robes.", "cf1 Remove the robes"},
        // A leading separator only doubles the one after the game folder.
        {"\\x.tga", "x.tga"},
        {"\\\\server\\share\\x", "server\\share\\x"},
        // ".." that stays inside.
        {"override\\..\\override\\x.tga", "override\\x.tga"},
        {"a\\*\\..\\..\\x.tga", "x.tga"},
    };
    for (const auto& [entry, relative] : cases) {
        const EntryName name = ResolveEntry(entry);
        EXPECT_EQ(name.kind, EntryKind::File) << entry;
        EXPECT_EQ(name.relative, relative) << entry;
    }
}

// Escapes and drives lead outside; streams and devices are no plain file names; wildcards and
// nameless entries name no file.
TEST(EntrySafety, WhatIsNoFileOfTheGameFolder) {
    const std::pair<EntryKind, std::vector<std::string>> cases[] = {
        {EntryKind::Outside,
         {"..\\x.tga", "override\\..\\..\\x", "..", "override/../../x", "override\\*\\..\\..\\..\\x", "C:\\x.tga",
          "C:x.tga", "d:\\games\\x", "x*\\..\\..\\y"}},
        {EntryKind::NotPlainName,
         {"x.tga:stream", "override\\x.tga::$DATA", "CON", "override\\NUL.tga", "override\\Con .txt", "conout$.x",
          "lpt\xB2.txt", "nul.", "Note: read me first"}},
        {EntryKind::NoSuchFile,
         {"override\\*.uti", "override\\a<b", "\tlead.tga", "override\\...\\x", " ", ".", "override\\..", "\\",
          "\\\\?\\C:\\x", "Thanks for downloading! Enjoy the mod?", "\\cf1 Remove the robes too?",
          "override\\" + std::string(256, 'a')}},
    };
    for (const auto& [kind, entries] : cases) {
        for (const std::string& entry : entries) EXPECT_EQ(ResolveEntry(entry).kind, kind) << entry;
    }
}

// The pieces of log lines that no whole log shows: escapes and the shown form of names.
TEST(EntrySafety, RefusalsEscapesAndTheShownFormOfNames) {
    EXPECT_EQ(DeletionText({FsStatus::ProgramOwnFile}, "backup\\\\a.2da").Text(),
              "\\cf10 Refused (one of this program's own files): \\cf1 Backup\\\\a.2da");
    EXPECT_EQ(DeletionText({FsStatus::OutsideRoots}, "x.tga").Text(),
              "\\cf10 Refused (outside the game and program folders): \\cf1 x.tga");
    EXPECT_EQ(EscapeRtfText("caf\xE9\xFF\x80{b}.tga"), "caf\\'e9\\'ff\\'80\\{b\\}.tga");
    EXPECT_EQ(EscapeRtfText("Override\\\\x.tga"), "Override\\\\x.tga");  // doubled backslashes stay as they are
    EXPECT_EQ(LogDisplay("override\\my mods\\Tex.TGA"), "Override\\\\My Mods\\\\Tex.TGA");
    EXPECT_EQ(LogDisplay("override\\{x}.tga"), "Override\\\\\\{x\\}.tga");
}

// Links are followed: one that leads out of the game folder, directly, through a chain or to
// nothing, leaves it; the game folder's own links are followed too.
TEST(EntrySafety, WhereLinksLeadDecidesWhetherAPathIsInside) {
    MemoryFileSystem fs;
    const std::string game = "C:\\Games\\Kotor";
    fs.AddFile(game + "\\override\\x.tga", "x");
    fs.AddFile("D:\\Saves\\save.sav", "mine");
    fs.AddFile("C:\\Games\\Kotor2\\dialog.tlk", "the other game");
    fs.AddLink(game + "\\override\\linked", "D:\\Saves");
    fs.AddLink(game + "\\override\\evil.tga", "D:\\Saves\\save.sav");
    fs.AddLink(game + "\\override\\first.tga", "C:\\Games\\hop.tga");
    fs.AddLink("C:\\Games\\hop.tga", "D:\\Saves\\save.sav");
    fs.AddLink(game + "\\override\\gone.tga", "D:\\Saves\\gone.sav");
    fs.AddLink(game + "\\override\\k2", "C:\\Games\\Kotor2");
    fs.AddLink(game + "\\override\\inside", game + "\\override");
    fs.AddLink("C:\\Links\\Kotor", game);
    for (const char* path : {"override\\linked\\save.sav", "override\\evil.tga", "override\\first.tga",
                             "override\\gone.tga", "override\\k2\\dialog.tlk"}) {
        EXPECT_FALSE(ResolvesInsideGameFolder(fs, game, game + "\\" + path)) << path;
    }
    EXPECT_TRUE(ResolvesInsideGameFolder(fs, game, game + "\\override\\inside\\x.tga"));
    EXPECT_TRUE(ResolvesInsideGameFolder(fs, game, game + "\\override\\new.tga"));
    EXPECT_TRUE(ResolvesInsideGameFolder(fs, "C:\\Links\\Kotor", "C:\\Links\\Kotor\\override\\x.tga"));
}

}  // namespace
}  // namespace zelvane
