// The index gives the same answers as the depth-first walk, on many random trees, while the run
// deletes, moves and copies files and changes folder attributes between searches.

#include "util/search_index.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/counting_file_system.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/recurse.hpp"

namespace zelvane {
namespace {

const std::string kOverride = "C:\\Games\\Kotor\\override";
const std::string kPattern = kOverride + "\\*.*";

// Few names and random letter case, so that names repeat across folders and differ only in case.
std::string RandomName(std::mt19937& random) {
    static const std::vector<std::string> stems = {"a", "b", "appearance", "c_x", "x"};
    static const std::vector<std::string> extensions = {".tga", ".2da", ".uti", ""};
    std::string name = stems[random() % stems.size()] + extensions[random() % extensions.size()];
    for (char& c : name) {
        if (random() % 3 == 0) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

struct RandomTree {
    std::vector<std::string> folders;  // override and every folder below it
    std::vector<std::string> files;    // every file made (some may be gone later)
};

RandomTree MakeTree(MemoryFileSystem& fs, std::mt19937& random) {
    RandomTree tree;
    fs.AddFolder(kOverride);
    tree.folders.push_back(kOverride);
    const int items = 10 + static_cast<int>(random() % 60);
    for (int i = 0; i < items; ++i) {
        const std::string parent = tree.folders[random() % tree.folders.size()];
        const std::string path = parent + "\\" + RandomName(random);
        if (fs.Exists(path)) continue;
        if (random() % 15 == 0 && tree.folders.size() > 1) {
            // A folder link, up the tree or across: neither strategy enters it.
            fs.AddLink(path, tree.folders[random() % tree.folders.size()]);
        } else if (random() % 4 == 0) {
            Attributes a;
            a.system = random() % 4 == 0;
            a.hidden = random() % 3 == 0;
            fs.AddFolder(path, a);
            tree.folders.push_back(path);
        } else {
            Attributes a;
            a.hidden = random() % 5 == 0;
            a.system = random() % 7 == 0;
            a.readOnly = random() % 6 == 0;
            fs.AddFile(path, "x", a);
            tree.files.push_back(path);
        }
    }
    return tree;
}

SearchState Walk(const FileSystem& fs, const std::string& name) {
    SearchState state;
    RecurseFiles_FindFile(fs, kPattern, name, true, state);
    return state;
}

SearchState Indexed(SearchIndex& index, const FileSystem& fs, const std::string& name) {
    SearchState state;
    index.FindFile(fs, kPattern, name, true, state);
    return state;
}

// A change the player makes while a prompt is open, straight on the disk, not through the run.
void PlayerChange(MemoryFileSystem& fs, RandomTree& tree, std::mt19937& random) {
    const std::string folder = tree.folders[random() % tree.folders.size()];
    const std::string path = folder + "\\" + RandomName(random);
    switch (random() % 4) {
        case 0:
            if (!fs.Exists(path)) {
                fs.AddFile(path, "player's");
                tree.files.push_back(path);
            }
            break;
        case 1:
            if (!tree.files.empty()) fs.Delete(tree.files[random() % tree.files.size()]);
            break;
        case 2:
            if (!tree.files.empty()) {
                const std::string target = tree.folders[random() % tree.folders.size()] + "\\" + RandomName(random);
                const std::string& source = tree.files[random() % tree.files.size()];
                if (fs.Rename(source, target) == FsStatus::Ok) tree.files.push_back(target);
            }
            break;
        default:
            if (fs.CreateFolder(path) == FsStatus::Ok) tree.folders.push_back(path);
            break;
    }
}

TEST(SearchIndex, AgreesWithTheWalkOnRandomTreesWhileTheRunChangesThem) {
    std::mt19937 random(20261206);
    int hits = 0;
    int changes = 0;
    int movedBack = 0;
    for (int round = 0; round < 400; ++round) {
        MemoryFileSystem fs;
        fs.ListInNameOrder(round % 2 == 1);  // creation order (as FAT) and name order (as NTFS)
        RandomTree tree = MakeTree(fs, random);
        SearchIndex index;
        IndexKeepingFileSystem run(fs, index);
        for (int step = 0; step < 40; ++step) {
            const unsigned what = random() % 12;
            if (what < 6) {
                const std::string name = RandomName(random);
                const SearchState walked = Walk(fs, name);
                const SearchState indexed = Indexed(index, run, name);
                ASSERT_EQ(walked.found, indexed.found) << "round " << round << " step " << step << " " << name;
                ASSERT_EQ(walked.result, indexed.result) << "round " << round << " step " << step << " " << name;
                hits += walked.found ? 1 : 0;
            } else if (what < 8 && !tree.files.empty()) {
                // Deletions, mostly of files the search found (as the file list does).
                const std::string found = Walk(fs, RandomName(random)).result;
                const std::string victim =
                    !found.empty() && random() % 2 ? found : tree.files[random() % tree.files.size()];
                run.SetAttributes(victim, Attributes{});
                run.Delete(victim);
                ++changes;
            } else if (what == 8) {
                // A file moved or copied into the tree, as the 2da restore and the restores do;
                // often into the place of a file the run just deleted.
                std::string target = tree.folders[random() % tree.folders.size()] + "\\" + RandomName(random);
                const std::string found = Walk(fs, RandomName(random)).result;
                if (!found.empty() && random() % 2) {
                    run.Delete(found);
                    target = found;
                    ++movedBack;
                }
                fs.AddFile("C:\\Mods\\Tool\\backup\\in.2da", "b");
                if (random() % 3) {
                    run.Rename("C:\\Mods\\Tool\\backup\\in.2da", target);
                } else {
                    run.Copy("C:\\Mods\\Tool\\backup\\in.2da", target);
                }
                tree.files.push_back(target);
                ++changes;
            } else if (what == 9) {
                // A folder that becomes a system folder, or stops being one, or a new folder.
                const std::string folder = tree.folders[random() % tree.folders.size()];
                if (folder != kOverride && random() % 2) {
                    Attributes a;
                    a.system = random() % 2 == 0;
                    run.SetAttributes(folder, a);
                } else {
                    const std::string path = folder + "\\" + RandomName(random);
                    if (run.CreateFolder(path) == FsStatus::Ok) tree.folders.push_back(path);
                }
                ++changes;
            } else {
                // A prompt: the player may change the disk meanwhile, or not.
                if (what == 10) PlayerChange(fs, tree, random);
                run.ForgetCachedState();
                ++changes;
            }
        }
    }
    EXPECT_GT(hits, 1000);  // the rounds do find files, not only miss them
    EXPECT_GT(changes, 1000);
    EXPECT_GT(movedBack, 100);
}

TEST(SearchIndex, DeletionsKeepTheIndexWithoutAnotherWalk) {
    MemoryFileSystem fs;
    fs.AddFile(kOverride + "\\A\\x.tga", "1");
    fs.AddFile(kOverride + "\\B\\X.TGA", "2");
    fs.AddFile(kOverride + "\\x.tga", "3");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    EXPECT_EQ(Indexed(index, run, "X.tga").result, kOverride + "\\A\\x.tga");
    ASSERT_EQ(run.Delete(kOverride + "\\A\\x.tga"), FsStatus::Ok);
    EXPECT_EQ(Indexed(index, run, "x.tga").result, kOverride + "\\B\\X.TGA");
    fs.Delete(kOverride + "\\B\\X.TGA");  // behind the index's back: the check before the hit skips it
    EXPECT_EQ(Indexed(index, run, "x.tga").result, kOverride + "\\x.tga");
    EXPECT_EQ(index.Walks(), 1u);
    run.Delete(kOverride + "\\x.tga");
    EXPECT_FALSE(Indexed(index, run, "x.tga").found);
    EXPECT_EQ(index.Walks(), 1u);
}

TEST(SearchIndex, AFileMovedIntoTheTreeIsFoundByTheNextSearch) {
    MemoryFileSystem fs;
    fs.AddFile(kOverride + "\\Z\\other.2da", "1");
    fs.AddFile("C:\\Mods\\Tool\\backup\\appearance.2da", "b");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    EXPECT_FALSE(Indexed(index, run, "appearance.2da").found);
    ASSERT_EQ(run.Rename("C:\\Mods\\Tool\\backup\\appearance.2da", kOverride + "\\Z\\appearance.2da"), FsStatus::Ok);
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(Indexed(index, run, "appearance.2da").result, kOverride + "\\Z\\appearance.2da");
    EXPECT_EQ(index.Walks(), 2u);
}

TEST(SearchIndex, ClearingAFilesAttributesKeepsTheIndexAFoldersDoesNot) {
    MemoryFileSystem fs;
    Attributes system;
    system.system = true;
    fs.AddFolder(kOverride + "\\Sys", system);
    fs.AddFile(kOverride + "\\Sys\\x.tga", "1");
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kOverride + "\\y.tga", "2", readOnly);
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    EXPECT_FALSE(Indexed(index, run, "x.tga").found);  // system folders are not entered
    run.SetAttributes(kOverride + "\\y.tga", Attributes{});
    EXPECT_TRUE(index.Built());
    run.SetAttributes(kOverride + "\\Sys", Attributes{});
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(Indexed(index, run, "x.tga").result, kOverride + "\\Sys\\x.tga");
}

TEST(SearchIndex, ResultsFollowTheCaseOfEachCallsPattern) {
    MemoryFileSystem fs;
    fs.AddFile(kOverride + "\\Sub\\x.tga", "1");
    SearchIndex index;
    SearchState first;
    index.FindFile(fs, kPattern, "x.tga", true, first);
    SearchState second;
    index.FindFile(fs, "C:\\GAMES\\KOTOR\\OVERRIDE\\*.*", "x.tga", true, second);
    SearchState walked;
    RecurseFiles_FindFile(fs, "C:\\GAMES\\KOTOR\\OVERRIDE\\*.*", "x.tga", true, walked);
    EXPECT_EQ(second.result, walked.result);
    EXPECT_EQ(index.Walks(), 1u);
}

TEST(SearchIndex, WithoutSubfoldersOrUnderTheWalkStrategyEverySearchWalks) {
    MemoryFileSystem fs;
    fs.AddFile(kOverride + "\\Sub\\x.tga", "1");
    fs.AddFile(kOverride + "\\x.tga", "2");
    SearchIndex index;
    SearchState top;
    index.FindFile(fs, kPattern, "x.tga", false, top);
    EXPECT_EQ(top.result, kOverride + "\\x.tga");
    EXPECT_FALSE(index.Built());
    index.SetStrategy(SearchStrategy::Walk);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Indexed(index, fs, "x.tga").result, kOverride + "\\Sub\\x.tga");
    EXPECT_EQ(index.Walks(), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::List), 1u + 3u * 2u);
}

TEST(SearchIndex, AFolderThatCannotBeListedIsNotRemembered) {
    MemoryFileSystem fs;
    SearchIndex index;
    EXPECT_FALSE(Indexed(index, fs, "x.tga").found);
    EXPECT_FALSE(index.Built());
    fs.AddFile(kOverride + "\\Sub\\x.tga", "1");
    EXPECT_EQ(Indexed(index, fs, "x.tga").result, kOverride + "\\Sub\\x.tga");
}

TEST(IndexKeepingFileSystem, ForwardsEveryCall) {
    MemoryFileSystem fs;
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    fs.AddFolder("C:\\Top");
    ASSERT_EQ(run.CreateFolder("C:\\Top\\F"), FsStatus::Ok);
    ASSERT_EQ(run.WriteAll("C:\\Top\\F\\a.txt", "abc"), FsStatus::Ok);
    std::string bytes;
    ASSERT_EQ(run.ReadAll("C:\\Top\\F\\a.txt", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "abc");
    EXPECT_EQ(run.OpenForRead("C:\\Top\\F\\a.txt"), FsStatus::Ok);
    ASSERT_EQ(run.Copy("C:\\Top\\F\\a.txt", "C:\\Top\\F\\b.txt"), FsStatus::Ok);
    ASSERT_EQ(run.Rename("C:\\Top\\F\\b.txt", "C:\\Top\\F\\c.txt"), FsStatus::Ok);
    Attributes readOnly;
    readOnly.readOnly = true;
    ASSERT_EQ(run.SetAttributes("C:\\Top\\F\\c.txt", readOnly), FsStatus::Ok);
    Attributes got;
    ASSERT_EQ(run.GetAttributes("C:\\Top\\F\\c.txt", got), FsStatus::Ok);
    EXPECT_TRUE(got.readOnly);
    EXPECT_EQ(run.Delete("C:\\Top\\F\\c.txt"), FsStatus::AccessDenied);
    EXPECT_EQ(run.ShortPath("C:\\Top\\F\\a.txt"), fs.ShortPath("C:\\Top\\F\\a.txt"));
    EXPECT_EQ(run.ResolvedPath("C:\\Top\\F\\a.txt"), fs.ResolvedPath("C:\\Top\\F\\a.txt"));
    auto listing = run.List("C:\\Top\\F\\*.*");
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->Next()->name, "a.txt");
    EXPECT_EQ(fs.Contents("C:\\Top\\F\\c.txt"), "abc");
}

// When the player had control, the index no longer answers from what it knew before (a file the
// player added is found), and the roots reach the file system below.
TEST(IndexKeepingFileSystem, ForgettingCachedStateDropsTheIndex) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Top\\sub\\a.txt", "a");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    SearchState state;
    index.FindFile(run, "C:\\Top\\*.*", "a.txt", true, state);
    ASSERT_TRUE(index.Built());
    run.ForgetCachedState();
    fs.AddFile("C:\\Top\\b\\late.txt", "late");  // the player adds a file while a prompt is open
    state = SearchState{};
    index.FindFile(run, "C:\\Top\\*.*", "late.txt", true, state);
    EXPECT_EQ(state.result, "C:\\Top\\b\\late.txt");
    run.SetRoots({"C:\\Top"});
    EXPECT_EQ(fs.Roots(), std::vector<std::string>{"C:\\Top"});
    EXPECT_EQ(run.WriteAll("C:\\Elsewhere.txt", "x"), FsStatus::OutsideRoots);
}

// On the host the folder stamps keep the index through a prompt that changed nothing, with no
// folder read again, and a file the player put into a subfolder meanwhile is found.
TEST(SearchIndex, OnTheHostStampsKeepTheIndexThroughPromptsUntilThePlayerChangesAFolder) {
    char folderTemplate[] = "/tmp/zelvane-perf-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    std::string over = std::string("Z:") + folderTemplate + "/override";
    for (char& c : over)
        if (c == '/') c = '\\';
    PosixFileSystem host;
    ASSERT_EQ(host.CreateFolder(over), FsStatus::Ok);
    for (const char* sub : {"\\a", "\\a\\deep", "\\b"}) ASSERT_EQ(host.CreateFolder(over + sub), FsStatus::Ok);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(host.WriteAll(over + "\\a\\deep\\f" + std::to_string(i) + ".tga", "x"), FsStatus::Ok);
        ASSERT_EQ(host.WriteAll(over + "\\b\\g" + std::to_string(i) + ".tga", "x"), FsStatus::Ok);
    }
    host.ForgetCachedState();
    // Where times are coarse a folder just changed has no stamp for a while: the folders' last
    // changes must lie that window back, and the run's own deletion costs a walk after the prompt.
    const bool fine = !host.FolderStamp(over + "\\b").empty();
    if (!fine) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    SearchIndex index;
    bench::CountingFileSystem counted(host);
    IndexKeepingFileSystem run(counted, index);
    auto find = [&](const std::string& name) {
        SearchState state;
        index.FindFile(run, over + "\\*.*", name, true, state);
        return state.found ? state.result : std::string();
    };
    EXPECT_EQ(find("f3.tga"), over + "\\a\\deep\\f3.tga");
    ASSERT_EQ(run.Delete(over + "\\a\\deep\\f3.tga"), FsStatus::Ok);
    const std::uint64_t listings = counted.Calls(bench::SeamCall::List);
    for (int prompt = 0; prompt < 3; ++prompt) {
        run.ForgetCachedState();  // a prompt in which the player changed nothing
        EXPECT_EQ(find("g" + std::to_string(prompt) + ".tga"), over + "\\b\\g" + std::to_string(prompt) + ".tga");
    }
    EXPECT_EQ(find("f3.tga"), "");  // the run's deletion, not the player's change
    if (fine) {
        EXPECT_EQ(index.Walks(), 1u);
        EXPECT_EQ(counted.Calls(bench::SeamCall::List), listings);
    }

    const std::uint64_t walks = index.Walks();
    run.ForgetCachedState();
    std::FILE* late = std::fopen((std::string(folderTemplate) + "/override/a/deep/late.tga").c_str(), "w");
    ASSERT_NE(late, nullptr);
    std::fclose(late);
    EXPECT_EQ(find("LATE.tga"), over + "\\a\\deep\\late.tga");
    EXPECT_EQ(index.Walks(), walks + 1);
    std::filesystem::remove_all(folderTemplate);
}

// On a case-sensitive host two names may differ only in letter case; deleting one must not hide
// the other, nor let the deleted one be given out.
TEST(SearchIndex, CaseTwinsOnTheHost) {
    char folderTemplate[] = "/tmp/zelvane-perf-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const std::string root = std::string("Z:") + folderTemplate;
    std::string windowsRoot = root;
    for (char& c : windowsRoot)
        if (c == '/') c = '\\';
    PosixFileSystem host;
    const std::string over = windowsRoot + "\\override";
    ASSERT_EQ(host.CreateFolder(over), FsStatus::Ok);
    ASSERT_EQ(host.CreateFolder(over + "\\sub"), FsStatus::Ok);
    ASSERT_EQ(host.WriteAll(over + "\\sub\\x.tga", "1"), FsStatus::Ok);
    // A second name in other letter case: made on the host directly.
    const std::string hostSub = std::string(folderTemplate) + "/override/sub/";
    FILE* twin = std::fopen((hostSub + "X.tga").c_str(), "w");
    ASSERT_NE(twin, nullptr);
    std::fclose(twin);
    host.ForgetCachedState();  // made behind the file system's back

    SearchIndex index;
    IndexKeepingFileSystem run(host, index);
    const std::string pattern = over + "\\*.*";
    auto search = [&](const FileSystem& fs, bool indexed) {
        SearchState state;
        if (indexed)
            index.FindFile(fs, pattern, "x.TGA", true, state);
        else
            RecurseFiles_FindFile(fs, pattern, "x.TGA", true, state);
        return state;
    };
    EXPECT_EQ(search(run, true).result, search(host, false).result);
    std::remove((hostSub + search(host, false).result.substr(search(host, false).result.rfind('\\') + 1)).c_str());
    run.ForgetCachedState();  // removed behind the file system's back
    EXPECT_EQ(search(run, true).result, search(host, false).result);
    EXPECT_TRUE(search(host, false).found);
    std::remove((hostSub + "x.tga").c_str());
    std::remove((hostSub + "X.tga").c_str());
    std::remove(hostSub.c_str());
    std::remove((std::string(folderTemplate) + "/override").c_str());
    std::remove(folderTemplate);
}

}  // namespace
}  // namespace zelvane
