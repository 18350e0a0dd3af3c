#include "support/LayoutFit.h"

#include <cstdint>

namespace pv {

namespace {
constexpr int kUnit = 1000;

int ScaleEdge(int v, int scale) {
    const int64_t n = static_cast<int64_t>(v) * scale;
    return static_cast<int>(n >= 0 ? (n + kUnit / 2) / kUnit : -((-n + kUnit / 2) / kUnit));
}

// The least factor that makes a length of base at least need: an edge rounds
// by at most half a pixel, so a scaled length loses at most one pixel.
int FactorFor(int need, int base) {
    if (need <= 0 || base <= 0) return 0;
    const int64_t n = static_cast<int64_t>(need + 1) * kUnit;
    return static_cast<int>((n + base - 1) / base);
}
}  // namespace

int ScaleToDpi(int px, int dpi) {
    if (dpi <= 0) dpi = kBaseDpi;
    const int64_t num = static_cast<int64_t>(px) * dpi;
    const int64_t q = (num >= 0 ? num + kBaseDpi / 2 : num - kBaseDpi / 2) / kBaseDpi;
    return static_cast<int>(q);
}

int PictureSizeForDpi(int dpi) { return ScaleToDpi(16, dpi); }

int LayoutScale(int dpi, const std::vector<LayoutNeed>& needs) {
    if (dpi <= 0) dpi = kBaseDpi;
    int scale = (dpi * kUnit + 95) / 96;
    for (const LayoutNeed& n : needs) {
        if (n.textWidth > 0) {
            const int f = FactorFor(n.textWidth + n.extraWidth, n.base.width);
            if (f > scale) scale = f;
        }
        if (n.textHeight > 0) {
            const int f = FactorFor(n.textHeight + n.extraHeight, n.base.height);
            if (f > scale) scale = f;
        }
    }
    return scale;
}

int ScaleLength(int length, int scale) { return ScaleEdge(length, scale); }

LayoutRect ScaleRect(const LayoutRect& r, int scale) {
    LayoutRect o;
    o.left = ScaleEdge(r.left, scale);
    o.top = ScaleEdge(r.top, scale);
    o.width = ScaleEdge(r.left + r.width, scale) - o.left;
    o.height = ScaleEdge(r.top + r.height, scale) - o.top;
    return o;
}

}  // namespace pv
