#pragma once

#include "alarms/KAlarm.h"

#include <QList>
#include <QString>
#include <cstdint>

// The settings object; its file is mysettings.ini in the per-user folder.
class KOptions {
public:
    int16_t StyleIdx = 0; // 155 = see-through face; not stored
    QString StyleFile;
    bool Borderless = false;
    int32_t SizeX = 0;
    int32_t SizeY = 0;
    int16_t OT = 0; // -1 on top, 0 normal, 1 on the bottom
    int16_t NumAlrms = 0;
    int32_t HCol = 0;
    int32_t MCol = 0;
    int32_t SCol = 0;
    int16_t HW = 0;
    int16_t MW = 0;
    int16_t SW = 0;
    float PX = 0; // twips
    float PY = 0; // twips
    bool Transparent = false;
    QList<KAlarmPtr> Alarms;

    // Why the file as last loaded could not be taken whole ("" when it could). The next
    // save first keeps that file as mysettings.ini.bak and tells the user.
    QString Damage;

    static constexpr int16_t SeeThroughStyle = 155;

    void Load();
    // Writes the whole file through a temporary file renamed over the old one. On failure
    // the old file and the in-memory values stay; the reason goes to *error, and the user
    // is told once in this session.
    bool Save(QString* error = nullptr);
    int16_t SaveAlarmCount() const;
    void Defaults();

    QString FilePath() const; // per-user folder + mysettings.ini
};
