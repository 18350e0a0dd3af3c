#include "manager/form_items_win.h"

#include "app/InitFinit.h"
#include "app/InitFinit_win.h"
#include "prefs/form_about_win.h"
#include "prefs/form_config_win.h"
#include "../../res/resource.h"

namespace pv {

void AddResourcePictures(HIMAGELIST list, int firstId, int count) {
    for (int i = 0; i < count; ++i) {
        HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(firstId + i),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bmp) continue;
        ImageList_Add(list, bmp, nullptr);
        DeleteObject(bmp);
    }
}

TFormItems::TFormItems() {
    SetName("FormItems");
    PMItems.name = "PMItems";
    PMBasic.name = "PMBasic";
}

TFormItems::~TFormItems() {
    Destroy();
    if (ILAllPublicPM) ImageList_Destroy(ILAllPublicPM);
    if (ILAllPublicTV) ImageList_Destroy(ILAllPublicTV);
}

bool TFormItems::Create() {
    if (!Window::Create("TFormItems", "", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, 480, 520))
        return false;
    CreateImageLists();
    return true;
}

void TFormItems::CreateImageLists() {
    // 32 bits with a mask, so that the pictures' alpha and the shell's icons
    // both come out right.
    ILAllPublicPM = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 32, 32);
    ILAllPublicTV = ImageList_Create(16, 18, ILC_COLOR32 | ILC_MASK, 32, 32);
    // Pictures 0 to 11 and the break pictures at 12 to 14.
    AddResourcePictures(ILAllPublicPM, IDB_PM_FIRST, PV_FIXED_PICTURE_COUNT);
    AddResourcePictures(ILAllPublicTV, IDB_TV_FIRST, PV_FIXED_PICTURE_COUNT);
}

void TFormItems::miManageItemsClick() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void TFormItems::SetupClick() {
    ShowWindow(Forms.FormConfig->Handle(), SW_SHOW);
    SetForegroundWindow(Forms.FormConfig->Handle());
}

void TFormItems::miHelpFileClick() {
    // Launching: OpenTarget(ProgramDir + "help.html") is called here once the
    // launcher is part of the build.
}

void TFormItems::miVisitWebsiteClick() {
    // Launching: OpenTarget(kMakerWebAddress) is called here once the launcher
    // is part of the build.
}

void TFormItems::miAboutClick() {
    ShowWindow(Forms.FormAbout->Handle(), SW_SHOW);
    SetForegroundWindow(Forms.FormAbout->Handle());
}

void TFormItems::miCloseAppClick() {
    WinAppSteps steps;
    CloseProgram(steps);
}

LRESULT TFormItems::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        // The manager is hidden, never destroyed, until the program ends.
        ShowWindow(Handle(), SW_HIDE);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
