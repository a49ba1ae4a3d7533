#include "platform/overlay/overlay_file_system.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

std::vector<std::string> Names(const FileSystem& fs, std::string_view pattern) {
    std::vector<std::string> names;
    auto listing = fs.List(pattern);
    if (!listing) return {"<null>"};
    while (auto entry = listing->Next()) names.push_back(entry->name + (entry->attributes.directory ? "\\" : ""));
    return names;
}

Attributes ReadOnly() {
    Attributes a;
    a.readOnly = true;
    return a;
}

void Build(MemoryFileSystem& fs) {
    fs.AddFile(R"(C:\Game\dialog.tlk)", "TLK V3.0");
    fs.AddFile(R"(C:\Game\Override\B.2da)", "b");
    fs.AddFile(R"(C:\Game\Override\a.tga)", "a");
    fs.AddFile(R"(C:\Game\Override\locked.tga)", "ro", ReadOnly());
    fs.AddFile(R"(C:\Game\Backup\a.tga)", "old a");
    fs.AddFile(R"(C:\Game\Backup\Deep\c.tga)", "c");
    fs.AddFolder(R"(C:\Game\Empty)");
}

// The same steps on a disk and on a view of an identical disk: every answer, every listing and
// every content read afterwards agree, and the disk under the view is as it was.
class OverlayAgreement : public ::testing::Test {
protected:
    OverlayAgreement() {
        Build(real);
        Build(under);
        before = under.Snapshot();
    }

    void Both(const std::function<FsStatus(FileSystem&)>& step) { EXPECT_EQ(step(view), step(real)); }

    void ExpectSameView(const std::vector<std::string>& folders, const std::vector<std::string>& files) {
        for (const std::string& folder : folders) {
            EXPECT_EQ(Names(view, folder + "\\*.*"), Names(real, folder + "\\*.*")) << folder;
        }
        for (const std::string& file : files) {
            std::string a, b;
            EXPECT_EQ(view.ReadAll(file, a, kTableLimit), real.ReadAll(file, b, kTableLimit)) << file;
            EXPECT_EQ(a, b) << file;
            Attributes x, y;
            EXPECT_EQ(view.GetAttributes(file, x), real.GetAttributes(file, y)) << file;
            EXPECT_EQ(x.readOnly, y.readOnly) << file;
            EXPECT_EQ(x.directory, y.directory) << file;
        }
        EXPECT_EQ(under.Snapshot(), before);
        EXPECT_EQ(under.MutationCount(), 0u);
    }

    MemoryFileSystem real;
    MemoryFileSystem under;
    OverlayFileSystem view{under};
    std::map<std::string, std::string> before;
};

TEST_F(OverlayAgreement, DeletesRenamesCopiesAndWritesAnswerAsTheDiskWould) {
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\a.tga)"); });
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\a.tga)"); });
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\locked.tga)"); });
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Nope\x.tga)"); });
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override)"); });
    Both([](FileSystem& fs) { return fs.Rename(R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\A.tga)"); });
    Both([](FileSystem& fs) { return fs.Rename(R"(C:\Game\Override\b.2da)", R"(C:\Game\Override\A.TGA)"); });
    Both([](FileSystem& fs) { return fs.Copy(R"(C:\Game\Backup\Deep\c.tga)", R"(C:\Game\Override\c.tga)"); });
    Both([](FileSystem& fs) { return fs.Copy(R"(C:\Game\Backup\Deep\c.tga)", R"(C:\Game\Override\locked.tga)"); });
    Both([](FileSystem& fs) { return fs.Copy(R"(C:\Game\Backup\none.tga)", R"(C:\Game\Override\n.tga)"); });
    Both([](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Override\new.txt)", "new"); });
    Both([](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Override\B.2DA)", "changed"); });
    Both([](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Missing\x.txt)", "x"); });
    Both([](FileSystem& fs) { return fs.SetAttributes(R"(C:\Game\Override\locked.tga)", Attributes{}); });
    Both([](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\locked.tga)"); });
    ExpectSameView({R"(C:\Game)", R"(C:\Game\Override)", R"(C:\Game\Backup)", R"(C:\Game\Empty)"},
                   {R"(C:\Game\Override\a.tga)", R"(C:\Game\Override\b.2da)", R"(C:\Game\Override\c.tga)",
                    R"(C:\Game\Override\new.txt)", R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\locked.tga)"});
}

TEST_F(OverlayAgreement, FoldersMadeAndMovedCarryWhatIsInThem) {
    Both([](FileSystem& fs) { return fs.CreateFolder(R"(C:\Game\Made)"); });
    Both([](FileSystem& fs) { return fs.CreateFolder(R"(C:\Game\made)"); });
    Both([](FileSystem& fs) { return fs.CreateFolder(R"(C:\Game\No\Deeper)"); });
    Both([](FileSystem& fs) { return fs.Copy(R"(C:\Game\dialog.tlk)", R"(C:\Game\Made\copy.tlk)"); });
    Both([](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Backup\Deep\d.txt)", "d"); });
    Both([](FileSystem& fs) { return fs.Rename(R"(C:\Game\Backup)", R"(C:\Game\Moved)"); });
    Both([](FileSystem& fs) { return fs.Rename(R"(C:\Game\Made)", R"(C:\Game\Moved\Made)"); });
    ExpectSameView({R"(C:\Game)", R"(C:\Game\Moved)", R"(C:\Game\Moved\Deep)", R"(C:\Game\Moved\Made)"},
                   {R"(C:\Game\Moved\a.tga)", R"(C:\Game\Moved\Deep\c.tga)", R"(C:\Game\Moved\Deep\d.txt)",
                    R"(C:\Game\Moved\Made\copy.tlk)", R"(C:\Game\Backup\a.tga)", R"(C:\Game\Made\copy.tlk)"});
    Attributes a;
    EXPECT_EQ(view.GetAttributes(R"(C:\Game\Backup\Deep\c.tga)", a), FsStatus::PathNotFound);
    EXPECT_EQ(Names(view, R"(C:\Game\Moved\Deep\*.tga)"), std::vector<std::string>{"c.tga"});
}

TEST(OverlayFileSystem, ThePlanListsEveryChangeInOrderWithItsOutcome) {
    MemoryFileSystem under;
    Build(under);
    OverlayFileSystem view(under);
    view.Delete(R"(C:\Game\Override\a.tga)");
    view.Delete(R"(C:\Game\Override\locked.tga)");
    view.Rename(R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\a.tga)");
    view.CreateFolder(R"(C:\Game\Override)");
    view.Copy(R"(C:\Game\dialog.tlk)", R"(C:\Game\Empty\d.tlk)");
    view.WriteAll(R"(C:\Game\log.rtf)", "{\\rtf1}");
    const std::vector<PlannedChange> expected{
        {PlannedKind::Delete, R"(C:\Game\Override\a.tga)", "", FsStatus::Ok},
        {PlannedKind::Delete, R"(C:\Game\Override\locked.tga)", "", FsStatus::AccessDenied},
        {PlannedKind::Rename, R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\a.tga)", FsStatus::Ok},
        {PlannedKind::CreateFolder, R"(C:\Game\Override)", "", FsStatus::AlreadyExists},
        {PlannedKind::Copy, R"(C:\Game\dialog.tlk)", R"(C:\Game\Empty\d.tlk)", FsStatus::Ok},
        {PlannedKind::Write, R"(C:\Game\log.rtf)", "", FsStatus::Ok},
    };
    ASSERT_EQ(view.Plan().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(view.Plan()[i].kind, expected[i].kind) << i;
        EXPECT_EQ(view.Plan()[i].path, expected[i].path) << i;
        EXPECT_EQ(view.Plan()[i].target, expected[i].target) << i;
        EXPECT_EQ(view.Plan()[i].outcome, expected[i].outcome) << i;
    }
    EXPECT_EQ(under.MutationCount(), 0u);
    std::string bytes;
    EXPECT_EQ(view.ReadAll(R"(c:\game\LOG.RTF)", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(Names(view, R"(C:\Game\Override\*.tga)"), (std::vector<std::string>{"a.tga", "locked.tga"}));
    EXPECT_EQ(Names(view, R"(C:\Game\Empty\*.*)"), std::vector<std::string>{"d.tlk"});
    EXPECT_EQ(bytes, "{\\rtf1}");
}

// What a run asks before it changes anything is answered by the disk below (a folder made in the
// view by the folder below that would hold it), so that a dry run refuses what the real run would.
TEST(OverlayFileSystem, QuestionsBeforeAChangeAreAnsweredByTheDisk) {
    MemoryFileSystem under;
    Build(under);
    under.AddSpecialFile(R"(C:\Game\Backup\pipe.2da)");
    under.FailOperation(FsOp::CanCreateFileIn, R"(C:\Game\Override)", FsStatus::AccessDenied);
    OverlayFileSystem view(under);
    ASSERT_EQ(view.CreateFolder(R"(C:\Game\Override\Made)"), FsStatus::Ok);
    ASSERT_EQ(view.WriteAll(R"(C:\Game\Backup\new.2da)", "new"), FsStatus::Ok);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Override)"), FsStatus::AccessDenied);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Override\Made)"), FsStatus::AccessDenied);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Backup)"), FsStatus::Ok);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Backup\new.2da)"), FsStatus::PathNotFound);
    std::string bytes;
    std::uint64_t size = 0;
    EXPECT_EQ(view.ReadAll(R"(C:\Game\Backup\pipe.2da)", bytes, kTableLimit), FsStatus::NotRegularFile);
    EXPECT_EQ(view.FileSize(R"(C:\Game\Backup\pipe.2da)", size), FsStatus::NotRegularFile);
    EXPECT_EQ(view.ReadAll(R"(C:\Game\Backup\new.2da)", bytes, 2), FsStatus::TooLarge);
    EXPECT_EQ(view.FileSize(R"(C:\Game\Backup\new.2da)", size), FsStatus::Ok);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(view.ReadHead(R"(C:\Game\dialog.tlk)", bytes, 3), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK");
    view.SetRoots({R"(C:\Game\Backup)"});
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game)"), FsStatus::OutsideRoots);
    EXPECT_EQ(under.MutationCount(), 0u);
}

TEST(OverlayFileSystem, ChangesOutsideTheRootsAreRefusedAsTheDiskWouldRefuseThem) {
    MemoryFileSystem under;
    Build(under);
    under.AddFile(R"(C:\Other\x.tga)", "x");
    under.AddLink(R"(C:\Game\Override\out.tga)", R"(C:\Other\x.tga)");
    OverlayFileSystem view(under);
    view.SetRoots({R"(C:\Game)"});
    EXPECT_EQ(under.Roots(), std::vector<std::string>{R"(C:\Game)"});
    EXPECT_EQ(view.Delete(R"(C:\Other\x.tga)"), FsStatus::OutsideRoots);
    EXPECT_EQ(view.Delete(R"(C:\Game\Override\out.tga)"), FsStatus::OutsideRoots);
    EXPECT_EQ(view.Copy(R"(C:\Game\dialog.tlk)", R"(C:\Other\y.tlk)"), FsStatus::OutsideRoots);
    EXPECT_EQ(view.Delete(R"(C:\Game\Override\a.tga)"), FsStatus::Ok);
    EXPECT_EQ(under.MutationCount(), 0u);
}

}  // namespace
}  // namespace zelvane
