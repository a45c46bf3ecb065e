#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <functional>

// The clock's icon in the system tray. One icon for the whole run, added when the clock
// window is loaded and removed when it closes.

// Pointer messages the tray reports, by the numbers the clock's handler knows them by.
inline constexpr int kTrayLeftDown = 513;
inline constexpr int kTrayLeftUp = 514;
inline constexpr int kTrayRightDown = 516;

using TrayCallback = std::function<void(int message)>;

// Shows the icon with the tip (cut to TrayTip) and sends its pointer messages to the
// callback. Without a tray the clock works from its own menu: this says so once on stderr
// and the icon appears by itself when a tray comes up later. False without a tray.
bool AddTrayIcon(const TrayCallback& callback, const QIcon& icon, const QString& tip);
// Removes the icon; false when there was none.
bool RemoveTrayIcon();
// True while the icon is added.
bool TrayIconAdded();

// The tip as the tray shows it: the text cut to at most 63 characters.
QString TrayTip(const QString& text);

// The clock picture of the tray icon (16 x 16) and of the About window (32 x 32).
QIcon ClockIcon();
// The same picture at any size, for the icon theme files of an installed program.
QImage ClockIconImage(int size);
