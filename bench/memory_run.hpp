#pragma once
// A whole removal run (confirmation to saved log) of a synthetic install on the in-memory file
// system, every prompt answered "&Yes", with the seam calls counted.

#include <cstdint>
#include <memory>
#include <string>

#include "bench/counting_file_system.hpp"
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
    int prompts = 0;
    int MsgBoxEx(PromptRequest) override { return ++prompts, 0; }
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
    explicit GameRegistry(std::string game) : game_(std::move(game)) {}
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view key, std::string_view) const override {
        if (key.find("KotOR2") == std::string_view::npos) return std::nullopt;
        return RegistryValue{kRegSz, game_ + '\0'};
    }

private:
    std::string game_;
};

struct MemoryInstall {
    std::unique_ptr<MemoryFileSystem> fs = std::make_unique<MemoryFileSystem>();
    SyntheticInstall plan;
    UninstallDescription description;
};

inline MemoryInstall MakeMemoryInstall(const TreeShape& shape) {
    MemoryInstall out;
    out.fs->ListInNameOrder();  // as the host file system and NTFS list
    out.fs->AddFolder(kMemoryGame);
    out.fs->AddFile(kMemoryGame + "\\dialog.tlk", "TLK V3.0");
    out.plan = BuildInstall(*out.fs, kMemoryGame, shape);
    const std::string ini = kMemoryProgram + "\\uninstall\\uninstall_data.ini";
    out.fs->AddFile(ini, FileListDescription(out.plan.entries, out.plan.tables));
    UninstallDescription& d = out.description;
    d.DescriptionPath = ini;
    d.Game = 2;
    d.ConfirmTitle = "Confirm Remove Mod";
    d.ConfirmMessage = "Remove the mod?";
    d.Restore2da = !out.plan.tables.empty();
    for (const std::string& table : out.plan.tables) {
        const std::string backup = kMemoryProgram + "\\backup\\" + table;
        out.fs->AddFile(backup, "2DA V2.0 original");
        d.Backup2daFiles.push_back(backup);
    }
    d.Backup2daAvailable = !d.Backup2daFiles.empty();
    return out;
}

struct MemoryRunResult {
    RunResult result;
    std::uint64_t seamCalls = 0;
    std::uint64_t listings = 0;
    std::uint64_t stamps = 0;       // folder stamps asked for
    std::uint64_t entriesRead = 0;  // directory entries handed out by listings
    int prompts = 0;
};

inline MemoryRunResult RunInMemory(MemoryInstall& install) {
    CountingFileSystem counted(*install.fs);
    YesUi ui;
    GameRegistry registry(kMemoryGame);
    FolderBrowser browser;
    RunContext context{counted, registry, ui, browser, kMemoryProgram};
    const std::uint64_t before = install.fs->EntriesRead();
    MemoryRunResult out;
    out.result = RunRemoval(install.description, context);
    out.seamCalls = counted.TotalCalls();
    out.listings = counted.Calls(SeamCall::List);
    out.stamps = counted.Calls(SeamCall::FolderStamp);
    out.entriesRead = install.fs->EntriesRead() - before;
    out.prompts = ui.prompts;
    return out;
}

}  // namespace zelvane::bench
