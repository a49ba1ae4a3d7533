// The string and path helpers of util/ on a mode byte, a start, a count and NUL-separated texts;
// the file-system ones over a small in-memory tree with short names.

#include <climits>

#include "fuzz/fuzz_support.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "util/common.hpp"
#include "util/display_paths.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

using namespace zelvane;

static void PathHelpers(const MemoryFileSystem& fs, std::string_view path, std::string_view anchor,
                        const FolderContext& folders) {
    (void)StripQuotes(path);
    fuzz::Check(AddBackslash(path).back() == '\\', "AddBackslash without a backslash");
    const std::string name = GetFileName(path);
    fuzz::Check(path.ends_with(name), "GetFileName is not the path's end");
    fuzz::Check(name.size() >= GetBaseName(path).size(), "GetBaseName longer than the name");
    fuzz::Check(GetFolderPart(fs, path).size() <= path.size(), "GetFolderPart longer than the path");
    fuzz::Check(ParentFolder(path).size() <= path.size(), "ParentFolder longer than the path");
    (void)GetLongPath(fs, path);
    const std::string shortPath = GetShortPath(fs, path);
    fuzz::Check(shortPath.empty() || FileExists(fs, shortPath) || FolderExists(fs, shortPath),
                "a short name of nothing");
    const std::string proper = ProperCasePath(DoubleSlash(path));
    fuzz::Check(LowerCase(proper) == LowerCase(DoubleSlash(path)), "ProperCasePath changed more than letter case");
    fuzz::Check(Display(path) == proper, "Display is not ProperCasePath(DoubleSlash)");
    fuzz::Check(LastFolder(path).size() <= path.size(), "LastFolder longer than the path");
    (void)PathRelative(path, anchor, folders);
    (void)PathRelative(path, "", folders);
}

static const MemoryFileSystem& MakeTree() {
    static MemoryFileSystem fs;
    fs.AddFile("C:\\Games\\Kotor\\override\\appearance.2da", "x");
    fs.AddFile("C:\\Games\\Kotor\\Override\\Long Texture Name.tga", "x");
    fs.AddFolder("C:\\Program Files\\Mod Folder\\backup");
    fs.SetShortName("C:\\Games\\Kotor\\Override\\Long Texture Name.tga", "LONGTE~1.TGA");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    fs.SetShortName("C:\\Program Files\\Mod Folder", "MODFOL~1");
    return fs;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t flags = input.Byte();
    const CompareMode mode = (flags & 1) ? CompareMode::CaseInsensitive : CompareMode::Exact;
    // Small starts and counts mostly, with starts near the extremes now and then.
    int start = static_cast<std::int8_t>(input.Byte());
    if (flags & 2) start = (flags & 4) ? INT_MIN + 128 + start : INT_MAX - 128 - start;
    int count = static_cast<std::int8_t>(input.Byte());
    const std::string_view text = input.Piece(), find = input.Piece(), replacement = input.Piece();
    const FolderContext folders{std::string(input.Piece()), std::string(input.Piece())};

    try {
        const int last = FindLast(text, find, start, mode);
        fuzz::Check(last >= 0 && static_cast<std::size_t>(last) <= text.size(), "FindLast outside the text");
        fuzz::Check(last == 0 || last >= 2, "FindLast examined position 1");
    } catch (const ProgramError& error) {
        fuzz::Check(start == 0 && error.Number() == 5, "FindLast failed on a start other than 0");
    }
    const int first = InStr(start, text, find, mode);
    fuzz::Check(first >= 0 && static_cast<std::size_t>(first) <= text.size() + 1, "InStr outside the text");
    const std::vector<std::string> pieces = SplitText(text, find);
    std::size_t total = 0;
    for (const std::string& piece : pieces) total += piece.size();
    fuzz::Check(!pieces.empty() && total <= text.size(), "SplitText gave no piece or made text");
    (void)ReplaceText(text, find, replacement, start, count, mode);
    fuzz::Check(LowerCase(text).size() == text.size(), "LowerCase changed the length");
    (void)StartsWithKey(text, LowerCase(find));
    for (const std::string& line : SplitInputLines(text))
        fuzz::Check(line.find('\r') == std::string::npos, "a CR inside a line");
    static const MemoryFileSystem& tree = MakeTree();
    PathHelpers(tree, text, find, folders);
    PathHelpers(tree, find, text, folders);
    return 0;
}
