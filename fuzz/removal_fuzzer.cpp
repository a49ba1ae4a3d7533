// Whole removals over a random in-memory game folder, program folder and description, read from the
// input in that order: links that lead out, folders swapped for links while a prompt is open, backups
// and documents that are links, devices or far too large, random answers and injected failures.

#include <stdexcept>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "tests/support/whole_run.hpp"
#include "util/text/case_folding.hpp"

namespace {

using namespace zelvane;
using namespace zelvane::whole_run;
using Pool = std::vector<std::string>;

const std::string kGame = "C:\\Games\\Kotor", kOverride = kGame + "\\override", kOutside = "D:\\Outside";

const Pool kFolders = {"override\\", "override\\sub\\", "override\\deep\\er\\", "movies\\", "", "override\\link\\"};
const Pool kNames = {"a.tga", "b.uti", "c.tga", "d.tga", "x.tga", "y.tga", "m.bik"};
const Pool kTables = {"appearance.2da", "feat.2da", "spells.2da"};
// File-list and queued-delete entries: plain names, names that lead out or name no plain file.
// None names a table or an .original file, which the description may not delete.
const Pool kEntries({"override\\a.tga", "override\\b.uti", "override\\c.tga", "override\\sub\\d.tga",
                     "override\\link\\x.tga", "override\\evil.tga", "..\\outside.txt", "override\\*.uti",
                     "override\\c.tga.", "override\\CON", "movies\\m.bik", "override\\y.tga ",
                     "override\\deep\\er\\a.tga", "override\\x.tga"});
const Pool kRestores = {"override\\x.tga", "override\\y.tga", "override\\sub\\x.tga", "override\\evil.tga",
                        "override\\link\\y.tga"};
// Where a leading "%" stands for the program folder, "O:" for kOverride and "D:" for kOutside.
const Pool kLinkTargets({"D:", "D:\\sub", "D:\\save.sav", "D:\\gone.sav", "O:", "%\\backup", "C:\\Games", "D:\\profile",
                         "D:\\endless", "O:\\appearance.2da"});
const Pool kLinkPlaces({"O:\\link", "O:\\evil.tga", "O:\\sub\\appearance.2da", "%\\Backup Uninstall",
                        "%\\Backup Uninstall\\appearance.2da", "%\\uninstall\\removal_results.rtf",
                        "%\\uninstall\\uninstall_data20A.ini", "O:\\loop", "O:\\x.tga.original",
                        "%\\backup\\appearance.2da", "%\\backup\\feat.2da", "%\\uninstall\\uninstall_info.rtf"});
const Pool kSwapped = {"O:\\sub", "O:\\deep", "O:", "%\\Backup Uninstall", "%\\backup"};
const Pool kLocated({"", "O:\\sub\\appearance.2da", "O:\\appearance.2da", "D:\\sub\\appearance.2da",
                     "%\\backup\\appearance.2da", "%\\Backup Uninstall\\appearance.2da", "O:\\link\\feat.2da"});

std::string Pick(fuzz::InputReader& in, const Pool& pool, const std::string& program = "") {
    const std::string path = pool[in.Byte() % pool.size()];
    if (path.starts_with('%')) return program + path.substr(1);
    if (path.starts_with("O:")) return kOverride + path.substr(2);
    return path.starts_with("D:") ? kOutside + path.substr(2) : path;
}

bool Below(const std::string& path, const std::string& folder) {
    return LowerCase(path).starts_with(LowerCase(folder) + "\\");
}

// Answers from the input; now and then the player moves a folder aside and puts a link in its
// place while a prompt or the file dialog is open.
struct FuzzUi : QuietUi {
    FuzzUi(fuzz::InputReader& in, MemoryFileSystem& fs, std::string program)
        : in(in), fs(fs), program(std::move(program)) {}
    int MsgBoxEx(PromptRequest request) override {
        if (++prompts > 200) return 0;  // a run asks a bounded number of questions
        PlayerActs();
        return static_cast<int>(in.Byte() % static_cast<unsigned>(std::max(request.buttonCount, 1) + 1)) - 1;
    }
    std::string OpenFileDialog(const OpenFileRequest&) override {
        if (++dialogs > 20) return "";
        PlayerActs();
        return Pick(in, kLocated, program);
    }
    void PlayerActs() {
        if (in.Byte() % 4 != 0) return;
        const std::string place = Pick(in, kSwapped, program);
        acted = true;
        (void)fs.Rename(place, place + ".moved");
        try {
            fs.AddLink(place, Pick(in, kLinkTargets, program));
        } catch (const std::invalid_argument&) {
        }
    }

    fuzz::InputReader& in;
    MemoryFileSystem& fs;
    std::string program;
    int prompts = 0, dialogs = 0;
    bool acted = false;
};

void AddItem(fuzz::InputReader& in, MemoryFileSystem& fs, const std::string& program, const std::string& content) {
    switch (const int kind = in.Byte() % 9) {
        case 0:
        case 2: {
            const std::string folder = kGame + "\\" + Pick(in, kFolders);
            return fs.AddFile(folder + Pick(in, kind == 0 ? kNames : kTables), content + (kind == 2 ? " in use" : ""));
        }
        case 1: {
            const std::string path = kGame + "\\" + Pick(in, kRestores);
            fs.AddFile(path, content + " mod");
            return fs.AddFile(path + ".original", content + " original");
        }
        case 3: return fs.AddFile(program + "\\backup\\" + Pick(in, kTables), content + " backup");
        case 4: {
            const std::string table = Pick(in, kTables), prefix = in.Byte() % 2 ? "original install backup." : "";
            return fs.AddFile(program + "\\Backup Uninstall\\" + prefix + table, content + " earlier");
        }
        case 5: {
            const std::string place = Pick(in, kLinkPlaces, program);
            return fs.AddLink(place, Pick(in, kLinkTargets, program));
        }
        case 6: {
            const std::string path = kOverride + "\\" + Pick(in, kNames);
            fs.AddFile(path, content, Attributes{.readOnly = (in.Byte() % 2) == 0});
            if (in.Byte() % 4 == 0) fs.Lock(path);
            return;
        }
        case 7: {
            const std::string name = in.Byte() % 2 ? "sys" : "hid";
            return fs.AddFolder(kOverride + "\\" + name, Attributes{.hidden = true, .system = (in.Byte() % 2) == 0});
        }
    }
    // What a program folder may hold besides regular files of a sane size.
    const std::string place =
        in.Byte() % 2 ? program + "\\backup\\" + Pick(in, kTables) : program + "\\uninstall\\uninstall_info.rtf";
    if (in.Byte() % 2) return fs.AddSpecialFile(place);
    fs.AddSparseFile(place, content + " too large", kTableLimit + 1);
}

std::string BuildDescription(fuzz::InputReader& in) {
    std::string text = "#game=" + std::to_string(1 + in.Byte() % 2) + "\r\n";
    if (in.Byte() % 3 != 0) text += "#qrestore_2da=1\r\n#qrestore_2da_files=appearance.2da,feat.2da\r\n";
    for (const std::string kind : {"qdelete_file", "qrestore_file"}) {
        for (int i = 0, count = in.Byte() % 4; i < count; ++i) {
            const std::string n = std::to_string(i), file = Pick(in, kind == "qdelete_file" ? kEntries : kRestores);
            text += "#" + kind + "_" + n + "=" + file + "\r\n#" + kind + "_begin_" + n + "#\r\nSure?\r\n#" + kind +
                    "_end_" + n + "#\r\n";
        }
    }
    text += "#file_list\r\n";
    for (int i = 0, entries = in.Byte() % 12; i < entries; ++i) text += Pick(in, kEntries) + "\r\n";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::string program = Pick(in, {"C:\\Mods\\Tool", kOverride + "\\ModTool", "E:\\Mods\\Tool"});
    MemoryFileSystem fs;
    for (const char* name : {"save.sav", "sub\\appearance.2da", "sub\\x.tga", "sub\\x.tga.original", "sub\\a.tga"})
        fs.AddFile(kOutside + "\\" + name, std::string("outside ") + name);
    fs.AddFile(kOutside + "\\profile", "outside profile", Attributes{.readOnly = true});
    fs.AddFile("C:\\Games\\precious.txt", "outside precious");
    fs.AddSparseFile(kOutside + "\\endless", "endless", kTableLimit * 4);  // reads on and on, as a device
    fs.AddFile(kGame + "\\dialog.tlk", "TLK V3.0 strings");
    fs.AddFolder(kOverride);
    fs.AddFolder(program + "\\uninstall");
    try {
        for (int i = 0, items = in.Byte() % 24; i < items; ++i) {
            try {
                AddItem(in, fs, program, "content " + std::to_string(i));
            } catch (const std::invalid_argument&) {
                // A link or a file in the way of another: that item is left out.
            }
        }
        const std::string description = BuildDescription(in), ini = program + "\\uninstall\\uninstall_data.ini";
        if (in.Byte() % 16 == 0)
            fs.AddSparseFile(ini, description, kDescriptionLimit + 1);
        else
            fs.AddFile(ini, description);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    const bool faulty = in.Byte() % 4 == 0;
    const FsStatus faults[] = {FsStatus::IoError, FsStatus::AccessDenied, FsStatus::DiskFull,
                               FsStatus::SharingViolation};
    if (faulty) fs.FailMutation(in.Byte() % 32, faults[in.Byte() % 4]);

    // Afterwards nothing outside the game and program folders changed (bytes and attributes); every
    // 2da table and .original file is somewhere (an earlier run's copies in Backup Uninstall are the
    // run's to replace); with no failure and no swap, every table in use is at its place.
    const auto outsideOf = [&] {
        Files outside;
        for (const auto& [path, bytes] : fs.Snapshot())
            if (!Below(path, kGame) && !Below(path, program))
                outside.emplace(path, bytes + (fs.AttributesOf(path)->readOnly ? " (read-only)" : ""));
        return outside;
    };
    const Files outside = outsideOf(), before = fs.Snapshot();

    FuzzUi ui(in, fs, program);
    StartupOutcome outcome = fuzz::Start(fs, ui, program);
    RunResult result;
    if (outcome.state == StartupState::Normal || outcome.state == StartupState::NormalWithoutDocument)
        result = Run(fs, outcome.description, ui, kGame, program);
    fuzz::Check(!ui.Showed("", "Error: 51"), "an unexpected exception reached a handler");
    fuzz::Check(outsideOf() == outside, "a file outside the game and program folders changed");
    const auto kept = [&](const std::string& path) {
        const std::string lower = LowerCase(path);
        return (Below(path, kGame) || Below(path, program)) && !Below(path, program + "\\Backup Uninstall") &&
               (lower.ends_with(".2da") || lower.ends_with(".original"));
    };
    fuzz::Check(Lost(before, fs.Snapshot(), kept).empty(), "a 2da table or an .original file was lost");
    for (const auto& [path, bytes] : before) {
        const bool inUse = Below(path, kOverride) && !Below(path, program) && LowerCase(path).ends_with(".2da");
        fuzz::Check(!inUse || faulty || ui.acted || fs.Exists(path),
                    "a table in use was deleted and nothing took its place");
    }
    fuzz::Check(CheckLog(result).empty(), "the log's failure lines and errors total disagree");
    return 0;
}
