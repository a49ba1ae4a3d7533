// The index gives the same answers as the depth-first walk: on many random trees while the run
// deletes, moves and copies files and changes folder attributes between searches, and on the host
// where the player changes folders during a prompt and names may differ only in letter case.
// What the index saves (no walk per entry, a folder read about once) is measured by the budget of
// tests/e2e/console_syscall_counts_test.cpp.

#include "util/search_index.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"
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

// What the random trees do not reach: a file deleted behind the index's back, a search whose
// pattern is written in other letter case, a search without subfolders, a tree that cannot be
// listed yet, and a copy into the tree through a link in the program folder.
TEST(SearchIndex, AnswersAsTheWalkInTheCornersOfItsRules) {
    MemoryFileSystem fs;
    fs.AddFile(kOverride + "\\A\\x.tga", "1");
    fs.AddFile(kOverride + "\\B\\X.TGA", "2");
    fs.AddFile(kOverride + "\\x.tga", "3");
    fs.AddFile("C:\\Mods\\Tool\\backup\\a.2da", "b");
    fs.AddLink("C:\\Mods\\Tool\\Into", kOverride + "\\B");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    EXPECT_EQ(Indexed(index, run, "X.tga").result, kOverride + "\\A\\x.tga");
    ASSERT_EQ(run.Delete(kOverride + "\\A\\x.tga"), FsStatus::Ok);
    EXPECT_EQ(Indexed(index, run, "x.tga").result, kOverride + "\\B\\X.TGA");
    fs.Delete(kOverride + "\\B\\X.TGA");
    EXPECT_EQ(Indexed(index, run, "x.tga").result, kOverride + "\\x.tga");

    SearchState upper;
    index.FindFile(run, "C:\\GAMES\\KOTOR\\OVERRIDE\\*.*", "x.tga", true, upper);
    EXPECT_EQ(upper.result, "C:\\GAMES\\KOTOR\\OVERRIDE\\x.tga");
    SearchState top;
    index.FindFile(run, kPattern, "a.2da", false, top);
    EXPECT_FALSE(top.found);

    ASSERT_EQ(run.Copy("C:\\Mods\\Tool\\backup\\a.2da", "C:\\Mods\\Tool\\Into\\a.2da"), FsStatus::Ok);
    EXPECT_EQ(Indexed(index, run, "a.2da").result, kOverride + "\\B\\a.2da");
    run.Delete(kOverride + "\\x.tga");
    EXPECT_FALSE(Indexed(index, run, "x.tga").found);

    MemoryFileSystem empty;
    SearchIndex later;
    EXPECT_FALSE(Indexed(later, empty, "x.tga").found);
    empty.AddFile(kOverride + "\\Sub\\x.tga", "1");
    EXPECT_EQ(Indexed(later, empty, "x.tga").result, kOverride + "\\Sub\\x.tga");
}

// On the host: a file the player put into a subfolder while a prompt was open is found, also where
// the folders' stamps kept the index through earlier prompts; and of two names that differ only
// in letter case, deleting one neither hides the other nor lets the deleted one be given out.
TEST(SearchIndex, OnTheHostPlayersChangesAndCaseTwinsAreSeen) {
    char folderTemplate[] = "/tmp/zelvane-perf-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const std::string host = std::string(folderTemplate) + "/override";
    std::string over = "Z:" + host;
    for (char& c : over) c = c == '/' ? '\\' : c;
    PosixFileSystem fs;
    ASSERT_EQ(fs.CreateFolder(over), FsStatus::Ok);
    for (const char* sub : {"\\a", "\\a\\deep", "\\b"}) ASSERT_EQ(fs.CreateFolder(over + sub), FsStatus::Ok);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(fs.WriteAll(over + "\\a\\deep\\f" + std::to_string(i) + ".tga", "x"), FsStatus::Ok);
        ASSERT_EQ(fs.WriteAll(over + "\\b\\g" + std::to_string(i) + ".tga", "x"), FsStatus::Ok);
    }
    for (const char* twin : {"/b/x.tga", "/b/X.tga"}) std::fclose(std::fopen((host + twin).c_str(), "w"));
    fs.ForgetCachedState();
    // Where times are coarse a folder just changed has no stamp for a while.
    if (fs.FolderStamp(over + "\\b").empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    auto find = [&](const std::string& name) {
        SearchState indexed;
        index.FindFile(run, over + "\\*.*", name, true, indexed);
        SearchState walked;
        RecurseFiles_FindFile(fs, over + "\\*.*", name, true, walked);
        EXPECT_EQ(indexed.result, walked.result) << name;
        return indexed.found ? indexed.result : std::string();
    };
    EXPECT_EQ(find("f3.tga"), over + "\\a\\deep\\f3.tga");
    ASSERT_EQ(run.Delete(over + "\\a\\deep\\f3.tga"), FsStatus::Ok);
    for (int prompt = 0; prompt < 2; ++prompt) {
        run.ForgetCachedState();  // a prompt in which the player changed nothing
        EXPECT_EQ(find("g" + std::to_string(prompt) + ".tga"), over + "\\b\\g" + std::to_string(prompt) + ".tga");
    }
    EXPECT_EQ(find("f3.tga"), "");
    run.ForgetCachedState();
    std::fclose(std::fopen((host + "/a/deep/late.tga").c_str(), "w"));
    EXPECT_EQ(find("LATE.tga"), over + "\\a\\deep\\late.tga");

    const std::string first = find("x.TGA");
    ASSERT_FALSE(first.empty());
    std::remove((host + "/b/" + first.substr(first.rfind('\\') + 1)).c_str());
    run.ForgetCachedState();  // removed behind the file system's back
    EXPECT_NE(find("x.TGA"), "");
    std::filesystem::remove_all(folderTemplate);
}

}  // namespace
}  // namespace zelvane
