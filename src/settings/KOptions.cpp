#include "settings/KOptions.h"

#include "shell/IniValues.h"
#include "shell/UserNotice.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>

using namespace IniValues;

namespace {

// Field defaults, also used for keys of an existing file that cannot be read.
constexpr int16_t kStyleIdx = 9;
constexpr bool kBorderless = true;
constexpr int32_t kSize = 128;
constexpr int16_t kOT = -1;
constexpr int16_t kHW = 8;
constexpr int16_t kMW = 4;
constexpr int16_t kSW = 2;
constexpr float kPos = 100;
constexpr bool kTransparent = false;

QString defaultStyleFile() {
    return ProgramFolder() + QStringLiteral("/pics/watch2.bmp");
}

// Shortest decimal form of a window coordinate: "100", "-15", "100.5".
QString positionText(float value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}

} // namespace

QString KOptions::FilePath() const {
    return AppDataFolder() + QStringLiteral("mysettings.ini");
}

void KOptions::Defaults() {
    WriteLog(QStringLiteral("Loading default options..."));
    StyleIdx = kStyleIdx;
    StyleFile = defaultStyleFile();
    Borderless = kBorderless;
    SizeX = kSize;
    SizeY = kSize;
    OT = kOT;
    NumAlrms = 0;
    HCol = ParseColor(QStringLiteral("333333"));
    MCol = ParseColor(QStringLiteral("666666"));
    SCol = ParseColor(QStringLiteral("4040FF"));
    HW = kHW;
    MW = kMW;
    SW = kSW;
    PX = kPos;
    PY = kPos;
    Transparent = kTransparent;
}

void KOptions::Load() {
    const QString file = FilePath();
    Alarms.clear();
    Damage.clear();
    if (!FileExists(file)) {
        Defaults();
        return;
    }
    if (QFileInfo(LocalPath(file)).size() > kLargestIniFile) {
        Damage = QStringLiteral("it is larger than 1 MB and was not read");
        Defaults();
        return;
    }
    if (!IniIsText(file))
        Damage = QStringLiteral("it is not a text file");
    const IniReadBatch batch(file); // one read of the file for all its keys
    auto read = [&](const char* section, const char* key) {
        return ReadIniValue(file, QString::fromLatin1(section), QString::fromLatin1(key));
    };
    // A value that is there but cannot be taken is lost at the next save: noted.
    auto noteUnreadable = [&](const char* key) {
        if (Damage.isEmpty())
            Damage = QStringLiteral("the value of %1 cannot be read").arg(QLatin1String(key));
    };
    auto number = [&](const char* section, const char* key, auto convert, auto fallback) {
        const QString text = read(section, key);
        const auto value = convert(text);
        if (!value && !text.isEmpty())
            noteUnreadable(key);
        return value ? *value : fallback;
    };
    auto color = [&](const char* key) {
        const QString text = read("Style", key);
        if (!ColorReadable(text))
            noteUnreadable(key);
        return ParseColor(text);
    };
    const auto int16 = [](const QString& t) { return toInt16(t); };
    const auto int32 = [](const QString& t) { return toInt32(t); };
    const auto boolean = [](const QString& t) { return toBool(t); };

    StyleFile = read("Style", "Bitmap");
    if (StyleFile.isEmpty())
        StyleFile = defaultStyleFile();
    HCol = color("HourColor");
    MCol = color("MinuteColor");
    SCol = color("SecondsColor");
    HW = number("Style", "HourWidth", int16, kHW);
    MW = number("Style", "MinuteWidth", int16, kMW);
    SW = number("Style", "SecondsWidth", int16, kSW);

    Borderless = number("Window", "Borderless", boolean, kBorderless);
    PX = static_cast<float>(number("Window", "WindowX", int32, int32_t(kPos)));
    PY = static_cast<float>(number("Window", "WindowY", int32, int32_t(kPos)));
    OT = number("Window", "AlwaysOnTop", int16, kOT);
    SizeX = number("Window", "SizeX", int32, kSize);
    SizeY = number("Window", "Sizey", int32, kSize);
    Transparent = number("Window", "Transparent", boolean, kTransparent);

    const QList<int> present = NumberedIniSections(file, QStringLiteral("Alarm"));
    const QString countText = read("Alarms", "AlarmsCount");
    const auto count = toInt16(countText);
    QList<int> sections;
    if (count && *count >= 0) {
        NumAlrms = *count;
        for (int i = 1; i <= NumAlrms; ++i)
            sections.append(i);
        if (!present.isEmpty() && present.back() > NumAlrms && Damage.isEmpty())
            Damage = QStringLiteral("it holds alarm sections beyond AlarmsCount");
    } else {
        // A count that cannot be right: the sections that are there are the alarms.
        sections = present;
        NumAlrms = static_cast<int16_t>(present.size());
        if (!countText.isEmpty() || !present.isEmpty())
            noteUnreadable("AlarmsCount");
    }
    for (const int i : std::as_const(sections)) {
        auto alarm = std::make_shared<KAlarm>();
        // A section that cannot be read is dropped; the others still load.
        if (alarm->Load(file, QStringLiteral("Alarm") + QString::number(i)))
            Alarms.append(alarm);
        else if (Damage.isEmpty() && std::binary_search(present.begin(), present.end(), i))
            Damage = QStringLiteral("the section Alarm%1 cannot be read").arg(i);
    }
}

bool KOptions::Save(QString* error) {
    QByteArray out;
    out.reserve(512 + 256 * Alarms.size());
    appendLine(out, QStringLiteral("[Style]"));
    appendLine(out, QStringLiteral("Bitmap=") + StyleFile);
    appendLine(out, QStringLiteral("HourColor=") + ColorText(HCol));
    appendLine(out, QStringLiteral("MinuteColor=") + ColorText(MCol));
    appendLine(out, QStringLiteral("SecondsColor=") + ColorText(SCol));
    appendLine(out, QStringLiteral("HourWidth=") + QString::number(HW));
    appendLine(out, QStringLiteral("MinuteWidth=") + QString::number(MW));
    appendLine(out, QStringLiteral("SecondsWidth=") + QString::number(SW));
    appendLine(out, QString());
    appendLine(out, QStringLiteral("[Window]"));
    appendLine(out, QStringLiteral("Borderless=") + boolText(Borderless));
    appendLine(out, QStringLiteral("AlwaysOnTop=") + QString::number(OT));
    appendLine(out, QStringLiteral("Transparent=") + boolText(Transparent));
    appendLine(out, QStringLiteral("WindowX=") + positionText(PX));
    appendLine(out, QStringLiteral("WindowY=") + positionText(PY));
    appendLine(out, QStringLiteral("SizeX=") + QString::number(SizeX));
    appendLine(out, QStringLiteral("SizeY=") + QString::number(SizeY));
    appendLine(out, QString());
    appendLine(out, QStringLiteral("[Alarms]"));
    appendLine(out, QStringLiteral("AlarmsCount=") + QString::number(SaveAlarmCount()));
    int counter = 0;
    for (const KAlarmPtr& alarm : std::as_const(Alarms)) {
        if (!alarm || alarm->bSave == 0) // once-only alarms end with the program
            continue;
        ++counter;
        appendLine(out, QString());
        appendLine(out, QStringLiteral("[Alarm") + QString::number(counter) + QLatin1Char(']'));
        alarm->Save(out);
    }

    const QString file = FilePath();
    QString reason;
    if (!Damage.isEmpty()) {
        const QString kept = KeepBackup(file, &reason);
        if (kept.isEmpty() && !reason.isEmpty()) {
            // Without the copy the save would lose what could not be read: not saved.
            const QString message =
                QStringLiteral("The settings were not saved: %1 could not be read completely "
                               "(%2), and no copy of it could be kept: %3")
                    .arg(QDir::toNativeSeparators(file), Damage, reason);
            TellUserOnce(QStringLiteral("save ") + file, message);
            if (error)
                *error = message;
            return false;
        }
        if (!kept.isEmpty())
            TellUserOnce(
                QStringLiteral("damaged ") + file,
                QStringLiteral("The settings file %1 could not be read completely "
                               "(%2). The file as it was is kept as %3.")
                    .arg(QDir::toNativeSeparators(file), Damage, QDir::toNativeSeparators(kept)));
        Damage.clear();
    }
    // Start-up and the menus save the same settings again and again: a file that holds
    // these bytes already is left alone, without a temporary file and a sync to disk.
    if (FileHolds(file, out) || WriteFileAtomically(file, out, &reason))
        return true;
    const QString message =
        QStringLiteral("Cannot save the settings to %1: %2. The old file was left as it was.")
            .arg(QDir::toNativeSeparators(file), reason);
    TellUserOnce(QStringLiteral("save ") + file, message);
    if (error)
        *error = message;
    return false;
}

int16_t KOptions::SaveAlarmCount() const {
    int16_t count = 0;
    for (const KAlarmPtr& alarm : Alarms)
        if (alarm && alarm->bSave != 0)
            ++count;
    return count;
}
