#include "prefs/form_about.h"

#include <algorithm>
#include <cstdio>

namespace pv {

std::string GroupThousands(uint64_t value, const std::string& separator) {
    if (value == 0) return std::string();
    const std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string MemoryText(const MemoryStatus& status, const std::string& separator) {
    char head[64];
    std::snprintf(head, sizeof head, "%d%% used of the total memory at ", status.loadPercent);
    // Half a kilobyte and more rounds up, as the pattern's rounding does.
    const uint64_t kb = status.totalPhysBytes / 1024 + (status.totalPhysBytes % 1024 >= 512 ? 1 : 0);
    return head + GroupThousands(kb, separator) + " KB";
}

void AboutBox::RefreshMemory() {
    const MemoryStatus status = host_.QueryMemoryStatus();
    c_.LabelMemTotal = MemoryText(status, host_.ThousandSeparator());
    c_.ProgressBarP = std::min(100, std::max(0, status.loadPercent));
}

void AboutBox::FormShow() {
    RefreshMemory();
    c_.TimerMemEnabled = true;
}

void AboutBox::TimerMemTimer() {
    if (c_.TimerMemEnabled) RefreshMemory();
}

void AboutBox::FormClose() { c_.TimerMemEnabled = false; }

void AboutBox::LabelUrlClick() { host_.OpenTarget(c_.LabelUrl); }

}  // namespace pv
