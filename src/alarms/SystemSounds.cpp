#include "alarms/SystemSounds.h"

#include "shell/mdlStartup.h"

#include <QDir>
#include <QDirIterator>

namespace SystemSounds {

QString ThemeFolder() {
    return QStringLiteral("/usr/share/sounds/freedesktop");
}

QStringList Files(const QString& themeFolder, const QString& windir) {
    QStringList files;
    if (!themeFolder.isEmpty()) {
        // The theme keeps its sounds in sub-folders (stereo/, 5.1/...).
        static const QStringList audio = {QStringLiteral("*.oga"), QStringLiteral("*.ogg"),
                                          QStringLiteral("*.wav"), QStringLiteral("*.aif"),
                                          QStringLiteral("*.mp3"), QStringLiteral("*.mp2"),
                                          QStringLiteral("*.mp1"), QStringLiteral("*.flac")};
        QStringList theme;
        QDirIterator it(themeFolder, audio, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            theme << it.next();
        theme.sort();
        files << theme;
    }
    if (!windir.isEmpty()) {
        // Windows matches "*.wav" in any letter case.
        QDir media(LocalPath(windir + QStringLiteral("\\media\\")));
        media.setNameFilters({QStringLiteral("*.wav")});
        media.setFilter(QDir::Files);
        media.setSorting(QDir::Unsorted);
        const QStringList names = media.entryList();
        for (const QString& name : names)
            files << media.filePath(name);
    }
    return files;
}

QStringList Files() {
    return Files(ThemeFolder(), qEnvironmentVariable("windir"));
}

} // namespace SystemSounds
