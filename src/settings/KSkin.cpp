#include "settings/KSkin.h"

#include "shell/IniValues.h"
#include "shell/UserNotice.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

using namespace IniValues;

SkinList& DefaultSkins() {
    static SkinList skins;
    return skins;
}

SkinList& UserSkins() {
    static SkinList skins;
    return skins;
}

namespace {
// Why myskins.ini as last loaded could not be taken whole; "" when it could.
QString userSkinsDamage;

QString userSkinsPath() {
    return AppDataFolder() + QStringLiteral("myskins.ini");
}
} // namespace

void LoadSkins() {
    DefaultSkins().clear();
    UserSkins().clear();
    userSkinsDamage.clear();
    const QString builtIn = ProgramFolder() + QStringLiteral("/DefaultSkins.ini");
    if (FileExists(builtIn))
        LoadSkinFile(builtIn, DefaultSkins());
    const QString own = userSkinsPath();
    if (FileExists(own))
        userSkinsDamage = LoadSkinFile(own, UserSkins());
}

QString LoadSkinFile(const QString& path, SkinList& target) {
    WriteLog(QStringLiteral("Loading default skins..."));
    if (QFileInfo(LocalPath(path)).size() > kLargestIniFile) {
        WriteLog(QStringLiteral("Found 0 skins..."));
        WriteLog(QStringLiteral("Done loading skins."));
        return QStringLiteral("it is larger than 1 MB and was not read");
    }
    QString damage = IniIsText(path) ? QString() : QStringLiteral("it is not a text file");
    auto note = [&](const QString& why) {
        if (damage.isEmpty())
            damage = why;
    };
    const IniReadBatch batch(path); // one read of the file for all its keys
    const QString countText = ReadIniValue(path, QStringLiteral("Skins"), QStringLiteral("Count"));
    bool whole = false;
    const int countRead = countText.toInt(&whole);
    WriteLog(QStringLiteral("Found ") + QString::number(whole ? countRead : 0) +
             QStringLiteral(" skins..."));
    const QList<int> present = NumberedIniSections(path, QStringLiteral("Skin"));
    QList<int> sections;
    if (whole && countRead >= 0 && countRead <= 32767) {
        for (int k = 1; k <= countRead; ++k)
            sections.append(k);
        if (!present.isEmpty() && present.back() > countRead)
            note(QStringLiteral("it holds style sections beyond Count"));
    } else {
        // A count that cannot be right: the sections that are there are the styles.
        sections = present;
        if (!countText.isEmpty() || !present.isEmpty())
            note(QStringLiteral("the value of Count cannot be read"));
    }

    QString lastName;
    const QString appFolder = ProgramFolder();
    for (const int k : std::as_const(sections)) {
        const QString section = QStringLiteral("Skin") + QString::number(k);
        auto read = [&](const char* key) {
            return ReadIniValue(path, section, QLatin1String(key));
        };
        auto color = [&](const char* key) {
            const QString text = read(key);
            if (!ColorReadable(text))
                note(QStringLiteral("a colour of %1 cannot be read").arg(section));
            return ParseColor(text);
        };
        auto width = [&](const char* key) {
            const QString text = read(key);
            const auto value = toInt32(text);
            if (!value && !text.isEmpty())
                note(QStringLiteral("a width of %1 cannot be read").arg(section));
            return value.value_or(0);
        };
        auto skin = std::make_shared<KSkin>();
        skin->Name = read("Name");
        skin->FileName = read("Bitmap");
        skin->Hour = color("Hour");
        skin->Minute = color("Minute");
        skin->Second = color("Second");
        skin->HDM = width("HourSize");
        skin->MDM = width("MinuteSize");
        skin->SDM = width("SecondSize");
        skin->FileName.replace(QStringLiteral("%app%"), appFolder, Qt::CaseSensitive);
        // Only a name equal to the one just accepted is dropped.
        if (skin->Name != lastName) {
            lastName = skin->Name;
            target.append(skin);
        } else if (std::binary_search(present.begin(), present.end(), k)) {
            note(QStringLiteral("%1 repeats the name of the style before it").arg(section));
        }
    }
    WriteLog(QStringLiteral("Done loading skins."));
    return damage;
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

    const QString file = userSkinsPath();
    QString reason;
    if (!userSkinsDamage.isEmpty()) {
        const QString kept = KeepBackup(file, &reason);
        if (kept.isEmpty() && !reason.isEmpty()) {
            // Without the copy the save would lose what could not be read: not saved.
            const QString message =
                QStringLiteral("The styles were not saved: %1 could not be read completely "
                               "(%2), and no copy of it could be kept: %3")
                    .arg(QDir::toNativeSeparators(file), userSkinsDamage, reason);
            TellUserOnce(QStringLiteral("save ") + file, message);
            if (error)
                *error = message;
            return false;
        }
        if (!kept.isEmpty())
            TellUserOnce(QStringLiteral("damaged ") + file,
                         QStringLiteral("The styles file %1 could not be read completely "
                                        "(%2). The file as it was is kept as %3.")
                             .arg(QDir::toNativeSeparators(file), userSkinsDamage,
                                  QDir::toNativeSeparators(kept)));
        userSkinsDamage.clear();
    }
    if (WriteFileAtomically(file, out, &reason))
        return true;
    const QString message =
        QStringLiteral("Cannot save the styles to %1: %2. The old file was left as it was.")
            .arg(QDir::toNativeSeparators(file), reason);
    TellUserOnce(QStringLiteral("save ") + file, message);
    if (error)
        *error = message;
    return false;
}
