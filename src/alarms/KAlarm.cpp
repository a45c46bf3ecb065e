#include "alarms/KAlarm.h"

#include "shell/IniValues.h"
#include "shell/mdlStartup.h"

using namespace IniValues;

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kEncodedBreak = QStringLiteral("\u00A7"); // "§" stands for a line break

} // namespace

bool KAlarm::Load(const QString& file, const QString& section) {
    Rang = false;
    auto read = [&](const char* key) { return ReadIniValue(file, section, QLatin1String(key)); };
    // Each field is stored right after its conversion; the first key that cannot be
    // converted stops the load.
    auto readBool = [&](const char* key, bool& field) {
        const auto v = toBool(read(key));
        if (v)
            field = *v;
        return v.has_value();
    };
    auto readInt16 = [&](const char* key, int16_t& field) {
        const auto v = toInt16(read(key));
        if (v)
            field = *v;
        return v.has_value();
    };

    if (!readBool("ShowMessage", SwiMsg))
        return false;
    Text = read("Message").replace(kEncodedBreak, kLineBreak);
    if (!readBool("RunProgram", SwiPgm))
        return false;
    PathPgm = read("Program");
    if (!readBool("PlaySound", SwiSnd))
        return false;
    PathSnd = read("Sound");
    const auto minutes = toInt32(read("RepeatMinutes"));
    if (!minutes)
        return false;
    Minutes = *minutes;
    if (!readInt16("Hour", HH) || !readInt16("Minute", mm) || !readInt16("Mode", bSave))
        return false;

    // An hour or minute out of range (a hand-edited file) counts on into the next hours and
    // days (10:60 is 11:00): the list shows, the editor opens with and the check fires at
    // that time of day, never at none.
    WrapTimeOfDay(int64_t(HH) * 60 + mm, HH, mm);
    RingHH = DefHH = HH;
    RingMM = DefMM = mm;
    return true;
}

void KAlarm::Save(QByteArray& out) const {
    QString message = Text;
    message.replace(kLineBreak, kEncodedBreak);
    appendLine(out, QStringLiteral("ShowMessage=") + boolText(SwiMsg));
    appendLine(out, QStringLiteral("Message=") + message);
    appendLine(out, QStringLiteral("RepeatMinutes=") + QString::number(Minutes));
    appendLine(out, QStringLiteral("RunProgram=") + boolText(SwiPgm));
    appendLine(out, QStringLiteral("Program=") + PathPgm);
    appendLine(out, QStringLiteral("PlaySound=") + boolText(SwiSnd));
    appendLine(out, QStringLiteral("Sound=") + PathSnd);
    appendLine(out, QStringLiteral("Hour=") + QString::number(DefHH));
    appendLine(out, QStringLiteral("Minute=") + QString::number(DefMM));
    appendLine(out, QStringLiteral("Mode=") + QString::number(bSave));
}

void WrapTimeOfDay(int64_t minutes, int16_t& hour, int16_t& minute) {
    constexpr int64_t MinutesPerDay = 24 * 60;
    int64_t total = minutes % MinutesPerDay;
    if (total < 0)
        total += MinutesPerDay;
    hour = int16_t(total / 60);
    minute = int16_t(total % 60);
}
