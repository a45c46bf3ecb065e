#pragma once

#include "alarms/KAlarm.h"

#include <QString>
#include <cstdint>
#include <optional>

// What the alarm editor's OK writes, apart from the window that collects it.
struct AlarmEdit {
    int16_t bSave = 0; // 0 "Once", -1 "Every Day", 1 "Every"
    int hour = 0;
    int minute = 0;
    bool SwiMsg = false;
    QString Text; // as typed: line breaks are LF
    bool SwiSnd = false;
    QString PathSnd;
    bool SwiPgm = false;
    QString PathPgm;
    QString minutesText;

    // Whole number of minutes in the text (blanks around it allowed), if it holds one that
    // fits 32 bits.
    static std::optional<int32_t> WholeMinutes(const QString& text);

    // The minutes text after one step of the spin buttons: within 1 to 120; a text that
    // holds no number steps from the bottom of that range.
    static QString StepMinutes(const QString& text, int step);

    // Messages are kept with CR LF line breaks; the editor's field uses LF.
    static QString MessageForEditor(const QString& text);
    static QString MessageFromEditor(const QString& typed);

    // Writes every field into the alarm (the three time pairs alike, Rang cleared). When the
    // minutes text is no whole number nothing is written and false comes back.
    bool WriteTo(KAlarm& alarm) const;
};
