// The registries the program reads on the host (a registry file, Wine's system.reg) and Steam's
// files.

#include "platform/posix/file_registry.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/steam_library.hpp"
#include "platform/posix/wine_registry.hpp"

namespace zelvane {
namespace {

constexpr std::string_view kText =
    "; the registry of a test machine\r\n# another comment\n\n"
    "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|C:\\Games\\Kotor\r\n"
    "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|%GAMES%\\Kotor2|REG_EXPAND_SZ\n"
    "HKEY_LOCAL_MACHINE\\Software\\Pipes|Data|a|b\nHKEY_LOCAL_MACHINE\\Software\\Empty|Path|\n"
    "HKEY_CURRENT_USER\\Software\\BioWare\\SW\\KOTOR|Path|C:\\User\nnot a line\nHKEY_NOWHERE\\x|y|z\n";

class FileRegistryFile : public ::testing::Test {
protected:
    FileRegistryFile() {
        std::ofstream(path, std::ios::binary) << kText << "HKEY_LOCAL_MACHINE\\Later|Path|one\nHKLM\\later|path|two\n"
                                              << "HKEY_LOCAL_MACHINE\\u|Path|Z:\\Sp\xc3\xafl\\\xd0\x94\n";
    }
    ~FileRegistryFile() override { std::filesystem::remove(path); }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zelvane-registry-" + std::to_string(::getpid()))).string();
};

// Keys and value names ignore letter case, a later line wins, every string ends in a NUL and UTF-8
// is taken to code page 1252 where it can be (1252 cannot hold the Д).
TEST_F(FileRegistryFile, ValuesAreFoundByKeyAndNameInCodePage1252) {
    const struct {
        std::uint32_t root;
        const char* key;
        const char* name;
        std::uint32_t type;
        std::string data;  // "<none>": no such value
    } cases[] = {
        {kHkeyLocalMachine, "software\\bioware\\sw\\kotor", "PATH", kRegSz, std::string("C:\\Games\\Kotor\0", 15)},
        {kHkeyLocalMachine, "Software\\LucasArts\\KotOR2", "Path", kRegExpandSz, std::string("%GAMES%\\Kotor2\0", 15)},
        {kHkeyLocalMachine, "Software\\Pipes", "Data", kRegSz, std::string("a|b\0", 4)},
        {kHkeyLocalMachine, "Software\\Empty", "Path", kRegSz, std::string("\0", 1)},
        {0x80000001u, "Software\\BioWare\\SW\\KOTOR", "Path", kRegSz, std::string("C:\\User\0", 8)},
        {kHkeyLocalMachine, "Later", "Path", kRegSz, std::string("two\0", 4)},
        {kHkeyLocalMachine, "u", "Path", kRegSz, std::string("Z:\\Sp\xefl\\\xd0\x94\0", 11)},
        {kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Other", kRegSz, "<none>"},
        {kHkeyLocalMachine, "Software\\BioWare\\SW", "Path", kRegSz, "<none>"},
        {0x80000003u, "Software\\BioWare\\SW\\KOTOR", "Path", kRegSz, "<none>"},
    };
    const FileRegistry registry(path);
    for (const auto& c : cases) {
        const auto value = registry.Query(c.root, c.key, c.name);
        EXPECT_EQ(value ? value->data : "<none>", c.data) << c.key;
        EXPECT_EQ(value ? value->type : c.type, c.type) << c.key;
    }
    EXPECT_FALSE(FileRegistry("").Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
}

// --registry /dev/zero would otherwise be read until memory runs out.
TEST_F(FileRegistryFile, FilesThatAreNotRegularOrTooLargeAreRefusedWithAReason) {
    const std::string fifo = path + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: no wait
    for (const std::string& file : {std::string("/dev/zero"), std::string("/tmp"), fifo}) {
        EXPECT_EQ(FileRegistry(file).Error(), "the registry file " + file + " is not a regular file");
    }
    std::filesystem::remove(fifo);
    EXPECT_EQ(FileRegistry("/nonexistent/registry.txt").Error(), "");

    std::string big(FileRegistry::kMaxFileSize - kText.size(), ';');
    big.back() = '\n';
    std::ofstream(path, std::ios::binary) << big << kText;  // at the limit
    EXPECT_EQ(FileRegistry(path).Error(), "");
    EXPECT_TRUE(FileRegistry(path).Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
    std::ofstream(path, std::ios::binary | std::ios::app) << ";";
    const FileRegistry overTheLimit(path);
    EXPECT_EQ(overTheLimit.Error(), "the registry file " + path + " is larger than 1 MiB");
    EXPECT_FALSE(overTheLimit.Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
}

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
