#include "settings/KSkin.h"

#include "shell/IniValues.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <cstdio>

using namespace IniValues;

SkinList& DefaultSkins() {
    static SkinList skins;
    return skins;
}

SkinList& UserSkins() {
    static SkinList skins;
    return skins;
}

void LoadSkins() {
    DefaultSkins().clear();
    UserSkins().clear();
    const QString builtIn = ProgramFolder() + QStringLiteral("/DefaultSkins.ini");
    if (FileExists(builtIn))
        LoadSkinFile(builtIn, DefaultSkins());
    const QString own = AppDataFolder() + QStringLiteral("myskins.ini");
    if (FileExists(own))
        LoadSkinFile(own, UserSkins());
}

void LoadSkinFile(const QString& path, SkinList& target) {
    WriteLog(QStringLiteral("Loading default skins..."));
    const IniReadBatch batch(path); // one read of the file for all its keys
    const QString countText = ReadIniValue(path, QStringLiteral("Skins"), QStringLiteral("Count"));
    bool whole = false;
    const int countRead = countText.toInt(&whole);
    WriteLog(QStringLiteral("Found ") + QString::number(whole ? countRead : 0) +
             QStringLiteral(" skins..."));
    // A count that is missing, not a whole number or beyond 32767 records reads as empty.
    const int count = (whole && countRead >= 1 && countRead <= 32767) ? countRead : 0;

    QString lastName;
    const QString appFolder = ProgramFolder();
    for (int k = 1; k <= count; ++k) {
        const QString section = QStringLiteral("Skin") + QString::number(k);
        auto read = [&](const char* key) {
            return ReadIniValue(path, section, QLatin1String(key));
        };
        auto skin = std::make_shared<KSkin>();
        skin->Name = read("Name");
        skin->FileName = read("Bitmap");
        skin->Hour = ParseColor(read("Hour"));
        skin->Minute = ParseColor(read("Minute"));
        skin->Second = ParseColor(read("Second"));
        skin->HDM = toInt32(read("HourSize")).value_or(0);
        skin->MDM = toInt32(read("MinuteSize")).value_or(0);
        skin->SDM = toInt32(read("SecondSize")).value_or(0);
        skin->FileName.replace(QStringLiteral("%app%"), appFolder, Qt::CaseSensitive);
        // Only a name equal to the one just accepted is dropped.
        if (skin->Name != lastName) {
            lastName = skin->Name;
            target.append(skin);
        }
    }
    WriteLog(QStringLiteral("Done loading skins."));
}

bool SaveUserSkins(QString* error) {
    const SkinList& skins = UserSkins();
    QByteArray out;
    out.reserve(64 + 200 * skins.size());
    appendLine(out, QStringLiteral("[Skins]"));
    appendLine(out, QStringLiteral("Count=") + QString::number(skins.size()));
    int k = 0;
    for (const KSkinPtr& skin : skins) {
        ++k;
        const KSkin empty;
        const KSkin& s = skin ? *skin : empty;
        appendLine(out, QString());
        appendLine(out, QStringLiteral("[Skin") + QString::number(k) + QLatin1Char(']'));
        appendLine(out, QStringLiteral("Name=") + s.Name);
        appendLine(out, QStringLiteral("Bitmap=") + s.FileName);
        appendLine(out, QStringLiteral("Hour = ") + ColorText(s.Hour));
        appendLine(out, QStringLiteral("Minute = ") + ColorText(s.Minute));
        appendLine(out, QStringLiteral("Second = ") + ColorText(s.Second));
        appendLine(out, QStringLiteral("HourSize = ") + QString::number(s.HDM));
        appendLine(out, QStringLiteral("MinuteSize = ") + QString::number(s.MDM));
        appendLine(out, QStringLiteral("SecondSize = ") + QString::number(s.SDM));
    }

    const QString file = AppDataFolder() + QStringLiteral("myskins.ini");
    QString reason;
    if (WriteWholeFile(file, out, &reason))
        return true;
    const QString message = QStringLiteral("cannot save the styles to %1: %2")
                                .arg(QDir::toNativeSeparators(file), reason);
    std::fprintf(stderr, "Zintar: %s\n", qPrintable(message));
    if (error)
        *error = message;
    return false;
}
