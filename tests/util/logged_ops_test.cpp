#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "platform/memory/memory_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"

namespace zelvane {
namespace {

// The logged operations must behave the same over the in-memory and the POSIX file system.
class FileSystemUnderTest {
public:
    virtual ~FileSystemUnderTest() = default;
    virtual FileSystem& Fs() = 0;
    virtual std::string Root() = 0;  // a Windows folder path without trailing backslash
    virtual void Add(const std::string& name, const std::string& bytes, bool readOnly = false) = 0;
    virtual void AddFolder(const std::string& name) = 0;
    std::string Path(const std::string& name) { return Root() + "\\" + name; }
    std::string Read(const std::string& name) {
        std::string bytes;
        Fs().ReadAll(Path(name), bytes, kTableLimit);
        return bytes;
    }
    bool Exists(const std::string& name) {
        Attributes a;
        return Fs().GetAttributes(Path(name), a) == FsStatus::Ok;
    }
    bool ReadOnly(const std::string& name) {
        Attributes a;
        Fs().GetAttributes(Path(name), a);
        return a.readOnly;
    }
};

class MemoryUnderTest : public FileSystemUnderTest {
public:
    MemoryUnderTest() { fs_.AddFolder(Root()); }
    FileSystem& Fs() override { return fs_; }
    std::string Root() override { return "C:\\Games\\Kotor"; }
    void Add(const std::string& name, const std::string& bytes, bool readOnly) override {
        fs_.AddFile(Path(name), bytes, Attributes{.readOnly = readOnly});
    }
    void AddFolder(const std::string& name) override { fs_.AddFolder(Path(name)); }

private:
    MemoryFileSystem fs_;
};

class PosixUnderTest : public FileSystemUnderTest {
public:
    PosixUnderTest() {
        std::string templ = (std::filesystem::temp_directory_path() / "zelvane-ops-XXXXXX").string();
        host_ = mkdtemp(templ.data());
        std::filesystem::create_directories(host_ + "/games/kotor");
    }
    ~PosixUnderTest() override { std::filesystem::remove_all(host_); }
    FileSystem& Fs() override { return fs_; }
    std::string Root() override {
        std::string windows = "Z:" + host_ + "/games/kotor";
        for (char& c : windows)
            if (c == '/') c = '\\';
        return windows;
    }
    void Add(const std::string& name, const std::string& bytes, bool readOnly) override {
        std::string host = host_ + "/games/kotor/" + name;
        for (char& c : host)
            if (c == '\\') c = '/';
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        std::ofstream(host, std::ios::binary) << bytes;
        if (readOnly) {
            std::filesystem::permissions(host,
                                         std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                         std::filesystem::perm_options::remove);
        }
        fs_.ForgetCachedState();  // made behind the file system's back
    }
    void AddFolder(const std::string& name) override {
        std::filesystem::create_directories(host_ + "/games/kotor/" + name);
        fs_.ForgetCachedState();
    }

private:
    std::string host_;
    PosixFileSystem fs_;
};

class LoggedOps : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "memory")
            under_ = std::make_unique<MemoryUnderTest>();
        else
            under_ = std::make_unique<PosixUnderTest>();
    }
    FileSystemUnderTest& T() { return *under_; }
    std::unique_ptr<FileSystemUnderTest> under_;
};

TEST_P(LoggedOps, DeletingAReadOnlyFileSucceeds) {
    T().Add("x.tga", "tga", true);
    FileResult r = LoggedDelete(T().Fs(), T().Path("x.tga"));
    EXPECT_EQ(r.status, FsStatus::Ok);
    EXPECT_FALSE(T().Exists("x.tga"));
}

TEST_P(LoggedOps, DeletingAMissingFileFails) {
    FileResult r = LoggedDelete(T().Fs(), T().Path("gone.tga"));
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_EQ(r.status, FsStatus::FileNotFound);
}

TEST_P(LoggedOps, WildcardsNeverDeleteAPattern) {
    T().Add("a.tga", "a");
    T().Add("b.tga", "b");
    FileResult r = LoggedDelete(T().Fs(), T().Path("*.tga"));
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_TRUE(T().Exists("a.tga"));
    EXPECT_TRUE(T().Exists("b.tga"));
}

TEST_P(LoggedOps, RenameNeverOverwrites) {
    T().Add("x.tga.original", "original", true);
    T().Add("x.tga", "mod");
    FileResult r = LoggedRename(T().Fs(), T().Path("x.tga.original"), T().Path("x.tga"));
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_EQ(r.status, FsStatus::AlreadyExists);
    EXPECT_EQ(T().Read("x.tga"), "mod");
    EXPECT_EQ(T().Read("x.tga.original"), "original");
    EXPECT_FALSE(T().ReadOnly("x.tga.original"));  // the source now has normal attributes
}

TEST_P(LoggedOps, RenameMovesAReadOnlyFileAndClearsItsAttributes) {
    T().Add("backup\\appearance.2da", "backup", true);
    T().AddFolder("override");
    FileResult r = LoggedRename(T().Fs(), T().Path("backup\\appearance.2da"), T().Path("override\\appearance.2da"));
    EXPECT_EQ(r.status, FsStatus::Ok);
    EXPECT_EQ(T().Read("override\\appearance.2da"), "backup");
    EXPECT_FALSE(T().ReadOnly("override\\appearance.2da"));
    EXPECT_FALSE(T().Exists("backup\\appearance.2da"));
}

TEST_P(LoggedOps, RenameOfAMissingSourceFails) {
    FileResult r = LoggedRename(T().Fs(), T().Path("none"), T().Path("other"));
    EXPECT_EQ(r.Failures(), 1);
}

TEST_P(LoggedOps, CopyReplacesWritableTargetsOnly) {
    T().Add("a.2da", "new");
    T().Add("b.2da", "old");
    T().Add("c.2da", "keep", true);
    FileResult ok = LoggedCopy(T().Fs(), T().Path("a.2da"), T().Path("b.2da"));
    EXPECT_EQ(ok.status, FsStatus::Ok);
    EXPECT_EQ(T().Read("b.2da"), "new");
    FileResult refused = LoggedCopy(T().Fs(), T().Path("a.2da"), T().Path("c.2da"));
    EXPECT_EQ(refused.Failures(), 1);
    EXPECT_EQ(T().Read("c.2da"), "keep");
    FileResult missing = LoggedCopy(T().Fs(), T().Path("none.2da"), T().Path("d.2da"));
    EXPECT_EQ(missing.Failures(), 1);
    EXPECT_FALSE(T().Exists("d.2da"));
}

TEST_P(LoggedOps, Repeat2daCheckSeesOnly2daFiles) {
    // The program folder is the root here; backups lie in its folder "backup".
    EXPECT_FALSE(Repeat2daCheck(T().Fs(), T().Root()));
    T().AddFolder("backup");
    EXPECT_FALSE(Repeat2daCheck(T().Fs(), T().Root()));
    T().Add("backup\\notes.txt", "x");
    T().Add("backup\\a.2da.bak", "x");
    EXPECT_FALSE(Repeat2daCheck(T().Fs(), T().Root()));
    T().AddFolder("backup\\folder.2da");
    EXPECT_FALSE(Repeat2daCheck(T().Fs(), T().Root()));
    T().Add("backup\\Feat.2DA", "x");
    EXPECT_TRUE(Repeat2daCheck(T().Fs(), T().Root() + "\\"));
}

INSTANTIATE_TEST_SUITE_P(BothFileSystems, LoggedOps, ::testing::Values("memory", "posix"));

TEST(LoggedOpsFaults, LockedAndReadOnlyMedia) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\locked.tga", "x");
    fs.Lock("C:\\g\\locked.tga");
    FileResult locked = LoggedDelete(fs, "C:\\g\\locked.tga");
    EXPECT_EQ(locked.status, FsStatus::SharingViolation);
    EXPECT_TRUE(fs.Exists("C:\\g\\locked.tga"));

    fs.AddFile("D:\\cd\\x.tga", "x");
    fs.SetReadOnlyMedium("D:\\");
    FileResult media = LoggedDelete(fs, "D:\\cd\\x.tga");
    EXPECT_EQ(media.Failures(), 1);
    EXPECT_EQ(media.status, FsStatus::WriteProtected);

    fs.AddFile("C:\\g\\a.2da", "a");
    fs.FailOperation(FsOp::Copy, "a.2da", FsStatus::DiskFull);
    EXPECT_EQ(LoggedCopy(fs, "C:\\g\\a.2da", "C:\\g\\b.2da").status, FsStatus::DiskFull);
    EXPECT_EQ(LoggedRename(fs, "C:\\g\\a.2da", "D:\\cd\\a.2da").Failures(), 1);
    EXPECT_TRUE(fs.Exists("C:\\g\\a.2da"));
}

TEST(LoggedOpsFaults, HiddenAndSystem2daFilesAreNoBackups) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Tool\\backup\\h.2da", "x", Attributes{.hidden = true});
    fs.AddFile("C:\\Tool\\backup\\s.2da", "x", Attributes{.system = true});
    EXPECT_FALSE(Repeat2daCheck(fs, "C:\\Tool"));
    fs.AddFile("C:\\Tool\\backup\\r.2da", "x", Attributes{.readOnly = true, .archive = true});
    EXPECT_TRUE(Repeat2daCheck(fs, "C:\\Tool"));
    EXPECT_EQ(fs.OpenListings(), 0u);
}

TEST(LoggedOpsFaults, WildcardDeleteReportsABadName) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\a.tga", "a");
    FileResult r = LoggedDelete(fs, "C:\\g\\?.tga");
    EXPECT_EQ(r.status, FsStatus::BadName);
    EXPECT_EQ(fs.MutationCount(), 0u);
}

TEST(LoggedOpsFaults, AttributesStayClearedWhenTheDeleteFails) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\x.tga", "x", Attributes{.readOnly = true, .hidden = true});
    fs.FailOperation(FsOp::Delete, "x.tga", FsStatus::IoError);
    FileResult r = LoggedDelete(fs, "C:\\g\\x.tga");
    EXPECT_EQ(r.Failures(), 1);
    ASSERT_TRUE(fs.AttributesOf("C:\\g\\x.tga"));
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\x.tga")->readOnly);
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\x.tga")->hidden);
}

TEST(LoggedOpsFaults, EveryKindHasItsOwnNumber) {
    const FsStatus kinds[] = {FsStatus::FileNotFound,  FsStatus::PathNotFound,     FsStatus::AccessDenied,
                              FsStatus::AlreadyExists, FsStatus::SharingViolation, FsStatus::WriteProtected,
                              FsStatus::DiskFull,      FsStatus::NotSameDevice,    FsStatus::BadName,
                              FsStatus::IoError};
    std::set<int> numbers;
    for (FsStatus kind : kinds) numbers.insert(FileSystemError(kind).Number());
    EXPECT_EQ(numbers.size(), std::size(kinds));
}

// A change the file system refuses because it would land outside the game and program folders
// says so, and is a failure like any other.
TEST(LoggedOpsFaults, AChangeOutsideTheRootsIsReportedAsRefused) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\x.tga", "x");
    fs.AddFile("D:\\Saves\\save.sav", "mine", Attributes{.readOnly = true});
    fs.AddLink("C:\\g\\evil.tga", "D:\\Saves\\save.sav");
    fs.SetRoots({"C:\\g"});
    FileResult r = LoggedDelete(fs, "C:\\g\\evil.tga");
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_EQ(r.status, FsStatus::OutsideRoots);
    r = LoggedRename(fs, "C:\\g\\x.tga", "C:\\g\\evil.tga");
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_EQ(r.status, FsStatus::OutsideRoots);
    r = LoggedCopy(fs, "C:\\g\\x.tga", "D:\\Saves\\copy.tga");
    EXPECT_EQ(r.Failures(), 1);
    EXPECT_EQ(r.status, FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Contents("D:\\Saves\\save.sav"), "mine");
    EXPECT_TRUE(fs.AttributesOf("D:\\Saves\\save.sav")->readOnly);
    EXPECT_FALSE(fs.Exists("D:\\Saves\\copy.tga"));
    EXPECT_TRUE(fs.Exists("C:\\g\\x.tga"));
}

}  // namespace
}  // namespace zelvane
