#pragma once
// Rich-edit windows for the information document and the prompt bodies.

#include <windows.h>

#include <string_view>

#include "widgets/win32/handles.hpp"

namespace zelvane::win32 {

inline constexpr int kRichEditControlId = 4097;
inline constexpr DWORD kDocumentRichEditStyle = 0x56A001C4;  // child, visible, border, v-scroll, multi-line
inline constexpr DWORD kPromptRichEditStyle = 0x56000104;    // child, visible, multi-line, no hide-sel

struct RichEditFlags {
    bool requestSize = false;  // after filling, notify size requests and ask for one
    bool makeInert = false;    // install the key filter: no caret, selection or mouse
    bool links = false;        // notify link clicks and detect URLs
};

// Creates and fills a rich edit; reports its own failures and returns no window then.
// file: an RTF file to show (laid out 5300 twips wide); otherwise text, laid out without wrapping.
UniqueWindow CreateRichEdit(HWND parent, int x, int y, int width, int height, std::string_view file,
                            std::string_view text, DWORD style, DWORD exStyle, RichEditFlags flags);

// Lays the text out at width - 200 twips.
void SetTargetWidth(int widthTwips, HWND richEdit);
COLORREF SetRichEditBackColor(COLORREF color, HWND richEdit);
void EnableLinks(HWND richEdit);
void SetRichText(HWND richEdit, std::string_view text);

// The rich-edit libraries stay loaded from the first creation until the main window unloads.
void FreeRichEditLibraries();

// The failure boxes of the creation.
inline constexpr const char* kRichEditLoadFailed = "Public Function CreateRichEdit\r\n\r\nLoadLibrary Failed.";
inline constexpr const char* kRichEditCreateFailed = "Public Function CreateRichEdit\r\n\r\nCreateWindowEx Failed.";

}  // namespace zelvane::win32
