#pragma once
// TFormAbout: the about box. Created hidden at start-up.

#include <windows.h>

#include <string>

#include "support/Window_win.h"

namespace pv {

class TFormAbout : public Window {
public:
    TFormAbout();
    ~TFormAbout() override;

    bool Create();

    std::string TitleText;
    std::string LabelVer;  // "<product> version <version> for Windows"
    int Tag = 0;           // 1 while hidden by HideOpenWindows

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace pv
