#include "support/UkvGraphics.h"

#include <cstdlib>

namespace pv {

CaptionTextPos CaptionTextPosition(int cxBorder, int cyCaption, int textHeight) {
    return CaptionTextPos{cxBorder + 4, std::abs(cyCaption - textHeight) / 2 + 2};
}

}  // namespace pv
