#include "platform/posix/file_registry.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace zelvane {
namespace {

constexpr std::string_view kText =
    "; the registry of a test machine\r\n"
    "# another comment\n"
    "\n"
    "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|C:\\Games\\Kotor\r\n"
    "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|%GAMES%\\Kotor2|REG_EXPAND_SZ\n"
    "HKEY_LOCAL_MACHINE\\Software\\Pipes|Data|a|b\n"
    "HKEY_LOCAL_MACHINE\\Software\\Empty|Path|\n"
    "HKEY_CURRENT_USER\\Software\\BioWare\\SW\\KOTOR|Path|C:\\User\n"
    "not a line\n"
    "HKEY_NOWHERE\\x|y|z\n";

TEST(FileRegistry, ReadsStringValuesWithTheirTerminatingNulInCodePage1252) {
    const auto entries = FileRegistry::Parse(std::string(kText) +
                                             "HKLM\\K|V|one\nHKEY_LOCAL_MACHINE\\u|Path|Z:\\Sp\xc3\xaf"
                                             "ele\\\xd0\x94\n");  // UTF-8; 1252 cannot hold the Д
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[0].root, kHkeyLocalMachine);
    EXPECT_EQ(entries[0].key, "Software\\BioWare\\SW\\KOTOR");
    EXPECT_EQ(entries[0].valueName, "Path");
    EXPECT_EQ(entries[0].value.type, kRegSz);
    EXPECT_EQ(entries[0].value.data, std::string("C:\\Games\\Kotor\0", 15));
    EXPECT_EQ(entries[1].value.type, kRegExpandSz);
    EXPECT_EQ(entries[1].value.data, std::string("%GAMES%\\Kotor2\0", 15));
    EXPECT_EQ(entries[2].value.data, std::string("a|b\0", 4));
    EXPECT_EQ(entries[3].value.data, std::string("\0", 1));
    EXPECT_EQ(entries[4].root, 0x80000001u);
    EXPECT_EQ(entries[6].value.data, std::string("Z:\\Sp\xef"
                                                 "ele\\\xd0\x94") +
                                         '\0');
}

class FileRegistryFile : public ::testing::Test {
protected:
    FileRegistryFile() {
        path = (std::filesystem::temp_directory_path() / ("zelvane-registry-" + std::to_string(::getpid()))).string();
        std::ofstream(path, std::ios::binary) << kText << "HKLM\\Later|Path|one\nHKEY_LOCAL_MACHINE\\later|path|two\n";
    }
    ~FileRegistryFile() override { std::filesystem::remove(path); }
    std::string path;
};

TEST_F(FileRegistryFile, KeysAndValueNamesIgnoreCaseAndALaterLineWins) {
    FileRegistry registry(path);
    auto value = registry.Query(kHkeyLocalMachine, "software\\bioware\\sw\\kotor", "PATH");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, std::string("C:\\Games\\Kotor\0", 15));
    EXPECT_EQ(registry.Query(0x80000001u, "Software\\BioWare\\SW\\KOTOR", "Path")->data, std::string("C:\\User\0", 8));
    EXPECT_EQ(registry.Query(kHkeyLocalMachine, "Later", "Path")->data, std::string("two\0", 4));
    EXPECT_FALSE(registry.Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Other"));
    EXPECT_FALSE(registry.Query(kHkeyLocalMachine, "Software\\BioWare\\SW", "Path"));
    EXPECT_FALSE(registry.Query(0x80000003u, "Software\\BioWare\\SW\\KOTOR", "Path"));
    EXPECT_FALSE(FileRegistry("").Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
}

// --registry /dev/zero would otherwise be read until memory runs out.
TEST_F(FileRegistryFile, FilesThatAreNotRegularOrTooLargeAreRefusedWithAReason) {
    EXPECT_EQ(FileRegistry("/dev/zero").Error(), "the registry file /dev/zero is not a regular file");
    EXPECT_EQ(FileRegistry("/tmp").Error(), "the registry file /tmp is not a regular file");
    const std::string fifo = path + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FileRegistry(fifo).Error(),
              "the registry file " + fifo + " is not a regular file");  // no writer: no wait
    std::filesystem::remove(fifo);

    std::string big(FileRegistry::kMaxFileSize - kText.size(), ';');
    big.back() = '\n';
    std::ofstream(path, std::ios::binary) << big << kText;  // at the limit
    FileRegistry atTheLimit(path);
    EXPECT_EQ(atTheLimit.Error(), "");
    EXPECT_TRUE(atTheLimit.Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
    std::ofstream(path, std::ios::binary | std::ios::app) << ";";
    FileRegistry overTheLimit(path);
    EXPECT_EQ(overTheLimit.Error(), "the registry file " + path + " is larger than 1 MiB");
    EXPECT_FALSE(overTheLimit.Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
    EXPECT_EQ(FileRegistry("/nonexistent/registry.txt").Error(), "");
}

}  // namespace
}  // namespace zelvane
