#pragma once

#include <QString>
#include <QStringList>

// The sounds the alarm editor offers in its drop-down list: the files of the desktop's
// freedesktop sound theme, then, when the variable windir names a Windows folder (Wine, a
// mounted system), the .wav files of its media folder in the order the folder lists them.
namespace SystemSounds {

QString ThemeFolder(); // /usr/share/sounds/freedesktop

// Full paths; a missing folder adds nothing.
QStringList Files(const QString& themeFolder, const QString& windir);
QStringList Files(); // the theme folder and the environment's windir

} // namespace SystemSounds
