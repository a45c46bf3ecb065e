#include "settings/KOptions.h"

#include "shell/IniValues.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <charconv>
#include <cmath>
#include <cstdio>

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
    if (!FileExists(file)) {
        Defaults();
        return;
    }
    const IniReadBatch batch(file); // one read of the file for all its keys
    auto read = [&](const char* section, const char* key) {
        return ReadIniValue(file, QString::fromLatin1(section), QString::fromLatin1(key));
    };

    StyleFile = read("Style", "Bitmap");
    if (StyleFile.isEmpty())
        StyleFile = defaultStyleFile();
    HCol = ParseColor(read("Style", "HourColor"));
    MCol = ParseColor(read("Style", "MinuteColor"));
    SCol = ParseColor(read("Style", "SecondsColor"));
    HW = toInt16(read("Style", "HourWidth")).value_or(kHW);
    MW = toInt16(read("Style", "MinuteWidth")).value_or(kMW);
    SW = toInt16(read("Style", "SecondsWidth")).value_or(kSW);

    Borderless = toBool(read("Window", "Borderless")).value_or(kBorderless);
    PX = static_cast<float>(toInt32(read("Window", "WindowX")).value_or(int32_t(kPos)));
    PY = static_cast<float>(toInt32(read("Window", "WindowY")).value_or(int32_t(kPos)));
    OT = toInt16(read("Window", "AlwaysOnTop")).value_or(kOT);
    SizeX = toInt32(read("Window", "SizeX")).value_or(kSize);
    SizeY = toInt32(read("Window", "Sizey")).value_or(kSize);
    Transparent = toBool(read("Window", "Transparent")).value_or(kTransparent);

    NumAlrms = toInt16(read("Alarms", "AlarmsCount")).value_or(0);
    for (int i = 1; i <= NumAlrms; ++i) {
        auto alarm = std::make_shared<KAlarm>();
        // A section that cannot be read is dropped; the others still load.
        if (alarm->Load(file, QStringLiteral("Alarm") + QString::number(i)))
            Alarms.append(alarm);
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
    if (WriteWholeFile(file, out, &reason))
        return true;
    const QString message = QStringLiteral("cannot save the settings to %1: %2")
                                .arg(QDir::toNativeSeparators(file), reason);
    std::fprintf(stderr, "Zintar: %s\n", qPrintable(message));
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
