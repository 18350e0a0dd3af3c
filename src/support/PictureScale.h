#pragma once
// Smooth scaling of small pictures (the 16 x 16 menu pictures and 16 x 18 tree
// pictures made larger for a high-DPI monitor, or a large shell icon made
// smaller). Pixels are 0xAARRGGBB with straight (not premultiplied) alpha, as
// icons hold them; rows run top to bottom.

#include <cstdint>
#include <vector>

namespace pv {

// Each target pixel is the area-weighted mean of the source pixels it covers,
// weighted by their alpha, so that a transparent neighbour does not darken an
// edge. Whole-number enlargements repeat pixels exactly; sizes of 0 or less give
// an empty result, as does a source smaller than sw * sh.
std::vector<uint32_t> ScalePicture(const std::vector<uint32_t>& src, int sw, int sh, int dw, int dh);

}  // namespace pv
