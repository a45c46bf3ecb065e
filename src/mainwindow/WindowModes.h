#pragma once

#include <QImage>
#include <QPoint>
#include <Qt>

class QMouseEvent;
class QWidget;

// How the clock's window modes are carried out on the desktop: Qt's own calls where it has
// them, the X server's where it has not. Kept apart from the window so that the window
// reads as what it does, not how.
namespace WindowModes {

// Changes window flags on the live window, so it is not unmapped and mapped again.
void ChangeFlags(QWidget* window, Qt::WindowFlags on, Qt::WindowFlags off);

// A window without title bar and frame, or with them.
void SetFrameless(QWidget* window, bool frameless);

// Round mode: frameless and cut to the ellipse of the client area; or back to a framed
// rectangle.
void SetRound(QWidget* window, bool round);

// Half opacity with pointer input passing through the window and its frame, or neither.
void SetSeeAndClickThrough(QWidget* window, bool on);

// Hides the window, lets the desktop behind it repaint, copies the screen under its client
// area and shows it again (when it was shown). Without a screen the copy is white.
QImage CaptureBehind(QWidget* window);

// Left-drag anywhere on the window moves it: through the window manager when there is
// one, by hand otherwise. A press alone does not start a move, so double-clicks still arrive.
class PointerDrag {
public:
    void press(QWidget* window, QMouseEvent* e);
    void move(QWidget* window, QMouseEvent* e);
    void release() { active_ = false; }

private:
    bool active_ = false;
    QPoint offset_;
};

} // namespace WindowModes
