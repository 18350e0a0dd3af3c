#pragma once
// TFormAbout: the about box, made when first shown. The window creates its
// controls (the logo, the labels, the web address as a link, the memory gauge),
// mirrors Controls into them, runs TimerMem while Controls says so, and
// forwards its events to Handlers.

#include <windows.h>

#include <string>

#include "model/AppModel.h"
#include "prefs/form_about.h"
#include "support/AppForm_win.h"

namespace pv {

class TFormAbout : public AppForm {
public:
    TFormAbout(AppModel& model, IAboutBoxHost& host);
    ~TFormAbout() override;

    // The window waits for its first showing (MakeWindow); nothing to do at
    // start-up.
    bool Create() { return true; }

    FormAboutControls Controls;
    AboutBox Handlers;

    // LabelUrl's own font (underlined whatever the name and size); the settings
    // give it the box's font name and size while the program draws.
    WindowFont LabelUrlFont{"MS Sans Serif", 8, false};
    void SetLabelUrlFont(const std::string& name, int size);

    // Mirrors Controls into the controls, and starts or stops TimerMem.
    void PushToControls();
    bool TimerMemRunning() const { return timerRunning_; }

protected:
    void FormShow() override;
    bool MakeWindow() override;
    void FontChanged() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    HWND MakeChild(int id, const char* cls, const char* text, DWORD style, int x, int y, int w, int h);
    void ApplyLabelUrlFont();
    template <class Body>
    void Run(const char* sender, Body&& body);

    HFONT urlFont_ = nullptr;
    std::string layoutFor_;  // the texts the layout was last fitted to
    bool timerRunning_ = false;
    bool childMissing_ = false;
};

// The memory load and the whole physical memory (GlobalMemoryStatusEx, which
// counts beyond 4 GiB also in a 32-bit program).
MemoryStatus QueryMemoryStatus();
// The user's thousands separator (LOCALE_STHOUSAND); "," when there is none.
std::string SystemThousandSeparator();

}  // namespace pv
