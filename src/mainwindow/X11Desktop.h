#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <span>

class QByteArray;
class QImage;
class QWidget;

// The few questions about the desktop that Qt has no call for, answered through the X
// server. Every function is safe without X (offscreen, Wayland): it then answers "no" or
// 0 and changes nothing.
namespace X11Desktop {

using WindowId = unsigned long;

bool Available();

// The window's X window as it is now. Qt makes a new one when a window is shown again after
// its stay-on-top or stay-on-bottom hint changed, and QWidget::winId() keeps the old number.
WindowId NativeWindow(const QWidget* window);

// The top-level window (a child of the root, normally the window manager's frame) that
// shows at a screen pixel, passing over the window that holds `own`; 0 for the bare desktop.
WindowId TopLevelAt(QPoint screenPixel, WindowId own);

// The child of the root window that holds the window: its frame under a window manager.
WindowId TopLevelOf(WindowId window);

// Maps the window again when it is neither shown nor held by the window manager (unmapped,
// and no WM_STATE or a withdrawn one): a window the window manager let go of while Qt still
// counts it as shown. An iconified window or one on another desktop keeps its state and is
// left alone. True when it mapped it.
bool MapIfWithdrawn(WindowId window);

// Where the X server shows the window's client area, in screen pixels; false without X or
// before the window exists.
bool ClientOrigin(const QWidget* window, QPoint* origin);

// True when a compositing manager runs, so that half-transparent windows can be shown.
bool CompositorRunning();

// True when a system tray (an XEmbed tray such as tint2's) owns its selection.
bool TrayPresent();

// Lets pointer input pass through the window and the frame the window manager put around
// it (an empty input shape on both), or restores normal input.
void SetInputPassThrough(QWidget* window, bool passThrough);

// The running window manager's own name (_NET_WM_NAME of its check window), empty for none.
QString WindowManagerName();

// Asks for a frame without minimise and maximise buttons where the Motif hints Qt sets are
// not enough. Call it before the window is mapped.
void AskNoMinimiseButton(QWidget* window);

// Keeps the window out of the taskbar and the pager: as the window's state before it is
// mapped, and by asking the window manager while it is mapped.
void SkipTaskbar(QWidget* window);

// Puts the given parts of a 32-bit RGB picture (the window's size, one picture pixel per
// window pixel) straight onto the window, without a round trip. False when the window
// cannot take it that way (not X, another depth or pixel layout): then nothing was sent.
bool PutImage(WindowId window, const QImage& image, std::span<const QRect> rects);

// Whether PutImage can draw on the window (an X window of the 32-bit RGB layout).
bool TakesImages(WindowId window);

// Lets go of the memory shared with the X server for large changes; the next large change
// sets it up again.
void ReleaseSharedPicture();

// True for a native event (as QWidget::nativeEvent gets it) that exposes part of a window.
bool IsExpose(const QByteArray& eventType, void* message);

// Asks the X server to report every change among the top-level windows: one mapped,
// unmapped, moved, resized, restacked, reparented or destroyed, and a new stacking list.
void WatchTopLevels(bool on);

// True for a native event that WatchTopLevels asked for.
bool IsTopLevelChange(const QByteArray& eventType, void* message);

// Asks the X server to report when a compositing manager starts or ends (the owner of its
// selection changes). False when the server cannot tell.
bool WatchCompositor();
// True for the native event that reports it.
bool IsCompositorChange(const QByteArray& eventType, void* message);

// Waits until the X server has handled every request sent so far.
void Sync();

} // namespace X11Desktop
