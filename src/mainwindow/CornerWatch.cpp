#include "mainwindow/CornerWatch.h"

CornerWatch::Action CornerWatch::Tick(unsigned long behind, int32_t left, int32_t top,
                                      bool seeThrough, bool onBottom) {
    Action action = Action::None;
    if (behind != LastCornerWindow) {
        if (left != LastLeft || top != LastTop) {
            // Still moving: a window manager may have raised the clock; the face waits.
            if (onBottom)
                action = Action::BackToBottom;
        } else {
            // Standing still and something else appeared or went behind it.
            LastCornerWindow = behind;
            if (seeThrough)
                action = Action::Capture;
        }
    }
    LastLeft = left;
    LastTop = top;
    return action;
}
