#pragma once
// What FormItems, FormConfig and FormAbout share: a title text of their own,
// separate from the caption, painted over the caption bar when the program
// draws titles; a window font; hiding instead of closing.

#include <windows.h>

#include <string>
#include <vector>

#include "support/LayoutFit.h"
#include "support/UkvGraphics.h"
#include "support/Window_win.h"

namespace pv {

class AppForm : public Window {
public:
    // captionFont: the name of the font titles are painted in (the settings'
    // FontName); it must outlive the window.
    explicit AppForm(const std::string& captionFont) : captionFont_(captionFont) {}
    ~AppForm() override;

    std::string TitleText;

    // Whether FormActivate and FormPaint are bound, so that PaintFormCaption
    // writes TitleText over the (empty) caption.
    void SetCaptionPainting(bool on);
    bool CaptionPainting() const { return paintCaption_; }

    const WindowFont& Font() const { return font_; }
    // Makes the font and hands it to every child control.
    void SetFont(const WindowFont& font);
    HFONT FontHandle() const { return hfont_; }

    void SetCaption(const std::string& caption);
    // With its own button the window is unowned and shows on the task bar;
    // without, it is owned by owner (the hidden main window), and owned windows
    // get no button. Either way it keeps its full caption and icon.
    void SetTaskBarButton(bool own, HWND owner);

    // The window is made when it is first presented (or EnsureWindow is called):
    // start-up does not pay for windows the user may never open. Until then the
    // caption, the font and the title painting are kept and applied when it is.
    bool EnsureWindow();

    // Sizes the window for a client area of width x height and centres it on
    // the screen's work area.
    void PlaceCentred(int width, int height);

    // Shows the window (not modally) and brings it to the front; centred, and
    // FormShow run, when it was hidden.
    void Present();
    // Shows a window hidden for a change of looks again where it was, with its
    // FormShow.
    void ShowAgain();

    void FormActivate();
    void FormPaint();

    // The DPI of the window's monitor, and the factor (thousandths) its layout,
    // designed at 96 dpi and 8 points, is drawn at: at least the DPI's, more
    // where the font needs it.
    int Dpi() const { return dpi_; }
    int LayoutFactor() const { return scale_; }
    int Scaled(int length) const { return ScaleLength(length, scale_); }
    LayoutRect Scaled(const LayoutRect& r) const { return ScaleRect(r, scale_); }
    // What child needs to show text in its own font within base (at 96 dpi):
    // the text's size and the room the kind of control takes beside it.
    // Texts a static shows with an ellipsis ask for no width.
    LayoutNeed NeedOf(HWND child, const LayoutRect& base, const std::string& text) const;
    // Sets the factor for needs and sizes the client area for the design's
    // size at it, keeping the window's place.
    void Fit(const std::vector<LayoutNeed>& needs);

protected:
    // Children the form created at base rectangles (96 dpi): LayOutPlaced fits
    // the factor to their texts (what they show and the longest text each
    // takes) and moves them to their places at it.
    void Place(HWND child, const LayoutRect& base);
    void AddLongestText(HWND child, const std::string& text);
    // extra: the needs of controls the form places itself.
    void LayOutPlaced(const std::vector<LayoutNeed>& extra = {});
    // The DPI changed (WM_DPICHANGED): the window has its suggested rectangle;
    // by default the font is made again, which lays the window out again.
    virtual void DpiChanged() { SetFont(font_); }

    // Runs after Present or ShowAgain has shown the window.
    virtual void FormShow() {}
    // Makes the window with its controls, for EnsureWindow; false when it could
    // not be made.
    virtual bool MakeWindow() { return false; }
    // Runs after SetFont has handed the new font to the child controls.
    virtual void FontChanged() {}

    // Creates the window as a fixed dialog frame with only the system-menu
    // border icon, hidden, its client area width x height, centred.
    bool CreateDialogFrame(const char* className, int width, int height);

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    const std::string& captionFont_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    bool paintCaption_ = false;
    std::string caption_;
    bool ownButton_ = true;
    HWND owner_ = nullptr;
    LONG_PTR ExStyle(LONG_PTR ex) const;
    HWND Owner() const { return ownButton_ ? nullptr : owner_; }
    WindowFont font_{"MS Sans Serif", 8, false};
    HFONT hfont_ = nullptr;
    int dpi_ = 96;
    int scale_ = 1000;
    struct Placed {
        HWND hwnd;
        LayoutRect base;
        std::vector<std::string> longest;
    };
    std::vector<Placed> placed_;
};

}  // namespace pv
