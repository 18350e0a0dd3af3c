#include "support/PictureScale.h"

#include <algorithm>

namespace pv {

namespace {
// The overlap of [a0, a1) and [b0, b1) in units of 1 / (sw * dw).
int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    const int64_t lo = std::max(a0, b0), hi = std::min(a1, b1);
    return hi > lo ? hi - lo : 0;
}
}  // namespace

std::vector<uint32_t> ScalePicture(const std::vector<uint32_t>& src, int sw, int sh, int dw, int dh) {
    std::vector<uint32_t> out;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return out;
    if (src.size() < static_cast<size_t>(sw) * static_cast<size_t>(sh)) return out;
    out.resize(static_cast<size_t>(dw) * static_cast<size_t>(dh));
    // Positions in a grid fine enough for both sizes: source pixel x spans
    // [x * dw, (x + 1) * dw), target pixel X spans [X * sw, (X + 1) * sw).
    for (int Y = 0; Y < dh; ++Y) {
        const int64_t ty0 = static_cast<int64_t>(Y) * sh, ty1 = ty0 + sh;
        const int y0 = static_cast<int>(ty0 / dh), y1 = static_cast<int>(std::min<int64_t>((ty1 + dh - 1) / dh, sh));
        for (int X = 0; X < dw; ++X) {
            const int64_t tx0 = static_cast<int64_t>(X) * sw, tx1 = tx0 + sw;
            const int x0 = static_cast<int>(tx0 / dw), x1 = static_cast<int>(std::min<int64_t>((tx1 + dw - 1) / dw, sw));
            double a = 0, r = 0, g = 0, b = 0, area = 0;
            for (int y = y0; y < y1; ++y) {
                const int64_t wy = Overlap(ty0, ty1, static_cast<int64_t>(y) * dh, static_cast<int64_t>(y + 1) * dh);
                for (int x = x0; x < x1; ++x) {
                    const int64_t wx = Overlap(tx0, tx1, static_cast<int64_t>(x) * dw, static_cast<int64_t>(x + 1) * dw);
                    const double w = static_cast<double>(wx * wy);
                    if (w <= 0) continue;
                    const uint32_t p = src[static_cast<size_t>(y) * static_cast<size_t>(sw) + static_cast<size_t>(x)];
                    const double pa = (p >> 24) & 0xFF;
                    area += w;
                    a += w * pa;
                    r += w * pa * ((p >> 16) & 0xFF);
                    g += w * pa * ((p >> 8) & 0xFF);
                    b += w * pa * (p & 0xFF);
                }
            }
            uint32_t px = 0;
            if (a > 0) {
                auto chan = [&](double v) { return static_cast<uint32_t>(std::min(255.0, v / a + 0.5)); };
                const uint32_t alpha = static_cast<uint32_t>(std::min(255.0, a / area + 0.5));
                px = (alpha << 24) | (chan(r) << 16) | (chan(g) << 8) | chan(b);
            }
            out[static_cast<size_t>(Y) * static_cast<size_t>(dw) + static_cast<size_t>(X)] = px;
        }
    }
    return out;
}

}  // namespace pv
