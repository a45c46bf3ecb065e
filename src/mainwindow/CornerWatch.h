#pragma once

#include <cstdint>

// The tick's watch of the window behind the clock's top-left corner, in round mode with the
// see-through face or the bottom z-order. It decides; the clock window acts.
class CornerWatch {
public:
    enum class Action { None, BackToBottom, Capture };

    // One tick: the top-level window now behind the corner (0 for the bare desktop) and the
    // clock's position in whole twips.
    Action Tick(unsigned long behind, int32_t left, int32_t top, bool seeThrough, bool onBottom);

    unsigned long LastCornerWindow = 0; // window last seen behind the corner
    int32_t LastLeft = 0;               // position at the previous tick, twips
    int32_t LastTop = 0;
};
