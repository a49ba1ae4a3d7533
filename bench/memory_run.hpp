#pragma once
// A whole removal run (confirmation to saved log) of a synthetic install on the in-memory file
// system, every prompt answered "&Yes", with the seam calls the run made counted.

#include <cstdint>
#include <memory>
#include <string>

#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "removal/removal_run.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::bench {

inline const std::string kMemoryGame = "C:\\Games\\Kotor2";
inline const std::string kMemoryProgram = "C:\\Mods\\Tool";

// Answers the first button of every prompt: the confirmation, the subfolder prompt and each table.
class YesUi final : public UserInterface {
public:
    int MsgBoxEx(PromptRequest) override { return 0; }
    void ShowMessage(std::string_view, std::string_view, std::uint32_t) override {}
    std::string BrowseFolderDialog(std::string_view, std::string_view) override { return ""; }
    std::string OpenFileDialog(const OpenFileRequest&) override { return ""; }
    int ShellOpen(std::string_view, std::string_view, std::string_view, int) override { return 42; }
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }
    int TextWidthTwips(std::string_view text, std::string_view, int, bool) override {
        return static_cast<int>(text.size()) * 120;
    }
};

// The K2 "Path" value names the game folder.
class GameRegistry final : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view key, std::string_view) const override {
        if (key.find("KotOR2") == std::string_view::npos) return std::nullopt;
        return RegistryValue{kRegSz, kMemoryGame + '\0'};
    }
};

struct MemoryInstall {
    std::unique_ptr<MemoryFileSystem> fs = std::make_unique<MemoryFileSystem>();
    SyntheticInstall plan;
    UninstallDescription description;
};

inline MemoryInstall MakeMemoryInstall(const TreeShape& shape) {
    MemoryInstall out;
    out.fs->ListInNameOrder();  // as the host file system and NTFS list
    out.fs->AddFile(kMemoryGame + "\\dialog.tlk", "TLK V3.0");
    out.plan = PlanInstall(shape);
    for (const std::string& folder : out.plan.folders) out.fs->AddFolder(kMemoryGame + "\\" + folder);
    for (const PlannedFile& file : out.plan.files) out.fs->AddFile(kMemoryGame + "\\" + file.path, file.bytes);
    UninstallDescription& d = out.description;
    d.DescriptionPath = kMemoryProgram + "\\uninstall\\uninstall_data.ini";
    out.fs->AddFile(d.DescriptionPath, FileListDescription(out.plan.entries, out.plan.tables));
    d.Game = 2;
    d.ConfirmTitle = "Confirm Remove Mod";
    d.ConfirmMessage = "Remove the mod?";
    for (const std::string& table : out.plan.tables) {
        d.Backup2daFiles.push_back(kMemoryProgram + "\\backup\\" + table);
        out.fs->AddFile(d.Backup2daFiles.back(), "2DA V2.0 original");
    }
    d.Restore2da = d.Backup2daAvailable = !d.Backup2daFiles.empty();
    return out;
}

struct MemoryRunResult {
    RunResult result;
    std::uint64_t seamCalls = 0;
    std::uint64_t listings = 0;
    std::uint64_t entriesRead = 0;  // directory entries handed out by listings
};

inline MemoryRunResult RunInMemory(MemoryInstall& install) {
    MemoryFileSystem& fs = *install.fs;
    const auto total = [&fs] {
        std::uint64_t n = 0;
        for (int op = 0; op <= static_cast<int>(FsOp::FolderStamp); ++op) n += fs.CallCount(static_cast<FsOp>(op));
        return n;
    };
    const std::uint64_t calls = total(), listings = fs.CallCount(FsOp::List), entries = fs.EntriesRead();
    YesUi ui;
    GameRegistry registry;
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, kMemoryProgram};
    MemoryRunResult out;
    out.result = RunRemoval(install.description, context);
    out.seamCalls = total() - calls;
    out.listings = fs.CallCount(FsOp::List) - listings;
    out.entriesRead = fs.EntriesRead() - entries;
    return out;
}

}  // namespace zelvane::bench
