// What only the dry-run overlay does: it answers as the disk would while the disk stays as it was,
// records every change with its outcome, and asks the disk the questions a run asks first.

#include "platform/overlay/overlay_file_system.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

std::vector<std::string> Names(const FileSystem& fs, std::string_view pattern) {
    std::vector<std::string> names;
    auto listing = fs.List(pattern);
    if (!listing) return {"<null>"};
    while (auto entry = listing->Next()) names.push_back(entry->name + (entry->attributes.directory ? "\\" : ""));
    return names;
}

void Build(MemoryFileSystem& fs) {
    fs.AddFile(R"(C:\Game\dialog.tlk)", "TLK V3.0");
    fs.AddFile(R"(C:\Game\Override\B.2da)", "b");
    fs.AddFile(R"(C:\Game\Override\a.tga)", "a");
    fs.AddFile(R"(C:\Game\Override\locked.tga)", "ro", Attributes{.readOnly = true});
    fs.AddFile(R"(C:\Game\Backup\a.tga)", "old a");
    fs.AddFile(R"(C:\Game\Backup\Deep\c.tga)", "c");
    fs.AddFolder(R"(C:\Game\Empty)");
}

// The same steps on a disk and on a view of an identical disk: every answer, every listing (in
// its order) and every content read afterwards agree, and the disk under the view is as it was.
TEST(OverlayFileSystem, EveryStepAnswersAndShowsAsOnTheDisk) {
    MemoryFileSystem real, under;
    Build(real);
    Build(under);
    const auto before = under.Snapshot();
    OverlayFileSystem view(under);
    const std::vector<std::function<FsStatus(FileSystem&)>> steps = {
        [](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\a.tga)"); },
        [](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\a.tga)"); },
        [](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\locked.tga)"); },
        [](FileSystem& fs) { return fs.Rename(R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\A.tga)"); },
        [](FileSystem& fs) { return fs.Rename(R"(C:\Game\Override\b.2da)", R"(C:\Game\Override\A.TGA)"); },
        [](FileSystem& fs) { return fs.Copy(R"(C:\Game\Backup\Deep\c.tga)", R"(C:\Game\Override\c.tga)"); },
        [](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Override\B.2DA)", "changed"); },
        [](FileSystem& fs) { return fs.SetAttributes(R"(C:\Game\Override\locked.tga)", Attributes{}); },
        [](FileSystem& fs) { return fs.Delete(R"(C:\Game\Override\locked.tga)"); },
        [](FileSystem& fs) { return fs.CreateFolder(R"(C:\Game\Made)"); },
        [](FileSystem& fs) { return fs.Copy(R"(C:\Game\dialog.tlk)", R"(C:\Game\Made\copy.tlk)"); },
        [](FileSystem& fs) { return fs.WriteAll(R"(C:\Game\Backup\Deep\d.txt)", "d"); },
        [](FileSystem& fs) { return fs.Rename(R"(C:\Game\Backup)", R"(C:\Game\Moved)"); },
        [](FileSystem& fs) { return fs.Rename(R"(C:\Game\Made)", R"(C:\Game\Moved\Made)"); },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i](view), steps[i](real)) << "step " << i;
    for (const char* folder : {R"(C:\Game)", R"(C:\Game\Override)", R"(C:\Game\Moved)", R"(C:\Game\Moved\Deep)",
                               R"(C:\Game\Moved\Made)", R"(C:\Game\Backup)"}) {
        EXPECT_EQ(Names(view, std::string(folder) + "\\*.*"), Names(real, std::string(folder) + "\\*.*")) << folder;
    }
    for (const char* file : {R"(C:\Game\Override\a.tga)", R"(C:\Game\Override\b.2da)", R"(C:\Game\Override\c.tga)",
                             R"(C:\Game\Moved\Deep\d.txt)", R"(C:\Game\Moved\Made\copy.tlk)"}) {
        std::string a, b;
        EXPECT_EQ(view.ReadAll(file, a, 100), real.ReadAll(file, b, 100)) << file;
        EXPECT_EQ(a, b) << file;
    }
    EXPECT_EQ(under.Snapshot(), before);
    EXPECT_EQ(under.MutationCount(), 0u);
}

TEST(OverlayFileSystem, ThePlanListsEveryChangeInOrderWithItsOutcome) {
    MemoryFileSystem under;
    Build(under);
    OverlayFileSystem view(under);
    view.Delete(R"(C:\Game\Override\locked.tga)");
    view.Rename(R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\a.tga)");
    view.CreateFolder(R"(C:\Game\Empty)");
    view.WriteAll(R"(C:\Game\log.rtf)", "{\\rtf1}");
    std::string plan;
    for (const PlannedChange& change : view.Plan()) {
        plan += std::string(PlannedKindName(change.kind)) + " " + change.path + " " + change.target + ": " +
                std::string(FsStatusName(change.outcome)) + "\n";
    }
    EXPECT_EQ(plan,
              "delete C:\\Game\\Override\\locked.tga : access denied\n"
              "rename C:\\Game\\Backup\\a.tga C:\\Game\\Override\\a.tga: already exists\n"
              "create folder C:\\Game\\Empty : already exists\n"
              "write C:\\Game\\log.rtf : done\n");
}

// What a run asks before it changes anything is answered by the disk below (a folder made in the
// view by the folder below that would hold it), so that a dry run refuses what the real run would.
TEST(OverlayFileSystem, QuestionsBeforeAChangeAreAnsweredByTheDisk) {
    MemoryFileSystem under;
    Build(under);
    under.FailOperation(FsOp::CanCreateFileIn, R"(C:\Game\Override)", FsStatus::AccessDenied);
    under.PutOnOwnVolume(R"(C:\Game\Backup)");
    OverlayFileSystem view(under);
    ASSERT_EQ(view.CreateFolder(R"(C:\Game\Override\Made)"), FsStatus::Ok);
    ASSERT_EQ(view.CreateFolder(R"(C:\Game\Backup\Made)"), FsStatus::Ok);
    ASSERT_EQ(view.WriteAll(R"(C:\Game\Backup\new.2da)", "new"), FsStatus::Ok);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Override\Made)"), FsStatus::AccessDenied);
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game\Backup\Made)"), FsStatus::Ok);
    EXPECT_FALSE(view.SameVolume(R"(C:\Game\Backup\Made\x)", R"(C:\Game\Override\x)"));
    EXPECT_TRUE(view.SameVolume(R"(C:\Game\Backup\Made\x)", R"(C:\Game\Backup\x)"));
    std::string bytes;
    std::uint64_t size = 0;
    EXPECT_EQ(view.ReadAll(R"(C:\Game\Backup\new.2da)", bytes, 2), FsStatus::TooLarge);
    EXPECT_EQ(view.FileSize(R"(C:\Game\Backup\new.2da)", size), FsStatus::Ok);
    EXPECT_EQ(size, 3u);
    view.SetRoots({R"(C:\Game\Backup)"});
    EXPECT_EQ(under.Roots(), std::vector<std::string>{R"(C:\Game\Backup)"});
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game)"), FsStatus::OutsideRoots);
    EXPECT_EQ(under.MutationCount(), 0u);
}

}  // namespace
}  // namespace zelvane
