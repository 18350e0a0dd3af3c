#pragma once
// The Win32 half of the spine: the application object's few duties (title,
// message pumping, termination), the single-instance mapping, the scratch
// pictures, title painting, and the five windows as the start-up steps see them.

#include <windows.h>

#include <string>

#include "app/InitFinit.h"
#include "app/Settings.h"

namespace pv {

class TFormGeneral;
class TFormShortCuts;
class TFormItems;
class TFormConfig;
class TFormAbout;

// The five windows, created once by WinMain in this order.
struct AppForms {
    TFormGeneral* FormGeneral = nullptr;
    TFormShortCuts* FormShortCuts = nullptr;
    TFormItems* FormItems = nullptr;
    TFormConfig* FormConfig = nullptr;
    TFormAbout* FormAbout = nullptr;
};
extern AppForms Forms;

// The settings of this run, made by CreateAppSettings once the windows exist
// (they live in FormConfig's controls); null before.
Settings* AppSettings();
void CreateAppSettings();
void DestroyAppSettings();

// The windows as the settings code changes them.
class WinAppWindows : public IAppWindows {
public:
    bool IsVisible(AppWindow w) override;
    void Hide(AppWindow w) override;
    void Show(AppWindow w) override;
    std::string TitleText(AppWindow w) override;
    void SetCaption(AppWindow w, const std::string& caption) override;
    WindowFont GetFont(AppWindow w) override;
    void SetFont(AppWindow w, const WindowFont& font) override;
    WindowFont SystemMenuFont() override;
    void BindCaptionPainting(AppWindow w, bool bind) override;
    void BindApplicationActivate(bool bind) override;
    void SetApplicationExStyle(uint32_t exStyle) override;
    void SetLabelUrlFont(const std::string& name, int size) override;
    void ConfigControlsChanged() override;
};

// ---------------------------------------------------------------- application

// The little the program needs of an application object.
class Application {
public:
    static std::string& Title();
    static std::string& HelpFile();
    // Dispatches every pending message; a WM_QUIT found on the way marks the
    // application terminated instead of being lost.
    static void ProcessMessages();
    // Ends the message loop: Run returns (or is never entered) once this ran.
    static void Terminate();
    static bool Terminated();
    // The message loop. Returns the exit code.
    static int Run();
};

// ---------------------------------------------------------------- single instance

extern const char* const kInstanceMappingName;

// Sets StartFlag to 0 and terminates the application when the named mapping
// already exists (another copy runs); otherwise keeps the mapping and stores
// appWindow in it. Throws EOSError when the mapping cannot be made.
void CheckSingleInstance(HWND appWindow, const char* mappingName = kInstanceMappingName);
void ReleaseInstanceMapping();

// ---------------------------------------------------------------- scratch pictures

// Prepared once at start-up for turning shell icons into list pictures.
struct ScratchPictures {
    HBITMAP MenuScratchBitmap = nullptr;    // 32x32, menu colour
    HBITMAP WindowScratchBitmap = nullptr;  // 32x32, window colour
    HBITMAP MenuScratchImage = nullptr;     // 16x16, menu colour
    HBITMAP TreeScratchImage = nullptr;     // 16x18, window colour
};
extern ScratchPictures Scratch;

// A 32-bit top-down DIB section filled with one colour; null when it cannot be made.
HBITMAP CreateSolidBitmap32(int width, int height, COLORREF color);
void CreateScratchImages();
void FreeScratchImages();

// ---------------------------------------------------------------- title painting

// Paints text over the caption bar of hwnd in FontName, bold, 8 points.
void PaintFormCaption(HWND hwnd, const std::string& text, const std::string& fontName);

// ---------------------------------------------------------------- the steps

// Start-up, rebuild and close as they act on the five windows.
class WinAppSteps : public IAppSteps {
public:
    void SetFormTitles(const FormTitles& titles) override;
    std::string ExecutablePath() override;
    void SetHelpFile(const std::string& path) override;
    void FillFontNames() override;
    void SetVersionLabel(const std::string& text) override;
    void SetApplicationTitle(const std::string& title) override;
    void LoadSettings() override;
    void SetMessageTable(const std::map<int, std::string>& table) override;
    void CreateScratchImages() override;
    void CopySystemMenu() override;
    void CheckItemStore() override;
    void LoadItemStore() override;
    void ApplyVisualSettings() override;
    void AssignMenuDrawHandlers() override;
    void EnableTrayMenu() override;
    void AttachTreeChangeHandler() override;

    void DetachTreeChangeHandler() override;
    void DisableTrayMenu() override;
    void ClearItemTable() override;
    void ClearTreesAndMenu() override;
    void DeleteAddedPictures() override;
    void AppendBreakPictures() override;

    void SaveSettings() override;
    void FreeScratchImages() override;
    void ReleaseInstanceMapping() override;
    void ProcessMessages() override;
    void Terminate() override;
    bool Terminated() override;
};

}  // namespace pv
