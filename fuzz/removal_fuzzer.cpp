// Whole removals: start-up and a removal run over a random in-memory game folder, program folder
// and description, with links that lead out, folders swapped for links while a prompt is open,
// backups and documents that are links, pipes or devices or far too large, folders that take no
// new file, random answers and injected failures. After every run:
//  - nothing outside the game and program folders changed (bytes and attributes);
//  - every 2da table and every .original file that was there at the start still exists somewhere
//    (the copies an earlier run left in Backup Uninstall are the run's to replace);
//  - when no change failed and the player swapped nothing, every table in use is still at its
//    place: the 2da restore deletes one only once every step that puts the backup there is known
//    to work;
//  - the error total equals the failure lines of the log.
//
// The input is read from the front: a layout byte, the tree, the description, then the answers.
// With ZELVANE_FUZZ_SHOW set, each run prints its log and error total (to read a kept input).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup.hpp"
#include "fuzz/fuzz_support.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "platform/seams/registry.hpp"
#include "removal/removal_run.hpp"
#include "util/browse_folders.hpp"
#include "util/text/case_folding.hpp"

namespace {

using namespace zelvane;

const std::string kGame = "C:\\Games\\Kotor";
const std::string kOverride = kGame + "\\override";
const std::string kOutside = "D:\\Outside";

template <std::size_t N>
const std::string& Pick(fuzz::InputReader& in, const std::array<std::string, N>& pool) {
    return pool[in.Byte() % N];
}

const std::array<std::string, 6> kFolders = {"override", "override\\sub", "override\\deep\\er", "movies",
                                             "",         "override\\link"};
const std::array<std::string, 7> kNames = {"a.tga", "b.uti", "c.tga", "d.tga", "x.tga", "y.tga", "m.bik"};
const std::array<std::string, 3> kTables = {"appearance.2da", "feat.2da", "spells.2da"};
// File-list and queued-delete entries: plain names, names that lead out or name no plain file.
// None names a table or an .original file, which the description may not delete.
const std::array<std::string, 14> kEntries = {
    "override\\a.tga",           "override\\b.uti",    "override\\c.tga", "override\\sub\\d.tga",
    "override\\link\\x.tga",     "override\\evil.tga", "..\\outside.txt", "override\\*.uti",
    "override\\c.tga.",          "override\\CON",      "movies\\m.bik",   "override\\y.tga ",
    "override\\deep\\er\\a.tga", "override\\x.tga"};
const std::array<std::string, 5> kRestores = {"override\\x.tga", "override\\y.tga", "override\\sub\\x.tga",
                                              "override\\evil.tga", "override\\link\\y.tga"};

// Outside the roots: what must never change.
void AddOutside(MemoryFileSystem& fs) {
    fs.AddFile(kOutside + "\\save.sav", "outside save");
    fs.AddFile(kOutside + "\\profile", "outside profile", Attributes{.readOnly = true});
    fs.AddFile(kOutside + "\\sub\\appearance.2da", "outside table");
    fs.AddFile(kOutside + "\\sub\\x.tga", "outside x");
    fs.AddFile(kOutside + "\\sub\\x.tga.original", "outside x.original");
    fs.AddFile(kOutside + "\\sub\\a.tga", "outside a");
    fs.AddFile("C:\\Games\\precious.txt", "outside precious");
    // A file that reads on and on, as a device or /proc/self/pagemap does.
    fs.AddSparseFile(kOutside + "\\endless", "endless", kTableLimit * 4);
}

std::vector<std::string> LinkTargets(const std::string& program) {
    return {kOutside,
            kOutside + "\\sub",
            kOutside + "\\save.sav",
            kOutside + "\\gone.sav",
            kOverride,
            program + "\\backup",
            "C:\\Games",
            kOutside + "\\profile",
            kOutside + "\\endless",
            kOverride + "\\appearance.2da"};
}

std::vector<std::string> LinkPlaces(const std::string& program) {
    return {kOverride + "\\link",
            kOverride + "\\evil.tga",
            kOverride + "\\sub\\appearance.2da",
            program + "\\Backup Uninstall",
            program + "\\Backup Uninstall\\appearance.2da",
            program + "\\uninstall\\removal_results.rtf",
            program + "\\uninstall\\uninstall_data20A.ini",
            kOverride + "\\loop",
            kOverride + "\\x.tga.original",
            program + "\\backup\\appearance.2da",
            program + "\\backup\\feat.2da",
            program + "\\uninstall\\uninstall_info.rtf"};
}

// Folders a player may swap for a link while a prompt is open.
std::vector<std::string> SwapPlaces(const std::string& program) {
    return {kOverride + "\\sub", kOverride + "\\deep", kOverride, program + "\\Backup Uninstall", program + "\\backup"};
}

class FuzzRegistry : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view, std::string_view) const override {
        return RegistryValue{kRegSz, kGame + std::string(1, '\0')};
    }
};

class NoOtherInstance : public InstanceCheck {
public:
    bool AnotherInstanceRunning() override { return false; }
};

// Answers from the input; now and then the player swaps a folder for a link while a prompt or the
// file dialog is open.
class FuzzUi : public fuzz::QuietUi {
public:
    FuzzUi(fuzz::InputReader& in, MemoryFileSystem& fs, std::string program)
        : in_(in), fs_(fs), program_(std::move(program)) {}

    int MsgBoxEx(PromptRequest request) override {
        if (++prompts_ > 200) return 0;  // a run asks a bounded number of questions
        PlayerActs();
        const int buttons = request.buttonCount < 1 ? 1 : request.buttonCount;
        return static_cast<int>(in_.Byte() % static_cast<unsigned>(buttons + 1)) - 1;
    }
    bool Acted() const { return acted_; }

    std::string OpenFileDialog(const OpenFileRequest&) override {
        if (++dialogs_ > 20) return "";
        PlayerActs();
        const std::vector<std::string> choices = {"",
                                                  kOverride + "\\sub\\appearance.2da",
                                                  kOverride + "\\appearance.2da",
                                                  kOutside + "\\sub\\appearance.2da",
                                                  program_ + "\\backup\\appearance.2da",
                                                  program_ + "\\Backup Uninstall\\appearance.2da",
                                                  kOverride + "\\link\\feat.2da"};
        return choices[in_.Byte() % choices.size()];
    }

private:
    void PlayerActs() {
        if (in_.Byte() % 4 != 0) return;
        const std::vector<std::string> places = SwapPlaces(program_);
        const std::vector<std::string> targets = LinkTargets(program_);
        const std::string& place = places[in_.Byte() % places.size()];
        const std::string& target = targets[in_.Byte() % targets.size()];
        // The folder is moved aside, as a player would, and a link takes its name.
        acted_ = true;
        (void)fs_.Rename(place, place + ".moved");
        try {
            fs_.AddLink(place, target);
        } catch (const std::invalid_argument&) {
        }
    }

    fuzz::InputReader& in_;
    MemoryFileSystem& fs_;
    std::string program_;
    int prompts_ = 0;
    int dialogs_ = 0;
    bool acted_ = false;
};

std::string ProgramFolder(std::uint8_t layout) {
    switch (layout % 3) {
        case 1: return kOverride + "\\ModTool";  // a mod unpacked into override
        case 2: return "E:\\Mods\\Tool";         // another volume
        default: return "C:\\Mods\\Tool";
    }
}

void BuildTree(fuzz::InputReader& in, MemoryFileSystem& fs, const std::string& program, int& serial) {
    const int items = in.Byte() % 24;
    for (int i = 0; i < items; ++i) {
        const std::string content = "content " + std::to_string(++serial);
        try {
            switch (in.Byte() % 9) {
                case 0: {
                    const std::string& folder = Pick(in, kFolders);
                    fs.AddFile(kGame + (folder.empty() ? "" : "\\" + folder) + "\\" + Pick(in, kNames), content);
                    break;
                }
                case 1: {
                    const std::string path = kGame + "\\" + Pick(in, kRestores);
                    fs.AddFile(path, content + " mod");
                    fs.AddFile(path + ".original", content + " original");
                    break;
                }
                case 2: {
                    const std::string& folder = Pick(in, kFolders);
                    fs.AddFile(kGame + (folder.empty() ? "" : "\\" + folder) + "\\" + Pick(in, kTables),
                               content + " table in use");
                    break;
                }
                case 3: fs.AddFile(program + "\\backup\\" + Pick(in, kTables), content + " backup"); break;
                case 4: {
                    const std::string& table = Pick(in, kTables);
                    fs.AddFile(program + "\\Backup Uninstall\\" + (in.Byte() % 2 ? "original install backup." : "") +
                                   table,
                               content + " earlier run");
                    break;
                }
                case 5: {
                    const std::vector<std::string> places = LinkPlaces(program);
                    const std::vector<std::string> targets = LinkTargets(program);
                    fs.AddLink(places[in.Byte() % places.size()], targets[in.Byte() % targets.size()]);
                    break;
                }
                case 6: {
                    const std::string path = kOverride + "\\" + Pick(in, kNames);
                    fs.AddFile(path, content, Attributes{.readOnly = (in.Byte() % 2) == 0});
                    if (in.Byte() % 4 == 0) fs.Lock(path);
                    break;
                }
                case 7:
                    fs.AddFolder(kOverride + "\\" + (in.Byte() % 2 ? "sys" : "hid"),
                                 Attributes{.hidden = true, .system = (in.Byte() % 2) == 0});
                    break;
                default: {
                    // What a program folder may hold besides regular files of a sane size.
                    const std::string place = in.Byte() % 2 ? program + "\\backup\\" + Pick(in, kTables)
                                                            : program + "\\uninstall\\uninstall_info.rtf";
                    if (in.Byte() % 2) {
                        fs.AddSpecialFile(place);
                    } else {
                        fs.AddSparseFile(place, content + " too large", kTableLimit + 1);
                    }
                    break;
                }
            }
        } catch (const std::invalid_argument&) {
            // A link or a file in the way of another: that item is left out.
        }
    }
}

std::string QEntry(const std::string& kind, int number, const std::string& file) {
    const std::string n = std::to_string(number);
    return "#" + kind + "_" + n + "=" + file + "\r\n#" + kind + "_begin_" + n + "#\r\nSure?\r\n#" + kind + "_end_" + n +
           "#\r\n";
}

std::string BuildDescription(fuzz::InputReader& in) {
    std::string text = "#game=" + std::to_string(1 + in.Byte() % 2) + "\r\n";
    if (in.Byte() % 3 != 0) text += "#qrestore_2da=1\r\n#qrestore_2da_files=appearance.2da,feat.2da\r\n";
    const int deletes = in.Byte() % 4;
    for (int i = 0; i < deletes; ++i) text += QEntry("qdelete_file", i, Pick(in, kEntries));
    const int restores = in.Byte() % 4;
    for (int i = 0; i < restores; ++i) text += QEntry("qrestore_file", i, Pick(in, kRestores));
    text += "#file_list\r\n";
    const int entries = in.Byte() % 12;
    for (int i = 0; i < entries; ++i) text += Pick(in, kEntries) + "\r\n";
    return text;
}

bool Below(const std::string& path, const std::string& folder) {
    if (path.size() <= folder.size() + 1 || path[folder.size()] != '\\') return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (LowerCase(path[i]) != LowerCase(folder[i])) return false;
    }
    return true;
}

bool IsTableOrOriginal(const std::string& path) {
    const std::string lower = LowerCase(path);
    return lower.ends_with(".2da") || lower.ends_with(".original");
}

// Failure lines of the log: each is counted once in the error total.
int FailureLines(const std::string& log) {
    int count = 0;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos) end = log.size();
        const std::string_view line(log.data() + start, end - start);
        if (line.find("\\cf10 Delete Failure - ") != std::string_view::npos ||
            line.find("\\cf10 Failure Renaming ") != std::string_view::npos ||
            line.find("\\cf10 Failure Moving ") != std::string_view::npos ||
            line.find("\\cf10 Refused (") != std::string_view::npos ||
            line.find("\\cf10 Backup not restored: ") != std::string_view::npos) {
            ++count;
        }
        start = end + 2;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::string program = ProgramFolder(in.Byte());
    const std::string backupUninstall = program + "\\Backup Uninstall";

    MemoryFileSystem fs;
    AddOutside(fs);
    fs.AddFile(kGame + "\\dialog.tlk", "TLK V3.0 strings");
    fs.AddFolder(kOverride);
    fs.AddFolder(program + "\\uninstall");
    int serial = 0;
    BuildTree(in, fs, program, serial);
    try {
        const std::string description = BuildDescription(in);
        if (in.Byte() % 16 == 0) {
            fs.AddSparseFile(program + "\\uninstall\\uninstall_data.ini", description, kDescriptionLimit + 1);
        } else {
            fs.AddFile(program + "\\uninstall\\uninstall_data.ini", description);
        }
    } catch (const std::invalid_argument&) {
        return 0;
    }
    const bool faulty = in.Byte() % 4 == 0;
    if (faulty) {
        static constexpr FsStatus kFaults[] = {FsStatus::IoError, FsStatus::AccessDenied, FsStatus::DiskFull,
                                               FsStatus::SharingViolation};
        fs.FailMutation(in.Byte() % 32, kFaults[in.Byte() % 4]);
    }
    if (in.Byte() % 4 == 0) {
        // A folder that takes no new file (no permission, a read-only mount): the run finds out by
        // asking, before it changes anything; a change there would fail as well.
        static const std::array<std::string, 4> kFolders = {"Backup Uninstall", "\\backup", "override", "sub"};
        const std::string& folder = kFolders[in.Byte() % kFolders.size()];
        fs.FailOperation(FsOp::CanCreateFileIn, folder, FsStatus::AccessDenied);
        for (const FsOp op : {FsOp::WriteAll, FsOp::Copy, FsOp::Rename, FsOp::CreateFolder, FsOp::Delete}) {
            fs.FailOperation(op, folder + "\\", FsStatus::AccessDenied);
        }
    }

    // What must hold afterwards, taken before anything runs.
    std::map<std::string, std::string> outside;
    std::map<std::string, bool> outsideReadOnly;
    std::set<std::string> kept;
    std::set<std::string> tablesInUse;
    for (const auto& [path, bytes] : fs.Snapshot()) {
        const bool inside = Below(path, kGame) || Below(path, program);
        if (!inside) {
            outside.emplace(path, bytes);
            outsideReadOnly.emplace(path, fs.AttributesOf(path)->readOnly);
        } else if (IsTableOrOriginal(path) && !Below(path, backupUninstall)) {
            kept.insert(bytes);
            if (Below(path, kOverride) && !Below(path, program) && LowerCase(path).ends_with(".2da")) {
                tablesInUse.insert(path);
            }
        }
    }

    FuzzUi ui(in, fs, program);
    NoOtherInstance instance;
    StartupContext startup{fs, ui, instance, program, [](const std::string&) { return true; }};
    StartupOutcome outcome = RunStartup(startup);
    RunResult result;
    if (outcome.state == StartupState::Normal || outcome.state == StartupState::NormalWithoutDocument) {
        FuzzRegistry registry;
        FolderBrowser browser;
        RunContext context{fs, registry, ui, browser, program};
        result = RunRemoval(outcome.description, context);
    }

    if (std::getenv("ZELVANE_FUZZ_SHOW") != nullptr) {
        std::fprintf(stderr, "%s\n-- start-up state %d, last message: %s\n", result.log.c_str(),
                     static_cast<int>(outcome.state), ui.lastMessage.c_str());
        std::fprintf(stderr, "-- %d errors, %d failure lines, %llu refused\n", result.failureCount,
                     FailureLines(result.log), static_cast<unsigned long long>(fs.Refusals()));
    }
    fuzz::Check(ui.lastMessage.find("Error: 51") == std::string::npos, "an unexpected exception reached a handler");
    std::map<std::string, std::string> outsideAfter;
    for (const auto& [path, bytes] : fs.Snapshot()) {
        if (!Below(path, kGame) && !Below(path, program)) outsideAfter.emplace(path, bytes);
    }
    fuzz::Check(outsideAfter == outside, "a file outside the game and program folders changed");
    for (const auto& [path, readOnly] : outsideReadOnly) {
        fuzz::Check(fs.AttributesOf(path)->readOnly == readOnly, "attributes outside the roots changed");
    }
    std::set<std::string> contents;
    for (const auto& [path, bytes] : fs.Snapshot()) contents.insert(bytes);
    for (const std::string& bytes : kept) {
        fuzz::Check(contents.count(bytes) == 1, "a 2da table or an .original file was lost");
    }
    if (!faulty && !ui.Acted()) {
        for (const std::string& path : tablesInUse) {
            fuzz::Check(fs.Exists(path), "a table in use was deleted and nothing took its place");
        }
    }
    fuzz::Check(result.failureCount == FailureLines(result.log), "the error total differs from the failure lines");
    return 0;
}
