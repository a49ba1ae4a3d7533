#include "platform/posix/wine_registry.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/steam_library.hpp"

namespace zelvane {
namespace {

const char* const kSystemReg =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
    "[Software\\\\Wow6432Node\\\\BioWare\\\\SW\\\\KOTOR] 1700000000\n#time=1d9a1b2c3d4e5f6\n"
    "\"Path\"=\"C:\\\\Games\\\\Star Wars \\\"KotOR\\\"\"\n\"Version\"=dword:00000001\n"
    "\"Na\\xefve\"=\"caf\\xe9 \\x20ac\\x2603 t\\tab\"\n\"Octal\"=\"a\\101\\0\"\n\r\n"
    "[Software\\\\LucasArts\\\\KotOR2] 1700000001\n\"Path\"=str(2):\"%ProgramFiles%\\\\KotOR2\"\n"
    "\"Hex\"=hex(1):43,00,3a,00,5c,00,\\\n  4b,00,00,00\n@=\"default\"\n"
    "[Software\\\\A] 1\n\"Path\"=\"unterminated\n\"Other\n\"Good\"=\"yes\"\n[broken\n\"X\"=\"y\"\n";

// Wine's escapes, any letter case and slashes around a key; \xe9 is one UTF-16 unit, the euro sign
// is in code page 1252, the snowman is not; broken lines are skipped.
TEST(WineRegistry, ReadsKeysAndValuesWithWinesEscapes) {
    const std::string kotor = "Software\\Wow6432Node\\BioWare\\SW\\KOTOR";
    const struct {
        std::string key;
        const char* name;
        std::string data;  // "<none>": no such string value
    } cases[] = {
        {kotor, "Path", std::string("C:\\Games\\Star Wars \"KotOR\"") + '\0'},
        {"\\SOFTWARE\\wow6432node\\bioware\\sw\\kotor\\", "PATH", std::string("C:\\Games\\Star Wars \"KotOR\"") + '\0'},
        {kotor, "Na\xefve", std::string("caf\xe9 \x80\x3f t\tab") + '\0'},
        {kotor, "Octal", std::string("aA\0\0", 4)},
        {kotor, "Version", "<none>"},
        {"Software\\BioWare\\SW\\KOTOR", "Path", "<none>"},
        {"Software\\LucasArts\\KotOR2", "Hex", std::string("C:\\K") + '\0'},
        {"Software\\LucasArts\\KotOR2", "", std::string("default") + '\0'},
        {"Software\\A", "Path", "<none>"},
        {"Software\\A", "Good", std::string("yes") + '\0'},
    };
    const WineRegistry registry(kSystemReg);
    for (const auto& c : cases) {
        const auto value = registry.Query(kHkeyLocalMachine, c.key, c.name);
        EXPECT_EQ(value ? value->data : "<none>", c.data) << c.key << " " << c.name;
    }
    EXPECT_EQ(registry.Utf8String(kotor, "Na\xc3\xafve"), std::string("caf\xc3\xa9 \xe2\x82\xac\xe2\x98\x83 t\tab"));
    EXPECT_EQ(registry.Query(kHkeyLocalMachine, "Software\\LucasArts\\KotOR2", "Path")->type, kRegExpandSz);
    EXPECT_FALSE(registry.Query(0x80000001u, "Software\\LucasArts\\KotOR2", "Path"));
}

// Every level of blocks is a call deeper in the parser: a file nested 200,000 deep ends where
// the nesting passes 64 levels instead of running out of stack.
TEST(SteamFiles, NestingBeyondSixtyFourLevelsEndsTheText) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "\"k\" {";
    const auto nodes = ParseVdf(text);
    ASSERT_EQ(nodes.size(), 1u);
    int depth = 1;
    for (const VdfNode* node = &nodes[0]; !node->children.empty(); node = &node->children[0]) ++depth;
    EXPECT_EQ(depth, 64);
}

TEST(SteamFiles, KeyValuesWithEscapesCommentsAndConditions) {
    const auto nodes = ParseVdf(
        "// comment\n\"AppState\"\n{\n\t\"appid\"\t\t\"208580\"\n\t\"installdir\"\t\"Knights \\\"II\\\"\"\n"
        "\t\"UserConfig\" { \"language\" \"english\" [$LINUX] }\n\tbare value\n}\n");
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].key, "AppState");
    ASSERT_TRUE(nodes[0].Child("INSTALLDIR") && nodes[0].Child("userconfig") && nodes[0].Child("bare"));
    EXPECT_EQ(nodes[0].Child("installdir")->value, "Knights \"II\"");
    EXPECT_EQ(nodes[0].Child("userconfig")->Child("language")->value, "english");
    EXPECT_EQ(nodes[0].Child("bare")->value, "value");
}

}  // namespace
}  // namespace zelvane
