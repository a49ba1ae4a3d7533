#pragma once
// Twips (1/1440 inch) and screen pixels.

#include <windows.h>

#include <string_view>

namespace zelvane::win32 {

int TwipsPerPixelX();  // 1440 / horizontal dots per inch of the screen (15 at 96 dpi)
int TwipsPerPixelY();

// Nearest integer, halves to even, as the program rounds its lengths.
int RoundHalfEven(double value);
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

// A font of a face, size in points and weight, sized for the screen.
HFONT CreatePointFont(std::string_view face, double points, bool bold, bool underline = false);

}  // namespace zelvane::win32
