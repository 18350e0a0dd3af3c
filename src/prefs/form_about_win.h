#pragma once
// TFormAbout: the about box. Created hidden at start-up.

#include <windows.h>

#include <string>

#include "app/AppForm_win.h"

namespace pv {

class TFormAbout : public AppForm {
public:
    TFormAbout();
    ~TFormAbout() override;

    bool Create();

    std::string LabelVer;  // "<product> version <version> for Windows"
    WindowFont LabelUrlFont;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace pv
