#pragma once
// The about box's controls as plain data, and what its handlers do: the
// version and distributor lines, the web address, and the memory display that
// a timer refreshes once a second while the box is shown. AboutBox reaches the
// system only through IAboutBoxHost, which the program implements.

#include <cstdint>
#include <string>

#include "model/AppModel.h"

namespace pv {

inline constexpr const char* kDistributorLine = "Distributed by Kelvory";
inline constexpr int kTimerMemInterval = 1000;  // ms

struct FormAboutControls {
    std::string LabelVer;       // ProductTitle + " version " + ProgramVersion + " for Windows"
    std::string LabelDis = kDistributorLine;
    std::string LabelUrl = kMakerWebAddress;
    std::string LabelMemTotal;  // the memory text
    int ProgressBarP = 0;       // memory load, 0 to 100
    bool TimerMemEnabled = false;
};

// The system's memory status: the load in percent and the whole physical memory.
struct MemoryStatus {
    int loadPercent = 0;
    uint64_t totalPhysBytes = 0;
};

// A whole number with its digits grouped in thousands: 1048576 with "," gives
// "1,048,576". Zero gives an empty text, like the "#,###" pattern.
std::string GroupThousands(uint64_t value, const std::string& separator);

// "37% used of the total memory at 1,048,576 KB": the load, then the memory
// in KB (bytes / 1024, rounded to the nearest whole number) with its thousands
// grouped by separator.
std::string MemoryText(const MemoryStatus& status, const std::string& separator);

class IAboutBoxHost {
public:
    virtual ~IAboutBoxHost() = default;
    virtual MemoryStatus QueryMemoryStatus() = 0;
    // The thousands separator of the user's locale.
    virtual std::string ThousandSeparator() = 0;
    // Opens a document or web address through the shell; tells the user when that fails.
    virtual void OpenTarget(const std::string& target) = 0;
};

class AboutBox {
public:
    AboutBox(FormAboutControls& controls, IAboutBoxHost& host) : c_(controls), host_(host) {}

    // Shown: the memory display at once, then the timer.
    void FormShow();
    // A tick of TimerMem; one that was already queued when the timer stopped does nothing.
    void TimerMemTimer();
    // Closed: the timer stops; text and gauge keep their last values.
    void FormClose();
    void LabelUrlClick();

private:
    void RefreshMemory();

    FormAboutControls& c_;
    IAboutBoxHost& host_;
};

}  // namespace pv
