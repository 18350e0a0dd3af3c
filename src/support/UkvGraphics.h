#pragma once
// Portable picture and font helpers: the window-font description the settings
// code hands to the windows, and where a painted title goes.

#include <string>

namespace pv {

// A window or control font as the settings code sets it: name, size in points, bold.
struct WindowFont {
    std::string name;
    int size = 8;
    bool bold = false;
    bool operator==(const WindowFont& o) const { return name == o.name && size == o.size && bold == o.bold; }
};

struct CaptionTextPos {
    int x;
    int y;
};

// Where PaintFormCaption writes the title, from the window's top-left corner.
CaptionTextPos CaptionTextPosition(int cxBorder, int cyCaption, int textHeight);

}  // namespace pv
