#include "removal/game_folder.hpp"

#include "platform/game_keys.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/prompt_helper.hpp"
#include "util/common.hpp"
#include "util/registry_lookup.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

constexpr std::string_view kTalkTableHeader = "TLK V3.0";
static_assert(kTalkTableHeader.size() == kTalkTableHeaderSize);
constexpr std::uint32_t kStopStyleInformation = kMbOk | kMbIconInformation | kMbSystemModal;  // 0x1040
constexpr std::uint32_t kStopStyleExclamation = kMbOk | kMbIconExclamation | kMbSystemModal;  // 0x1030

void TellRegistryMissing(RunState& run) {
    PromptSpec spec;
    spec.title = "Error";
    spec.iconType = 4;
    spec.buttonCount = 1;
    spec.captions = {"&Ok", "", "", ""};
    spec.focusIndex = 0;
    const std::string text = std::string("Unable to locate Kotor folder via registry.\\par ") + std::string(kCrLf) +
                             "\\par " + std::string(kCrLf) + "Please browse for the folder";
    AskPrompt(run, text, spec);
}

// Only the header is read, whatever the size of the file.
bool HasTalkTableHeader(const FileSystem& fs, const std::string& path) {
    std::string bytes;
    ThrowIfFailed(fs.ReadHead(path, bytes, kTalkTableHeaderSize));
    return bytes == kTalkTableHeader;
}

}  // namespace

std::string FindNormalFileName(const FileSystem& fs, std::string_view folder, std::string_view name) {
    auto listing = fs.List(AddBackslash(folder) + std::string(name));
    if (!listing) return {};
    while (auto entry = listing->Next()) {
        const Attributes& a = entry->attributes;
        if (!a.directory && !a.hidden && !a.system) return entry->name;
    }
    return {};
}

std::string LauncherGameFolder(const FileSystem& fs, const Registry& registry, Game game) {
    const GameKeys* keys = KeysOfGame(GameNumber(game));
    if (keys == nullptr) return {};
    const std::pair<std::string, std::string_view> places[] = {
        {SteamUninstallKey(*keys), kSteamLocationValue},
        {Wow6432NodeKey(SteamUninstallKey(*keys)), kSteamLocationValue},
        {GogGameKey(*keys), kGogPathValue},
        {Wow6432NodeKey(GogGameKey(*keys)), kGogPathValue},
    };
    for (const auto& [key, value] : places) {
        const std::string folder = ReadRegistryString(registry, kHkeyLocalMachine, key, value);
        if (!folder.empty() && !FindNormalFileName(fs, folder, "dialog.tlk").empty()) return folder;
    }
    return {};
}

GameFolderCheck CheckGameFolder(const FileSystem& fs, const std::string& folder) {
    if (folder.empty() || !FolderExists(fs, folder)) return GameFolderCheck::InvalidFolder;
    const std::string tlkPath = AddBackslash(folder) + FindNormalFileName(fs, folder, "dialog.tlk");
    if (!FileExists(fs, tlkPath)) return GameFolderCheck::InvalidFolder;
    if (!HasTalkTableHeader(fs, tlkPath)) return GameFolderCheck::InvalidTalkTable;
    return GameFolderCheck::Valid;
}

void ShowGameFolderStop(UserInterface& ui, GameFolderCheck check) {
    if (check == GameFolderCheck::InvalidTalkTable) {
        ui.ShowMessage(std::string("Invalid dialog.tlk file.") + std::string(kCrLf) + std::string(kCrLf) +
                           "If you've made a testing folder copy the real dialog.tlk to it.",
                       "Aborting", kStopStyleExclamation);
    } else if (check == GameFolderCheck::InvalidFolder) {
        ui.ShowMessage("Invalid game folder - shutting down.", "Aborting", kStopStyleInformation);
    }
}

std::string RegistryGameFolder(const Registry& registry, Game game) {
    return ReadRegistryString(registry, kHkeyLocalMachine, KeysOfGame(GameNumber(game))->pathKey, "Path");
}

bool LocateGameFolder(RunState& run) {
    run.gameFolder = RegistryGameFolder(run.context.registry, *run.game);
    if (FolderExists(run.fs(), run.gameFolder)) return true;

    TellRegistryMissing(run);
    const std::string start = LauncherGameFolder(run.fs(), run.context.registry, *run.game);
    const std::string browsed = run.context.browser.BrowseForFolder(run.ui(), start, "Find Kotor main folder", 0);
    run.PlayerHadControl();
    const GameFolderCheck check = CheckGameFolder(run.fs(), browsed);
    if (check != GameFolderCheck::Valid) {
        ShowGameFolderStop(run.ui(), check);
        return false;
    }
    run.gameFolder = browsed;
    return true;
}

}  // namespace zelvane
