#include "menu/MenuDraw.h"

#include <cstdint>
#include <cstdlib>

namespace pv {

namespace {

DrawOp Fill(int left, int top, int right, int bottom, int color) {
    DrawOp op;
    op.kind = DrawOpKind::FillRect;
    op.rect = {left, top, right, bottom};
    op.color = color;
    return op;
}

DrawOp Line(int x1, int y1, int x2, int y2, int color) {
    DrawOp op;
    op.kind = DrawOpKind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    return op;
}

DrawOp Text(const DrawRect& r, const std::string& text, unsigned flags, const FontSpec& font, int color,
            int bkColor) {
    DrawOp op;
    op.kind = DrawOpKind::Text;
    op.rect = r;
    op.text = text;
    op.textFlags = flags;
    op.font = font;
    op.color = color;
    op.bkColor = bkColor;
    return op;
}

bool HasBar(const MenuEntry& entry) { return SideBarIndex(entry) >= 0; }

// A size of the 96-dpi layout at the menu's DPI.
struct Scaled {
    int dpi;
    int operator()(int px) const { return ScaleToDpi(px, dpi); }
};

}  // namespace

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = (num >= 0 ? num + den / 2 : num - den / 2) / den;
    // The platform's range is symmetric: -2147483648 counts as an overflow too,
    // so a font height made by negating the result is always an int.
    if (q > INT32_MAX || q < -INT32_MAX) return -1;
    return static_cast<int>(q);
}

const SubEntryLayout& SubmenuLayout(const MenuEntry& parent) {
    if (!parent.LayoutKnown()) {
        SubEntryLayout l;
        for (int i = 0; i < parent.Count(); ++i) {
            const MenuEntry* sib = parent.Child(i);
            if (sib->tag == kTagSideBar && l.sideBar < 0) l.sideBar = i;
            if (sib->onDraw != DrawHandler::None) l.lastDrawn = i;
            if (sib->tag == kTagSideBar || sib->tag == kTagHiddenPlaceholder)
                continue;
            else if (sib->tag == kTagPlainSeparator)
                ++l.plainSeparators;
            else
                ++l.rows;
        }
        l.height = l.rows * kMenuItemHeight + l.plainSeparators * kPlainSeparatorHeight;
        parent.SetLayout(l);
    }
    return parent.Layout();
}

int SideBarIndex(const MenuEntry& entry) {
    const MenuEntry* parent = entry.Parent();
    return parent ? SubmenuLayout(*parent).sideBar : -1;
}

bool IsLastDrawnEntry(const MenuEntry& entry) {
    const MenuEntry* parent = entry.Parent();
    if (!parent) return false;
    const int last = SubmenuLayout(*parent).lastDrawn;
    return last >= 0 && parent->Child(last) == &entry;
}

int SubmenuHeight(const MenuEntry& entry, int dpi) {
    const MenuEntry* parent = entry.Parent();
    if (!parent) return 0;
    const SubEntryLayout& l = SubmenuLayout(*parent);
    return l.rows * ScaleToDpi(kMenuItemHeight, dpi) + l.plainSeparators * ScaleToDpi(kPlainSeparatorHeight, dpi);
}

std::string MenuItemText(const std::string& caption) {
    std::string text;
    text.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                text += '&';
                ++i;
            }
            continue;
        }
        text += caption[i];
    }
    return text;
}

int FindMenuHotKey(const std::vector<MenuKeyItem>& items, char ch, bool& several, char (*upper)(char)) {
    several = false;
    int found = -1;
    const char wanted = upper(ch);
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuKeyItem& item = items[i];
        if (!item.ownerDrawn || !item.entry || !item.enabled) continue;
        const std::string& caption = item.entry->caption;
        for (size_t k = 0; k + 1 < caption.size(); ++k) {
            if (caption[k] != '&') continue;
            if (caption[k + 1] == '&') {
                ++k;
                continue;
            }
            if (upper(caption[k + 1]) == wanted) {
                if (found >= 0)
                    several = true;
                else
                    found = static_cast<int>(i);
            }
            break;
        }
    }
    return found;
}

std::string StripHotkey(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            // The marker goes; the character after it stays, even a second "&".
            if (i + 1 < caption.size()) out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

MenuDrawSettings MenuDrawSettingsOf(const SettingsValues& v) {
    MenuDrawSettings s;
    s.fontName = v.FontName;
    s.fontSize = v.FontSize;
    s.fontBold = v.FontStyleBold;
    s.windowsDraw = v.WindowsDraw;
    return s;
}

FontSpec MenuFont(const MenuDrawSettings& settings, int pixelsPerInch) {
    FontSpec f;
    f.faceName = settings.fontName;
    f.height = -MulDivRound(settings.fontSize, pixelsPerInch, 72);
    f.bold = settings.fontBold;
    return f;
}

FontSpec SideBarFont(const MenuDrawSettings& settings, int pixelsPerInch) {
    FontSpec f = MenuFont(settings, pixelsPerInch);
    if (f.faceName.size() > static_cast<size_t>(kLogFontFaceMax)) f.faceName.resize(kLogFontFaceMax);
    f.escapement = 900;
    return f;
}

MeasureResult NorItemsRTMeasureItem(const MenuEntry& entry, const MenuDrawSettings& settings,
                                    IMenuTextMeasure& measure) {
    FontSpec font = MenuFont(settings, measure.PixelsPerInch());
    if (entry.isDefault) font.bold = true;
    const Scaled s{settings.dpi};
    MeasureResult r;
    r.width = measure.Extent(font, entry.caption).cx + s(23);
    if (HasBar(entry)) r.width += s(22);
    if (entry.HasChildren()) r.width += s(7);
    r.height = s(kMenuItemHeight);
    return r;
}

DisplayList NorItemsRTDrawItem(const MenuEntry& entry, const DrawRect& rect, bool selected,
                               const MenuDrawSettings& settings, IMenuTextMeasure& measure) {
    DisplayList list;
    FontSpec font = MenuFont(settings, measure.PixelsPerInch());
    if (entry.isDefault) font.bold = true;
    const Scaled s{settings.dpi};
    const bool bar = HasBar(entry);
    const int a = bar ? s(kSideBarWidth) : 0;
    const int B = rect.bottom;
    const bool hasImage = entry.imageIndex >= 0;

    if (hasImage) {
        DrawOp img;
        img.kind = DrawOpKind::Image;
        img.imageIndex = entry.imageIndex;
        img.x1 = a + s(2);
        img.y1 = B - s(18);
        img.x2 = img.x1 + PictureSizeForDpi(settings.dpi);
        img.y2 = img.y1 + PictureSizeForDpi(settings.dpi);
        img.greyed = !entry.enabled;
        list.push_back(img);
    }

    // Raised frame around the icon of the highlighted entry; otherwise the same
    // lines in the menu colour wipe a frame left over from an earlier highlight.
    const bool frame = hasImage && selected;
    const int light = frame ? kColorBtnHighlight : kColorMenu;
    const int dark = frame ? kColorBtnShadow : kColorMenu;
    const int left = a + s(1), right = a + s(18), top = B - s(19);
    list.push_back(Line(left, top, right, top, light));
    list.push_back(Line(left, top, left, B - 1, light));
    list.push_back(Line(right, top, right, B - 1, dark));
    list.push_back(Line(left, B - 1, right + 1, B - 1, dark));

    const bool highlighted = selected && entry.enabled;
    list.push_back(Fill(hasImage ? a + s(20) : a, rect.top, rect.right, rect.bottom,
                        highlighted ? kColorHighlight : kColorMenu));

    const DrawRect textRect{a + s(23), rect.top, rect.right, rect.bottom};
    const unsigned flags = kDtSingleLine | kDtVCenter;
    if (entry.enabled) {
        list.push_back(Text(textRect, entry.caption, flags, font, highlighted ? kColorHighlightText : kColorMenuText,
                            -1));
    } else {
        const DrawRect moved{textRect.left + 1, textRect.top + 1, textRect.right + 1, textRect.bottom + 1};
        list.push_back(Text(moved, entry.caption, flags, font, kColorBtnHighlight, -1));
        list.push_back(Text(textRect, entry.caption, flags, font, kColorBtnShadow, -1));
    }

    if (bar && IsLastDrawnEntry(entry)) DrawSideBar(entry, settings, measure, list);
    return list;
}

DisplayList SpeItemsRTDrawItem(const MenuEntry& entry, const DrawRect& rect, const MenuDrawSettings& settings,
                               IMenuTextMeasure& measure) {
    DisplayList list;
    const Scaled s{settings.dpi};
    const bool bar = HasBar(entry);
    const int x0 = bar ? s(kSideBarWidth) : 0;
    const int R = rect.right;
    const int B = rect.bottom;
    const DrawRect area{x0, rect.top, R, rect.bottom};

    FontSpec font;
    if (settings.windowsDraw)
        font.systemMenuFont = true;
    else
        font = MenuFont(settings, measure.PixelsPerInch());

    list.push_back(Fill(area.left, area.top, area.right, area.bottom, kColorMenu));
    const int y = B - s(10);
    list.push_back(Line(x0, y, R, y, kColorBtnShadow));
    list.push_back(Line(x0, y + 1, R, y + 1, kColorBtnHighlight));
    // The markers are already gone; a "&" left over from "&&" is a plain character.
    list.push_back(Text(area, StripHotkey(entry.caption), kDtSingleLine | kDtVCenter | kDtCenter | kDtNoPrefix,
                        font, kColorMenuText, kColorMenu));

    if (bar && IsLastDrawnEntry(entry)) DrawSideBar(entry, settings, measure, list);
    return list;
}

int PlainSeparatorHeight(const MenuDrawSettings& settings) { return ScaleToDpi(kPlainSeparatorHeight, settings.dpi); }

DisplayList PlainSeparatorDrawItem(const MenuEntry& entry, const DrawRect& rect, const MenuDrawSettings& settings,
                                   IMenuTextMeasure& measure) {
    DisplayList list;
    const int x0 = HasBar(entry) ? ScaleToDpi(kSideBarWidth, settings.dpi) : 0;
    list.push_back(Fill(x0, rect.top, rect.right, rect.bottom, kColorMenu));
    const int y = rect.top + PlainSeparatorHeight(settings) / 2 - 1;
    list.push_back(Line(x0, y, rect.right, y, kColorBtnShadow));
    list.push_back(Line(x0, y + 1, rect.right, y + 1, kColorBtnHighlight));
    if (x0 > 0 && IsLastDrawnEntry(entry)) DrawSideBar(entry, settings, measure, list);
    return list;
}

void DrawSideBar(const MenuEntry& entry, const MenuDrawSettings& settings, IMenuTextMeasure& measure,
                 DisplayList& list) {
    const int index = SideBarIndex(entry);
    if (index < 0) return;
    const std::string& caption = entry.Parent()->Child(index)->caption;
    const Scaled s{settings.dpi};
    const int h = SubmenuHeight(entry, settings.dpi);
    const int width = s(kSideBarWidth);

    list.push_back(Fill(0, 0, width - 1, h - 1, kColorInactiveCaption));

    DrawOp op;
    op.kind = DrawOpKind::BarText;
    op.font = SideBarFont(settings, measure.PixelsPerInch());
    op.text = caption;
    const int textHeight = measure.Extent(op.font, caption).cy;
    op.x1 = (width - textHeight) / 2;  // C++ division truncates toward zero
    op.y1 = h - s(4);
    op.rect = {0, 0, width, h};
    op.color = kColorInactiveCaptionText;
    op.bkColor = kColorInactiveCaption;
    list.push_back(op);
}

}  // namespace pv
