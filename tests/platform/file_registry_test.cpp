#include "platform/posix/file_registry.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace zelvane
