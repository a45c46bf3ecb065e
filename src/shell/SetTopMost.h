#pragma once

class QWidget;

// Puts a window above all others (-1), below all others (1) or among them (any other
// value), keeping its position and size. Changes the state of the existing native window
// in place, so the window is not unmapped and mapped again.
void SetTopMost(QWidget* window, int mode);
