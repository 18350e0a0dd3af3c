#pragma once
// TFormAbout: the about box. Created hidden at start-up.

#include <windows.h>

#include <string>

#include "model/AppModel.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormAbout : public AppForm {
public:
    explicit TFormAbout(AppModel& model);
    ~TFormAbout() override;

    bool Create();

    WindowFont LabelUrlFont;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace pv
