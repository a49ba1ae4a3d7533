// ResolvedPath of the host file system on real symbolic links in a fresh folder.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/posix/posix_file_system.hpp"

namespace zelvane {
namespace {

namespace stdfs = std::filesystem;

class PosixResolvedPath : public ::testing::Test {
protected:
    PosixResolvedPath() {
        std::string pattern = (stdfs::temp_directory_path() / "zelvane-resolved-XXXXXX").string();
        root = stdfs::canonical(::mkdtemp(pattern.data())).string();  // the temp folder may be a link itself
        fs = std::make_unique<PosixFileSystem>(root + "/wine");
        Put("game/override/x.tga", "x");
        Put("outside/save.sav", "mine");
        Put("outside/sub/a.tga", "a");
    }
    ~PosixResolvedPath() override {
        std::error_code ignored;
        stdfs::remove_all(root, ignored);
    }

    // The Windows (Z:) form of a path below the temp folder.
    std::string Win(const std::string& relative) const {
        std::string path = "Z:" + root + "/" + relative;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }
    void Put(const std::string& relative, const std::string& bytes) {
        stdfs::create_directories((stdfs::path(root) / relative).parent_path());
        std::ofstream(stdfs::path(root) / relative, std::ios::binary) << bytes;
    }
    void Link(const std::string& relative, const std::string& target) {
        stdfs::create_directories((stdfs::path(root) / relative).parent_path());
        ASSERT_EQ(::symlink(target.c_str(), (stdfs::path(root) / relative).c_str()), 0) << relative;
    }

    std::string root;
    std::unique_ptr<PosixFileSystem> fs;
};

TEST_F(PosixResolvedPath, WithoutLinksThePathComesBackInItsStoredCase) {
    EXPECT_EQ(fs->ResolvedPath(Win("GAME/Override/X.TGA")), Win("game/override/x.tga"));
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/./sub/../x.tga")), Win("game/override/x.tga"));
    EXPECT_EQ(fs->ResolvedPath(Win("game")), Win("game"));
    EXPECT_EQ(fs->ResolvedPath(root + "/game/override/x.tga"), Win("game/override/x.tga"));  // a plain host path
}

TEST_F(PosixResolvedPath, AFileLinkResolvesToItsTarget) {
    Link("game/override/evil.tga", root + "/outside/save.sav");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/evil.tga")), Win("outside/save.sav"));
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/EVIL.TGA")), Win("outside/save.sav"));
}

TEST_F(PosixResolvedPath, AFolderLinkResolvesEverythingBelowIt) {
    Link("game/override/linked", "../../outside");  // relative, as most links are made
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/linked")), Win("outside"));
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/Linked/SUB/a.tga")), Win("outside/sub/a.tga"));
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/linked/missing/b.tga")), Win("outside/missing/b.tga"));
}

TEST_F(PosixResolvedPath, ALinkThatStaysInsideStaysInside) {
    Link("game/override/textures", "..");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/textures/override/x.tga")), Win("game/override/x.tga"));
}

TEST_F(PosixResolvedPath, AChainOfLinksIsFollowedToItsEnd) {
    Link("game/override/first.tga", "second.tga");
    Link("game/override/second.tga", root + "/hop");
    Link("hop", "outside/save.sav");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/first.tga")), Win("outside/save.sav"));
}

TEST_F(PosixResolvedPath, ADanglingLinkResolvesToWhereItWouldLead) {
    Link("game/override/gone.tga", root + "/outside/gone.sav");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/gone.tga")), Win("outside/gone.sav"));
    Link("game/override/nowhere", root + "/elsewhere/deeper");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/nowhere/x.tga")), Win("elsewhere/deeper/x.tga"));
}

TEST_F(PosixResolvedPath, AMissingTailIsAppendedAsGiven) {
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/New Folder/Y.tga")), Win("game/override/New Folder/Y.tga"));
    EXPECT_EQ(fs->ResolvedPath(Win("nothing/here")), Win("nothing/here"));
}

TEST_F(PosixResolvedPath, LinksInACircleResolveToNothing) {
    Link("game/override/a", "b");
    Link("game/override/b", "a");
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/a/x.tga")), "");
}

TEST_F(PosixResolvedPath, ListingsMarkLinksWithTheAttributesOfTheirTargets) {
    Link("game/override/out", root + "/outside");
    Link("game/override/save.sav", root + "/outside/save.sav");
    auto listing = fs->List(Win("game/override") + "\\*.*");
    ASSERT_NE(listing, nullptr);
    std::map<std::string, Attributes> seen;
    while (auto entry = listing->Next()) seen[entry->name] = entry->attributes;
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen["out"].link);
    EXPECT_TRUE(seen["out"].directory);
    EXPECT_TRUE(seen["save.sav"].link);
    EXPECT_FALSE(seen["save.sav"].directory);
    EXPECT_FALSE(seen["x.tga"].link);
}

TEST_F(PosixResolvedPath, PathsInADriveOfThePrefixMapBackToItsLetter) {
    Put("wine/drive_c/Games/Kotor/override/x.tga", "x");
    Link("wine/dosdevices/c:", "../drive_c");
    Link("wine/drive_c/Games/Kotor/override/out", root + "/outside");
    EXPECT_EQ(fs->ResolvedPath("c:\\games\\kotor\\Override\\X.tga"), "C:\\Games\\Kotor\\override\\x.tga");
    EXPECT_EQ(fs->ResolvedPath(Win("wine/drive_c/Games/Kotor")), "C:\\Games\\Kotor");
    EXPECT_EQ(fs->ResolvedPath("C:\\Games\\Kotor\\override\\out\\save.sav"), Win("outside/save.sav"));
    EXPECT_EQ(fs->ResolvedPath("C:\\"), "C:\\");
    EXPECT_EQ(fs->ResolvedPath("D:\\x"), "D:\\x");  // a drive the prefix does not have
}

}  // namespace
}  // namespace zelvane
