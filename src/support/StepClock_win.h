#pragma once
// Milliseconds between the steps of a piece of work, for the timing lines the
// program writes when PIVORA_TIMING asks for them.

#include <windows.h>

namespace pv {

class StepClock {
public:
    StepClock() {
        QueryPerformanceFrequency(&freq_);
        QueryPerformanceCounter(&start_);
        last_ = start_;
    }
    // Since the last lap (or the start); the next lap starts now.
    double Lap() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const double ms = Ms(last_, now);
        last_ = now;
        return ms;
    }
    // Since the start.
    double Total() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return Ms(start_, now);
    }

private:
    double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b) const {
        return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq_.QuadPart);
    }
    LARGE_INTEGER freq_{}, start_{}, last_{};
};

}  // namespace pv
