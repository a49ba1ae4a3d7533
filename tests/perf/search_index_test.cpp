// The index gives the same answers as the depth-first walk: on random trees while the run changes
// them between searches, and on the host where the player changes folders during a prompt and
// names differ only in letter case.

#include "util/search_index.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

// What the walk and the index find ("" when nothing).
std::string Walk(const FileSystem& fs, const std::string& name, const std::string& pattern = kPattern) {
    SearchState state;
    RecurseFiles_FindFile(fs, pattern, name, true, state);
    return state.found ? state.result : "";
}
std::string Indexed(SearchIndex& index, const FileSystem& fs, const std::string& name,
                    const std::string& pattern = kPattern, bool subfolders = true) {
    SearchState state;
    index.FindFile(fs, pattern, name, subfolders, state);
    return state.found ? state.result : "";
}

// Random trees of few names in random letter case (names repeat across folders and differ only in
// case), hidden, system and read-only entries, and folder links that neither search enters.
struct RandomTree {
    std::mt19937 random{20261206};
    std::vector<std::string> folders;  // override and every folder below it
    std::vector<std::string> files;    // every file made (some may be gone later)
    std::vector<std::string> deleted;  // what the run deleted

    bool OneIn(unsigned n) { return random() % n == 0; }
    const std::string& Any(const std::vector<std::string>& from) { return from[random() % from.size()]; }
    std::string Name() {
        std::string name = Any({"a", "b", "appearance", "c_x", "x"}) + Any({".tga", ".2da", ".uti", ""});
        for (char& c : name) c = OneIn(3) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        return name;
    }
    std::string NewPath() { return Any(folders) + "\\" + Name(); }

    void Make(MemoryFileSystem& fs) {
        folders = {kOverride}, files = {}, deleted = {};
        fs.AddFolder(kOverride);
        for (int i = 10 + static_cast<int>(random() % 60); i > 0; --i) {
            const std::string path = NewPath();
            if (fs.Exists(path)) continue;
            if (OneIn(15) && folders.size() > 1) {
                fs.AddLink(path, Any(folders));  // up the tree or across
            } else if (OneIn(4)) {
                fs.AddFolder(path, Attributes{.hidden = OneIn(3), .system = OneIn(4)});
                folders.push_back(path);
            } else {
                fs.AddFile(path, "x", Attributes{.readOnly = OneIn(6), .hidden = OneIn(5), .system = OneIn(7)});
                files.push_back(path);
            }
        }
    }
};

TEST(SearchIndex, AgreesWithTheWalkOnRandomTreesWhileTheRunChangesThem) {
    RandomTree tree;
    int hits = 0;
    for (int round = 0; round < 400; ++round) {
        MemoryFileSystem fs;
        fs.ListInNameOrder(round % 2 == 1);  // creation order (as FAT) and name order (as NTFS)
        tree.Make(fs);
        SearchIndex index;
        IndexKeepingFileSystem run(fs, index);
        for (int step = 0; step < 40; ++step) {
            const unsigned what = tree.random() % 12;
            if (what < 6) {
                const std::string name = tree.Name();
                const std::string walked = Walk(fs, name);
                ASSERT_EQ(Indexed(index, run, name), walked) << "round " << round << " step " << step;
                hits += walked.empty() ? 0 : 1;
            } else if (what < 8 && !tree.files.empty()) {
                // Deletions, mostly of files the search found (as the file list does).
                const std::string found = Walk(fs, tree.Name());
                const std::string victim = !found.empty() && tree.OneIn(2) ? found : tree.Any(tree.files);
                run.SetAttributes(victim, Attributes{});
                if (run.Delete(victim) == FsStatus::Ok) tree.deleted.push_back(victim);
            } else if (what == 8) {
                // A file moved or copied into the tree, as the 2da restore and the restores do;
                // often into the place of a file the run just deleted or deleted before.
                std::string target = tree.NewPath();
                const std::string found = Walk(fs, tree.Name());
                if (!tree.deleted.empty() && tree.OneIn(3)) {
                    target = tree.Any(tree.deleted);
                } else if (!found.empty() && tree.OneIn(2)) {
                    run.Delete(found);
                    target = found;
                }
                const std::string in = "C:\\Mods\\Tool\\backup\\in.2da";
                fs.AddFile(in, "b");
                tree.OneIn(3) ? run.Copy(in, target) : run.Rename(in, target);
                tree.files.push_back(target);
            } else if (what == 9) {
                // A folder that becomes a system folder, or stops being one, or a new folder.
                const std::string folder = tree.Any(tree.folders);
                if (folder != kOverride && tree.OneIn(2)) {
                    run.SetAttributes(folder, Attributes{.system = tree.OneIn(2)});
                } else if (const std::string path = folder + "\\" + tree.Name();
                           run.CreateFolder(path) == FsStatus::Ok) {
                    tree.folders.push_back(path);
                }
            } else {
                // A prompt: the player may change the disk meanwhile, straight on the disk, or not.
                const std::string path = tree.NewPath();
                if (what == 11) {
                    // nothing changed
                } else if (tree.OneIn(3) && !fs.Exists(path)) {
                    fs.AddFile(path, "player's");
                    tree.files.push_back(path);
                } else if (tree.OneIn(2) && !tree.files.empty()) {
                    if (fs.Rename(tree.Any(tree.files), path) == FsStatus::Ok) tree.files.push_back(path);
                } else if (tree.OneIn(2) && !tree.files.empty()) {
                    fs.Delete(tree.Any(tree.files));
                } else if (fs.CreateFolder(path) == FsStatus::Ok) {
                    tree.folders.push_back(path);
                }
                run.ForgetCachedState();
            }
        }
    }
    EXPECT_GT(hits, 1000);  // the rounds do find files, not only miss them
}

// What the random trees do not reach: a file deleted behind the index's back, a search whose
// pattern is written in other letter case, a search without subfolders, a tree that cannot be
// listed yet, and a copy into the tree through a link in the program folder.
TEST(SearchIndex, AnswersAsTheWalkInTheCornersOfItsRules) {
    MemoryFileSystem fs, empty;
    for (const char* path : {"\\A\\x.tga", "\\B\\X.TGA", "\\x.tga"}) fs.AddFile(kOverride + path, "1");
    fs.AddFile("C:\\Mods\\Tool\\backup\\a.2da", "b");
    fs.AddLink("C:\\Mods\\Tool\\Into", kOverride + "\\B");
    SearchIndex index, later;
    IndexKeepingFileSystem run(fs, index);
    std::vector<std::string> found = {Indexed(index, run, "X.tga"), Indexed(index, run, "X.tga", kPattern, false)};
    run.Delete(kOverride + "\\A\\x.tga");
    found.push_back(Indexed(index, run, "x.tga"));
    fs.Delete(kOverride + "\\B\\X.TGA");
    found.push_back(Indexed(index, run, "x.tga"));
    found.push_back(Indexed(index, run, "x.tga", "C:\\GAMES\\KOTOR\\OVERRIDE\\*.*"));
    run.Copy("C:\\Mods\\Tool\\backup\\a.2da", "C:\\Mods\\Tool\\Into\\a.2da");
    found.push_back(Indexed(index, run, "a.2da"));
    run.Delete(kOverride + "\\x.tga");
    found.push_back(Indexed(index, run, "x.tga"));
    found.push_back(Indexed(later, empty, "x.tga"));
    empty.AddFile(kOverride + "\\Sub\\x.tga", "1");
    found.push_back(Indexed(later, empty, "x.tga"));
    const std::string o = kOverride + "\\";
    EXPECT_EQ(found, (std::vector<std::string>{o + "A\\x.tga", o + "x.tga", o + "B\\X.TGA", o + "x.tga",
                                               "C:\\GAMES\\KOTOR\\OVERRIDE\\x.tga", o + "B\\a.2da", "", "",
                                               o + "Sub\\x.tga"}));
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
    const auto make = [&](const std::string& file) {
        std::filesystem::create_directories(std::filesystem::path(host + file).parent_path());
        std::ofstream(host + file) << "x";
    };
    for (int i = 0; i < 5; ++i) {
        for (const char* file : {"/a/deep/f", "/b/g"}) make(file + std::to_string(i) + ".tga");
    }
    for (const char* twin : {"/b/x.tga", "/b/X.tga"}) make(twin);
    PosixFileSystem fs;
    // Where times are coarse a folder just changed has no stamp for a while.
    if (fs.FolderStamp(over + "\\b").empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    auto find = [&](const std::string& name) {
        const std::string indexed = Indexed(index, run, name, over + "\\*.*");
        EXPECT_EQ(indexed, Walk(fs, name, over + "\\*.*")) << name;
        return indexed;
    };
    EXPECT_EQ(find("f3.tga"), over + "\\a\\deep\\f3.tga");
    ASSERT_EQ(run.Delete(over + "\\a\\deep\\f3.tga"), FsStatus::Ok);
    for (int prompt = 0; prompt < 2; ++prompt) {
        run.ForgetCachedState();  // a prompt in which the player changed nothing
        EXPECT_EQ(find("g" + std::to_string(prompt) + ".tga"), over + "\\b\\g" + std::to_string(prompt) + ".tga");
    }
    EXPECT_EQ(find("f3.tga"), "");
    run.ForgetCachedState();
    make("/a/deep/late.tga");
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
