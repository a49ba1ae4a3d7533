// The POSIX file system confines every change to its roots at the moment it is made, on real
// links in a fresh folder: the game folder and the program folder are the roots, "outside" holds
// the player's own files that no change may reach.

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/seams/read_limits.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

class PosixConfinement : public HostFolderTest {
protected:
    PosixConfinement() {
        Put("game/dialog.tlk", "TLK V3.0");
        Put("game/override/x.tga", "x");
        Put("program/uninstall/uninstall_data20A.ini", "ini");
        Put("outside/save.sav", "mine");
        Put("outside/sub/a.tga", "theirs");
        fs->SetRoots({Win("game"), Win("program")});
    }
    // Nothing in "outside" changed.
    void ExpectOutsideUntouched() {
        EXPECT_EQ(HostNames("outside"), (std::vector<std::string>{"save.sav", "sub"}));
        EXPECT_EQ(Host("outside/save.sav"), "mine");
        EXPECT_EQ(Mode("outside/save.sav") & 0200, 0200u);
        EXPECT_EQ(HostNames("outside/sub"), std::vector<std::string>{"a.tga"});
        EXPECT_EQ(Host("outside/sub/a.tga"), "theirs");
    }
};

TEST_F(PosixConfinement, TheRootsAreKeptAsGiven) {
    EXPECT_EQ(fs->Roots(), (std::vector<std::string>{Win("game"), Win("program")}));
    EXPECT_EQ(fs->WriteAll(Win("game/override/new.tga"), "n"), FsStatus::Ok);
    EXPECT_EQ(fs->WriteAll(Win("outside/new.tga"), "n"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->WriteAll(Win("new.tga"), "n"), FsStatus::OutsideRoots);
    ExpectOutsideUntouched();
    // reads are never confined
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("outside/save.sav"), bytes, kTableLimit), FsStatus::Ok);
}

TEST_F(PosixConfinement, AFileLinkToOutsideIsNoWayOutForAnyChange) {
    Link("program/uninstall/uninstall_data20A.ini.lnk", HostOf("outside/save.sav"));
    Link("game/override/evil.tga", HostOf("outside/save.sav"));
    const std::string evil = Win("game/override/evil.tga");
    EXPECT_EQ(fs->WriteAll(evil, "overwritten"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->WriteAll(Win("program/uninstall/uninstall_data20A.ini.lnk"), "x"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), evil), FsStatus::OutsideRoots);
    Attributes readOnly;
    readOnly.readOnly = true;
    EXPECT_EQ(fs->SetAttributes(evil, readOnly), FsStatus::OutsideRoots);
    ExpectOutsideUntouched();
    // the link itself lies inside: deleting or renaming it changes nothing outside
    EXPECT_EQ(fs->Rename(evil, Win("game/override/evil2.tga")), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(Win("game/override/evil2.tga")), FsStatus::Ok);
    EXPECT_FALSE(Exists("game/override/evil2.tga"));
    ExpectOutsideUntouched();
}

TEST_F(PosixConfinement, AFolderLinkToOutsideIsNoWayOutForAnyChange) {
    Link("game/override/out", "../../outside");
    const std::string out = Win("game/override/OUT");
    EXPECT_EQ(fs->Delete(out + "\\save.sav"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Rename(out + "\\save.sav", Win("game/override/save.sav")), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Rename(Win("game/override/x.tga"), out + "\\x.tga"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), out + "\\save.sav"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), out + "\\sub\\new.tga"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->WriteAll(out + "\\log.rtf", "log"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->CreateFolder(out + "\\Backup Uninstall"), FsStatus::OutsideRoots);
    Attributes readOnly;
    readOnly.readOnly = true;
    EXPECT_EQ(fs->SetAttributes(out + "\\save.sav", readOnly), FsStatus::OutsideRoots);
    ExpectOutsideUntouched();
    EXPECT_EQ(Host("game/override/x.tga"), "x");
    // but it can be read, and the link itself may go
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(out + "\\save.sav", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(out), FsStatus::AccessDenied);  // it stands for a folder, as on Windows
}

TEST_F(PosixConfinement, LinksThatStayInsideAreFine) {
    Link("game/override/textures", "..");
    Link("program/uninstall/table.2da", "../../game/override/x.tga");  // from one root into the other
    Link("game/override/chain.tga", "textures/override/x.tga");
    EXPECT_EQ(fs->WriteAll(Win("program/uninstall/table.2da"), "via program"), FsStatus::Ok);
    EXPECT_EQ(Host("game/override/x.tga"), "via program");
    EXPECT_EQ(fs->Copy(Win("game/dialog.tlk"), Win("game/override/chain.tga")), FsStatus::Ok);
    EXPECT_EQ(Host("game/override/x.tga"), "TLK V3.0");
    EXPECT_TRUE(Exists("game/override/chain.tga"));  // the link stays, its target got the bytes
    EXPECT_EQ(fs->CreateFolder(Win("game/override/textures/override/sub")), FsStatus::Ok);
    EXPECT_EQ(fs->Rename(Win("game/override/textures/override/x.tga"), Win("game/override/sub/x.tga")), FsStatus::Ok);
    EXPECT_EQ(Host("game/override/sub/x.tga"), "TLK V3.0");
    EXPECT_EQ(fs->Delete(Win("game/override/textures/override/sub/x.tga")), FsStatus::Ok);
    EXPECT_FALSE(Exists("game/override/sub/x.tga"));
}

TEST_F(PosixConfinement, RootsReachedThroughLinksAreTheFoldersTheyLeadTo) {
    Link("gamelink", "game");
    fs->SetRoots({Win("GAMELINK")});
    EXPECT_EQ(fs->WriteAll(Win("game/override/a.tga"), "a"), FsStatus::Ok);
    EXPECT_EQ(fs->WriteAll(Win("gamelink/override/b.tga"), "b"), FsStatus::Ok);
    EXPECT_EQ(fs->WriteAll(Win("program/uninstall/c.rtf"), "c"), FsStatus::OutsideRoots);
}

TEST_F(PosixConfinement, AFolderSwappedForALinkBetweenTwoCallsIsRefused) {
    Put("game/override/sub/a.tga", "a");
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("game/override/sub/a.tga"), a), FsStatus::Ok);
    // while a prompt is open, the folder is moved away and a link to outside takes its place
    std::filesystem::rename(HostOf("game/override/sub"), HostOf("moved"));
    Link("game/override/sub", HostOf("outside/sub"));
    // the folder held from before has left the roots: refused, and so is the link
    EXPECT_EQ(fs->Delete(Win("game/override/sub/a.tga")), FsStatus::OutsideRoots);
    fs->ForgetCachedState();
    EXPECT_EQ(fs->Delete(Win("game/override/sub/a.tga")), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), Win("game/override/sub/a.tga")), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Rename(Win("game/override/sub/a.tga"), Win("game/override/a.tga")), FsStatus::OutsideRoots);
    ExpectOutsideUntouched();
    EXPECT_EQ(Host("moved/a.tga"), "a");
}

TEST_F(PosixConfinement, DanglingLinks) {
    Link("game/override/gone.tga", HostOf("outside/gone.sav"));
    Link("game/override/later.tga", "../later.tga");
    Link("game/override/nowhere", HostOf("elsewhere/deeper"));
    Attributes a;
    EXPECT_EQ(fs->GetAttributes(Win("game/override/gone.tga"), a), FsStatus::Ok);  // still an entry
    EXPECT_EQ(fs->WriteAll(Win("game/override/gone.tga"), "log"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), Win("game/override/gone.tga")), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->WriteAll(Win("game/override/nowhere/x.tga"), "x"), FsStatus::PathNotFound);
    EXPECT_EQ(fs->SetAttributes(Win("game/override/gone.tga"), {}), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->SetAttributes(Win("game/override/later.tga"), {}), FsStatus::FileNotFound);
    ExpectOutsideUntouched();
    EXPECT_FALSE(Exists("outside/gone.sav"));
    EXPECT_FALSE(Exists("elsewhere"));
    // one that leads inside makes its file where it leads
    EXPECT_EQ(fs->WriteAll(Win("game/override/later.tga"), "later"), FsStatus::Ok);
    EXPECT_EQ(Host("game/later.tga"), "later");
    // and a dangling link itself may be deleted
    EXPECT_EQ(fs->Delete(Win("game/override/gone.tga")), FsStatus::Ok);
    EXPECT_FALSE(Exists("game/override/gone.tga"));
    EXPECT_EQ(fs->CreateFolder(Win("game/override/nowhere")), FsStatus::AlreadyExists);
    EXPECT_FALSE(Exists("elsewhere"));
}

TEST_F(PosixConfinement, LinksInACircleLeadNowhere) {
    Link("game/override/a", "b");
    Link("game/override/b", "a");
    EXPECT_EQ(fs->WriteAll(Win("game/override/a/x.tga"), "x"), FsStatus::PathNotFound);
    EXPECT_EQ(fs->WriteAll(Win("game/override/a"), "x"), FsStatus::BadName);
    EXPECT_EQ(fs->Copy(Win("game/override/x.tga"), Win("game/override/b")), FsStatus::BadName);
    EXPECT_EQ(fs->Delete(Win("game/override/a")), FsStatus::Ok);  // the link itself
}

// A folder proved inside is remembered for the run, and proved again once the player had
// control: a folder the player moved out of the roots meanwhile is refused.
TEST_F(PosixConfinement, AFolderMovedOutDuringAPromptIsRefused) {
    Put("game/override/sub/a.tga", "a");
    Put("game/override/sub/b.tga", "b");
    EXPECT_EQ(fs->Delete(Win("game/override/sub/a.tga")), FsStatus::Ok);
    ASSERT_EQ(std::rename(HostOf("game/override/sub").c_str(), HostOf("outside/moved").c_str()), 0);
    Link("game/override/sub", HostOf("outside/moved"));
    fs->ForgetCachedState();
    EXPECT_EQ(fs->Delete(Win("game/override/sub/b.tga")), FsStatus::OutsideRoots);
    EXPECT_EQ(Host("outside/moved/b.tga"), "b");
}

TEST_F(PosixConfinement, ARootMadeLaterCountsAndNoRootsConfineNothing) {
    fs->SetRoots({Win("later")});
    EXPECT_EQ(fs->WriteAll(Win("game/override/x.tga"), "y"), FsStatus::OutsideRoots);
    Folder("later");
    fs->ForgetCachedState();  // made behind the program's back: seen once control comes back
    EXPECT_EQ(fs->WriteAll(Win("later/x.tga"), "y"), FsStatus::Ok);
    fs->SetRoots({});
    Link("game/override/evil.tga", HostOf("outside/evil.sav"));
    EXPECT_EQ(fs->WriteAll(Win("game/override/evil.tga"), "free"), FsStatus::Ok);
    EXPECT_EQ(Host("outside/evil.sav"), "free");
}

}  // namespace
}  // namespace zelvane
