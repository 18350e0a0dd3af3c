#include "app/form_general.h"

namespace pv {

HotKeyRegistration HotKeyToRegistration(uint16_t hotKey) {
    HotKeyRegistration r;
    if (hotKey & kScShift) r.modifiers |= kModShift;
    if (hotKey & kScCtrl) r.modifiers |= kModControl;
    if (hotKey & kScAlt) r.modifiers |= kModAlt;
    r.virtualKey = hotKey & 0xFFu;
    return r;
}

}  // namespace pv
