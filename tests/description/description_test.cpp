#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "description/reader.hpp"
#include "description/values.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/program_error.hpp"

namespace zelvane {
namespace {

// Reading a description: values, numbered keys, the loader and the 2da backup discovery, shown as
// the fields that differ from a fresh description.
using namespace std::string_literals;

const std::string kProgram = "C:\\Mods\\Robes";
const std::string kBackup = kProgram + "\\backup\\";
const std::string kDescriptionPath = kProgram + "\\uninstall\\uninstall_data.ini";
const std::string kWorkingCopyPath = kProgram + "\\uninstall\\uninstall_data20A.ini";

std::string Text(const std::string& value) { return value; }
std::string Text(std::integral auto value) { return std::to_string(value); }
std::string Text(const QueuedEntry& entry) { return entry.path + "|" + entry.prompt + "|" + Text(entry.width); }
template <typename T>
std::string Text(const std::vector<T>& values) {
    std::string out;
    for (const T& value : values) out += (out.empty() ? "" : ",") + Text(value);
    return out;
}

// The fields a load changed from a fresh description, in declaration order, as "Name=[value]".
std::string Changed(const UninstallDescription& d) {
    using D = UninstallDescription;
    const D fresh;
    const auto f = [&](const char* name, auto D::*field) {
        return d.*field == fresh.*field ? "" : " " + std::string(name) + "=[" + Text(d.*field) + "]";
    };
    const std::string all = f("DefaultFormatWidth", &D::DefaultFormatWidth) + f("WindowCaption", &D::WindowCaption) +
                            f("HasWindowCaption", &D::HasWindowCaption) + f("Game", &D::Game) +
                            f("GameSelect", &D::GameSelect) + f("ConfirmMessage", &D::ConfirmMessage) +
                            f("ConfirmTitle", &D::ConfirmTitle) + f("ConfirmFormatWidth", &D::ConfirmFormatWidth) +
                            f("ConfirmBeep", &D::ConfirmBeep) + f("ExplicitInstructions", &D::ExplicitInstructions) +
                            f("HasExplicitInstructions", &D::HasExplicitInstructions) +
                            f("ExplicitTitle", &D::ExplicitTitle) + f("ExplicitIcon", &D::ExplicitIcon) +
                            f("ExplicitFormatWidth", &D::ExplicitFormatWidth) + f("ExplicitBeep", &D::ExplicitBeep) +
                            f("QueuedDeletes", &D::QueuedDeletes) + f("QueuedRestores", &D::QueuedRestores) +
                            f("Restore2da", &D::Restore2da) + f("Backup2daFiles", &D::Backup2daFiles) +
                            f("Backup2daAvailable", &D::Backup2daAvailable) +
                            f("Missing2daReport", &D::Missing2daReport);
    return all.empty() ? all : all.substr(1);
}

using Prepare = std::function<void(MemoryFileSystem&)>;

struct Loaded {
    std::string ending;   // "" at the end of the file, "error N" for a failure, else the abort message
    std::string changed;  // the fields the load changed
};

// Loads text as the description and its working copy; setup then changes the program folder.
Loaded Load(const std::string& text, const Prepare& setup = {}) {
    MemoryFileSystem fs;
    fs.AddFile(kDescriptionPath, text);
    fs.AddFile(kWorkingCopyPath, text);
    if (setup) setup(fs);
    UninstallDescription d;
    d.DescriptionPath = kDescriptionPath;
    const LoadResult r = LoadUninstallDescription(d, LoaderContext{fs, kProgram, kWorkingCopyPath, 15});
    const std::string ending = r.outcome == LoadOutcome::Failed    ? "error " + std::to_string(r.error.Number())
                               : r.outcome == LoadOutcome::Aborted ? r.abortMessage
                                                                   : "";
    return {ending, Changed(d)};
}

Prepare Unreadable(const char* name) {
    return [name](MemoryFileSystem& fs) { fs.FailOperation(FsOp::ReadAll, name, FsStatus::SharingViolation); };
}

struct Case {
    std::string text, ending, changed;
    Prepare setup = {};
};

void ExpectLoads(const std::vector<Case>& cases, const Prepare& setup = {}) {
    for (const Case& c : cases) {
        const Loaded loaded = Load(c.text, c.setup ? c.setup : setup);
        EXPECT_EQ(loaded.ending + " | " + loaded.changed, c.ending + " | " + c.changed) << c.text;
    }
}

const std::string kBlocks =
    "#confirm_message_begin#\r\nc\r\n#confirm_message_end#\r\n#qdelete_file_1=a\r\n#qdelete_file_begin_1#\r\nq\r\n"
    "#qdelete_file_end_1#\r\n";

TEST(Loader, KeysValuesTextBlocksAndQueuedEntries) {
    const std::string longText(100000, 'x');
    ExpectLoads({
        // Keys after #file_list are read too.
        {"#window_caption=Remove the Robes\r\n#game=2\r\n#default_format_width=450\r\n#confirm_message_title=Sure?\r\n"
         "#file_list\r\n; installed files\r\n#game=1\r\noverride\\robe.uti\r\n",
         "",
         "DefaultFormatWidth=[6750] WindowCaption=[Remove the Robes] HasWindowCaption=[1] Game=[1] "
         "ConfirmTitle=[Sure?]"},
        // Keys match in any case, only at the line start; values are verbatim and later lines win.
        {"#GAME=2\r\n #window_caption=no\r\n#Game_Select=TRUE\r\n", "", "Game=[2] GameSelect=[1]"},
        {"#window_caption=first\r\n#window_caption=  two = spaces  \r\n#confirm_message_title=\r\n", "",
         "WindowCaption=[  two = spaces  ] HasWindowCaption=[1]"},
        {"#default_format_width=abc\r\n#confirm_message_format_width=400px\r\n"
         "#explicit_instructions_format_width=-5\r\n#confirm_message_beep=true\r\n#explicit_instructions_beep=1\r\n"
         "#explicit_instructions_title=T\r\n",
         "", "ConfirmFormatWidth=[6000] ExplicitTitle=[T] ExplicitFormatWidth=[-5] ExplicitBeep=[1]"},
        // An icon out of 1 to 4 becomes 4; a failure keeps what was read before it.
        {"#explicit_instructions_icon=0\r\n", "", "ExplicitIcon=[4]"},
        {"#explicit_instructions_icon=5\r\n", "", "ExplicitIcon=[4]"},
        {"#explicit_instructions_icon=3\r\n", "", "ExplicitIcon=[3]"},
        {"#explicit_instructions_icon=9\r\n#explicit_instructions_icon=1\r\n", "", ""},
        {"#window_caption=Kept\r\n#game=x\r\n#confirm_message_title=Lost\r\n", "error 13",
         "WindowCaption=[Kept] HasWindowCaption=[1]"},
        {"#window_caption=" + longText + "\r\n#default_format_width=" + std::string(100000, '0') + "5\r\n", "",
         "DefaultFormatWidth=[75] WindowCaption=[" + longText + "] HasWindowCaption=[1]"},
        {"#window_caption=a\0b\r\n#game=\0\r\n"s, "error 13", "WindowCaption=[a\0b] HasWindowCaption=[1]"s},
        // CR ends a line, LF alone does not.
        {"#window_caption=X\n#game=2\n", "", "WindowCaption=[X\n#game=2\n] HasWindowCaption=[1]"},
        {"#window_caption=X\r#game=2\r", "", "WindowCaption=[X] HasWindowCaption=[1] Game=[2]"},
        {"", "", ""},
        // Text blocks keep their inner line ends and their lines are read as keys too.
        {"#confirm_message_begin#\r\nline one\\par \r\n#game=2\r\n\r\nlast\r\n#confirm_message_end#\r\n", "",
         "Game=[2] ConfirmMessage=[line one\\par \r\n#game=2\r\n\r\nlast]"},
        {"#explicit_instructions_begin#\r\ne\r\n#explicit_instructions_end#\r\n", "",
         "ExplicitInstructions=[e] HasExplicitInstructions=[1]"},
        // The first block counts for every begin line.
        {"#confirm_message_begin#\r\nfirst\r\n#confirm_message_end#\r\n#confirm_message_begin#\r\nsecond\r\n"
         "#confirm_message_end#\r\n",
         "", "ConfirmMessage=[first]"},
        // An empty text needs one empty line, and empty instructions are none.
        {"#confirm_message_begin#\r\n\r\n#confirm_message_end#\r\n#explicit_instructions_begin#\r\n\r\n"
         "#explicit_instructions_end#\r\n",
         "", ""},
        // An end marker one character after the begin line fails: the two characters before it are
        // taken for a line end. (The gallery shows the other misplaced and missing markers.)
        {"#confirm_message_begin#\r\nx#confirm_message_end#\r\n", "error 5", ""},
        {"#explicit_instructions_begin#\r\nx\r\n#explicit_instructions_end\r\n",
         "#explicit_instructions_begin# and #explicit_instructions_end# are improperly set.", ""},
        // Markers are found only as written, in lower case.
        {"#confirm_message_begin#\r\nreal\r\n#confirm_message_end#\r\n#Confirm_Message_Begin#\r\n", "",
         "ConfirmMessage=[real]"},
        {"#Confirm_Message_Begin#\r\nx\r\n#confirm_message_end#\r\n#confirm_message_begin#\r\nreal\r\n"
         "#confirm_message_end#\r\n",
         "error 5", ""},
        // Text blocks come from the working copy, which is read only for them; a file that cannot be
        // read fails.
        {kBlocks, "", "ConfirmMessage=[copy] QueuedDeletes=[a|copied|0]",
         [](MemoryFileSystem& fs) {
             fs.AddFile(kWorkingCopyPath,
                        "#confirm_message_begin#\r\ncopy\r\n#confirm_message_end#\r\n"
                        "#qdelete_file_begin_1#\r\ncopied\r\n#qdelete_file_end_1#\r\n");
         }},
        {kBlocks, "error 70", "", Unreadable("20A")},
        {"#game=1\r\n#file_list\r\noverride\\a.tga\r\n", "", "Game=[1]", Unreadable("20A")},
        {"#game=1\r\n", "error 70", "", Unreadable("uninstall_data.ini")},
        // Queued entries keep file order and share blocks by number.
        {"#qdelete_file_5=five\r\n#qdelete_file_2=two\r\n#QDELETE_FILE_5=again\r\n#qdelete_file_begin_2#\r\nB2\r\n"
         "#qdelete_file_end_2#\r\n#qdelete_file_begin_5#\r\nB5\r\n#qdelete_file_end_5#\r\n",
         "", "QueuedDeletes=[five|B5|0,two|B2|0,again|B5|0]"},
        // A width line sets the last entry of its kind.
        {"#qrestore_file_1=a\r\n#qrestore_file_2=b\r\n#qrestore_file_format_width_7=300\r\n#qrestore_file_begin_1#\r\n"
         "x\r\n#qrestore_file_end_1#\r\n#qrestore_file_begin_2#\r\ny\r\n#qrestore_file_end_2#\r\n",
         "", "QueuedRestores=[a|x|0,b|y|4500]"},
        // Before any entry of its kind it fails.
        {"#qdelete_file_format_width_0=300\r\n", "error 9", ""},
        {"#qrestore_file_0=a\r\n#qrestore_file_begin_0#\r\nx\r\n#qrestore_file_end_0#\r\n"
         "#qdelete_file_format_width_0=300\r\n",
         "error 9", "QueuedRestores=[a|x|0]"},
        {"#qdelete_file_0=a\r\n#qdelete_file_begin_0#\r\nx\r\n#qdelete_file_end_0#\r\n"
         "#qdelete_file_format_width_0=1e20\r\n",
         "error 6", "QueuedDeletes=[a|x|0]"},
        {"#game_select=yes\r\n", "error 13", ""},
        {"#game=\r\n", "error 13", ""},
        {"#qrestore_2da=maybe\r\n", "error 13", ""},
        {"#game=40000\r\n", "error 6", ""},
        {"#default_format_width=99999999999\r\n", "error 6", ""},
    });
}

// Descriptions as large as the loader takes: the largest malformed ones it must survive.
TEST(Loader, DescriptionsNearTheSizeLimit) {
    constexpr std::size_t kNear = kDescriptionLimit - 4096;
    std::string padded;
    while (padded.size() < kNear) padded += "; a comment line that pads the file out to a large size\r\n";
    EXPECT_EQ(Load(padded + "#game=2\r\n").changed, "Game=[2]");
    // Every line inside the block asks for the block again.
    std::string cited = "#confirm_message_begin#\r\n";
    while (cited.size() < kNear) cited += "#confirm_message_begin#\r\n#explicit_instructions_begin#\r\n";
    EXPECT_EQ(Load(cited + "#confirm_message_end#\r\n#explicit_instructions_end#\r\n").ending, "");
    // A huge block copied into thousands of entries, or millions of list names, run out of memory.
    std::string copied = "#qdelete_file_begin_0#\r\n";
    while (copied.size() < kNear) copied += "#qdelete_file_0=override\\x.uti\r\n";
    EXPECT_EQ(Load(copied + "#qdelete_file_end_0#\r\n").ending, "error 7");
    EXPECT_EQ(Load("#qrestore_2da=true\r\n#qrestore_2da_files=" + std::string(kNear, ',') + "\r\n",
                   [](MemoryFileSystem& f) { f.AddFolder(kBackup); })
                  .ending,
              "error 7");
}

std::string Missing(const std::string& name) { return "\\cf10 2da backup not available \\cf1 " + name + "\\par\r\n"; }

TEST(BackupDiscovery, ListedNamesAgainstTheBackupFolder) {
    const std::string on = "#qrestore_2da=true\r\n#qrestore_2da_files=";
    const auto withBackups = [](MemoryFileSystem& fs) {
        fs.AddFile(kBackup + "Appearance.2DA", "a");
        fs.AddFile(kBackup + "feat.2da", "f");
    };
    const std::string found =
        "Restore2da=[1] Backup2daFiles=[" + kBackup + "Appearance.2DA," + kBackup + "feat.2da] Backup2daAvailable=[1]";
    const Prepare unlistable = [&](MemoryFileSystem& fs) {
        withBackups(fs);
        fs.FailOperation(FsOp::List, "backup", FsStatus::AccessDenied);
    };
    // Every normal 2da file of the folder is taken, in listing order.
    const Prepare mixed = [](MemoryFileSystem& fs) {
        fs.AddFile(kBackup + "spells.2da", "s");
        fs.AddFile(kBackup + "readme.txt", "r");
        fs.AddFile(kBackup + "hidden.2da", "h", Attributes{.hidden = true});
        fs.AddFile(kBackup + "system.2da", "y", Attributes{.system = true});
        fs.AddFile(kBackup + "locked.2da", "l", Attributes{.readOnly = true});
        fs.AddFolder(kBackup + "folder.2da");
        fs.AddFile(kBackup + "feat.2da", "f");
        fs.AddFile(kProgram + "\\uninstall\\backup\\wrong.2da", "w");
    };
    const std::vector<Case> cases = {
        {"#qrestore_2da=false\r\n", "", ""},
        {"#window_caption=c\r\n#qrestore_2da=true\r\n#game=2\r\n",
         "Restore 2da files is enabled but no 2da file list was found in the ini.",
         "WindowCaption=[c] HasWindowCaption=[1] Restore2da=[1]"},
        // The list line may stand anywhere, be empty, and several lines add up; a name matches once, in any
        // case, and is not trimmed.
        {"#QRESTORE_2DA_FILES=\r\n#qrestore_2da=1\r\n", "", found},
        {on + "appearance.2da,x.2da\r\n", "", found + " Missing2daReport=[" + Missing("x.2da") + "]"},
        {"#qrestore_2da_files=feat.2da,FEAT.2DA\r\n#qrestore_2da_files= appearance.2da,,\r\n#qrestore_2da=true\r\n", "",
         found + " Missing2daReport=[" + Missing("FEAT.2DA") + Missing(" appearance.2da") + Missing("") + Missing("") +
             "]"},
        // A repeated true line keeps the first result.
        {on + "feat.2da,x.2da\r\n#qrestore_2da=false\r\n#qrestore_2da=true\r\n", "",
         found + " Missing2daReport=[" + Missing("x.2da") + "]"},
        // No backup folder gives no report; an empty or unlistable one reports every name.
        {on + "a.2da\r\n", "", "Restore2da=[1]", [](MemoryFileSystem&) {}},
        {on + "a.2da,b.2da\r\n", "", "Restore2da=[1] Missing2daReport=[" + Missing("a.2da") + Missing("b.2da") + "]",
         [](MemoryFileSystem& fs) { fs.AddFolder(kBackup); }},
        {on + "feat.2da\r\n", "", "Restore2da=[1] Missing2daReport=[" + Missing("feat.2da") + "]", unlistable},
        {on + "feat.2da\r\n", "",
         "Restore2da=[1] Backup2daFiles=[" + kBackup + "spells.2da," + kBackup + "locked.2da," + kBackup +
             "feat.2da] Backup2daAvailable=[1]",
         mixed}};
    ExpectLoads(cases, withBackups);
}

// Each case: the text after the key and its value; then the texts that fail with errors 6 and 13.
using Cases = std::vector<std::pair<std::string, std::string>>;
using Texts = std::vector<std::string>;

template <typename F>
void ExpectConverts(F convert, Cases cases, const Texts& error6, const Texts& error13 = {}) {
    for (const std::string& text : error6) cases.emplace_back(text, "error 6");
    for (const std::string& text : error13) cases.emplace_back(text, "error 13");
    for (const auto& [text, value] : cases) {
        try {
            EXPECT_EQ(std::to_string(convert(text)), value) << '"' << text << '"';
        } catch (const ProgramError& error) {
            EXPECT_EQ("error " + std::to_string(error.Number()), value) << '"' << text << '"';
        }
    }
}

TEST(Values, NumbersPixelsIntegersFlagsAndBeeps) {
    const Cases numbers = {{"2.5", "2"}, {"3.5", "4"},     {"-2.5", "-2"},      {"2.5000001", "3"},
                           {".5", "0"},  {"400px", "400"}, {"&HFFFF", "65535"}, {"2147483647.4", "2147483647"}};
    ExpectConverts(ToNumber, numbers, {"2147483647.5", "-2147483649", "1e400", "&HFFFFFFFF"});
    EXPECT_EQ(ToNumber("-2147483648.5"), -2147483648);
    // Positive pixels become twips.
    const Cases pixels = {{"400", "6000"}, {"400px", "6000"}, {"abc", "0"}, {"-3", "-3"}, {"2.5", "30"}};
    ExpectConverts([](std::string_view text) { return ToPixels(text, 15); }, pixels, {"143165577"});
    EXPECT_EQ(ToPixels("143165576", 15), 2147483640);
    EXPECT_EQ(ToPixels("-2147483648", 15), -2147483648);
    EXPECT_EQ(ToPixels("400", 12), 4800);
    // Integers are strict 16-bit numbers.
    const Cases integers = {{" 2 ", "2"}, {"\t2\t", "2"},       {"+7", "7"},           {"-7", "-7"},
                            {"2.5", "2"}, {"3.5", "4"},         {"5.", "5"},           {".5", "0"},
                            {"007", "7"}, {"32767.4", "32767"}, {"-32768.5", "-32768"}};
    ExpectConverts(ToInteger, integers, {"32768", "32767.5", "-32769", std::string(400, '9')},
                   {"", " ", "abc", "2x", "x2", "1e3", "- 7", "+", ".", "1.2.3", "&H10", "2 3", "\r\n"});
    const Cases flags = {{"true", "1"}, {"TRUE", "1"}, {" True ", "1"}, {"FaLsE", "0"}, {"0", "0"},
                         {"0.0", "0"},  {"-1", "1"},   {"2.5", "1"},    {"1e3", "1"},   {"1e+5", "1"}};
    ExpectConverts(ToFlag, flags, {}, {"", "yes", "on", "truex", "1x", "t", "1e", "1e+"});
    for (const char* text : {"1", "1.0", " 1", "1abc"}) EXPECT_TRUE(ToBeep(text)) << text;
    for (const char* text : {"1.4", "0.6", "2", "true", "", "1e400"}) EXPECT_FALSE(ToBeep(text)) << text;
}

TEST(NumberedKey, NumbersRunFrom0To99WithoutLeadingZeros) {
    EXPECT_EQ(KeyOf("#qdelete_file_0=x")->number, 0);
    EXPECT_EQ(KeyOf("#QDelete_File_12=x")->Text(), "#qdelete_file_12=");
    EXPECT_EQ(KeyOf("#qrestore_file_format_width_99=1")->length, 31u);
    EXPECT_EQ(KeyOf("#qrestore_file_7=a")->stem, "#qrestore_file_");
    for (const char* line : {"#qdelete_file_07=x", "#qdelete_file_00=x", "#qdelete_file_100=x", "#qdelete_file_1",
                             " #qdelete_file_1=", "#qdelete_file_-1=", "#qdelete_file_ 1=", "#qrestore_file1="}) {
        EXPECT_FALSE(KeyOf(line)) << line;
    }
}

// The check of a description. Each case of the gallery (check_gallery/<case>/uninstall/uninstall_data.ini,
// with an optional mod/ and game/ folder) gives exactly the diagnostics of its expected.txt, changes
// nothing, and its start-up errors agree with start-up's own loader.
namespace fs = std::filesystem;

const fs::path kGallery = ZELVANE_CHECK_GALLERY;

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Printed(const std::vector<Diagnostic>& diagnostics) {
    std::string printed;
    for (const Diagnostic& d : diagnostics) printed += FormatDiagnostic(d) + "\n";
    return printed;
}

class CheckGallery : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckGallery, GivesItsExpectedDiagnosticsAndChangesNothing) {
    const fs::path source = kGallery / GetParam();
    const std::string folder = "C:\\Gallery\\" + GetParam();
    MemoryFileSystem memory;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        std::string path = folder + "\\" + fs::relative(entry.path(), source).string();
        std::replace(path.begin(), path.end(), '/', '\\');
        if (entry.is_directory()) memory.AddFolder(path);
        if (entry.is_regular_file() && entry.path().filename() != "expected.txt") {
            memory.AddFile(path, ReadHostFile(entry.path()));
        }
    }
    CheckOptions options{folder, "", "", 15};
    if (fs::is_directory(source / "mod")) options.modFolder = folder + "\\mod";
    if (fs::is_directory(source / "game")) options.gameFolder = folder + "\\game";
    const std::vector<Diagnostic> diagnostics = CheckDescription(memory, options);
    EXPECT_EQ(Printed(diagnostics), ReadHostFile(source / "expected.txt"));
    EXPECT_EQ(memory.MutationCount(), 0u);

    // What the check calls a start-up error is exactly what makes start-up's loader stop.
    UninstallDescription loaded;
    loaded.DescriptionPath = folder + "\\uninstall\\uninstall_data.ini";
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{memory, folder, loaded.DescriptionPath, 15});
    EXPECT_EQ(load.outcome != LoadOutcome::EndOfFile, std::any_of(diagnostics.begin(), diagnostics.end(), [](auto& d) {
                  return d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
              }));
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGallery)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGallery, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(DescriptionCheck, VerdictSummaryAndTheNameOfTheFile) {
    using enum Severity;
    const std::vector<Diagnostic> mixed = {{1, Note, "a"}, {2, Warning, "b"}, {3, Error, "c"}, {4, Warning, "d"}};
    EXPECT_EQ(CheckSummary(mixed), "1 error, 2 warnings, 1 note");
    EXPECT_EQ(CheckStatus({{1, Warning, "a"}, {2, Warning, "b"}}), 2);
    EXPECT_EQ(CheckStatus(mixed), 1);
    EXPECT_EQ(FormatDiagnostic({12, Error, "text"}, "Mod/uninstall/uninstall_data.ini"),
              "Mod/uninstall/uninstall_data.ini:12: error: text");
}

// Each description lies in C:\Mods\Robes, beside a backup of appearance.2da.
TEST(DescriptionCheck, DescriptionsAndTheirDiagnostics) {
    const std::string path = "C:\\Mods\\Robes\\uninstall\\uninstall_data.ini";
    const CheckOptions robes{"C:\\Mods\\Robes", "", "", 15};
    std::vector<std::pair<std::string, std::string>> cases = {
        {"#game=3\r\n#game=2\r\n", ""},  // the last value counts
        {"#game_select=true\r\n", ""},
        {"#game=2\r\n#confirm_message_begin#\r\n\r\n#confirm_message_end#\r\n", ""},  // one empty line: an empty text
        {"#game=2\r\n#qrestore_2da=true\r\n#qrestore_2da_files=Appearance.2DA,feat.2da\r\n", ""},
        // Only a description that restores tables leaves a listed table to the restore.
        {"#game=2\r\n#qrestore_2da=false\r\n#qrestore_2da_files=appearance.2da\r\n#file_list\r\n"
         "override\\appearance.2da\r\n",
         ""},
        // Three edits away, only a long key is still a likely meaning.
        {"#game=2\r\n#confirm_mssage_tle=Remove\r\n",
         "uninstall_data.ini:2: warning: #confirm_mssage_tle= is no key, "
         "so the line is ignored; did you mean #confirm_message_title=?\n"},
        {"#game=2\r\n#explicit_instructions_icon=1\r\n#explicit_instructions_icon=4\r\n", ""},
        {"#game=2\r\n#gxyz=2\r\n",
         "uninstall_data.ini:2: warning: #gxyz= is no key, so the line is ignored (comment lines begin with ;)\n"},
    };
    for (const std::string icon : {"0", "5"}) {
        cases.emplace_back("#game=2\r\n#explicit_instructions_icon=" + icon + "\r\n",
                           "uninstall_data.ini:2: warning: #explicit_instructions_icon= value \"" + icon +
                               "\" is not an icon from 1 to 4, so icon 4 is shown\n");
    }
    // An entry with a blank reads as prose from its third word, or when it ends as a sentence does.
    for (const std::string entry : {"my old robe.uti", "Version 1.2:", "Enjoy v1.2!", "Got v1.2?", "Files v1.2,"}) {
        cases.emplace_back(
            "#game=2\r\n#file_list\r\n" + entry + "\r\n",
            "uninstall_data.ini:3: warning: file-list entry \"" + entry +
                "\" looks like prose, but every line after #file_list that does not begin with ;, # or a "
                "space names a file to delete\n");
    }
    for (const auto& [text, expected] : cases) {
        MemoryFileSystem memory;
        memory.AddFile(path, text);
        memory.AddFile("C:\\Mods\\Robes\\backup\\appearance.2da", "2DA V2.0");
        EXPECT_EQ(Printed(CheckDescription(memory, robes)), expected) << text;
    }
    MemoryFileSystem special;
    special.AddSpecialFile(path);
    EXPECT_EQ(Printed(CheckDescription(special, robes)),
              "uninstall_data.ini: error: the file \"" + path +
                  "\" is not a regular file (a pipe, a socket or a device); start-up would stop with \"The "
                  "uninstall_data.ini file is not a regular file (a pipe, a socket or a device).\"\n");
}

}  // namespace
}  // namespace zelvane
