#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>

class QTreeWidgetItem;

// One alarm. Shared: the options' collection, a list row, the editor and a notification
// window hold the same object, so a change made in one place is seen by all.
class KAlarm {
public:
    bool SwiMsg = false;
    QString Text; // may hold line breaks ("\r\n")
    bool SwiPgm = false;
    QString PathPgm;
    bool SwiSnd = false;
    QString PathSnd;
    int16_t HH = 0;
    int16_t mm = 0;
    int16_t RingHH = 0;
    int16_t RingMM = 0;
    int16_t DefHH = 0;
    int16_t DefMM = 0;
    int16_t bSave = 0; // 0 once, -1 every day, 1 every Minutes minutes
    int32_t Minutes = 0;
    QTreeWidgetItem* ListItem = nullptr; // row of an open alarm list; never owned
    bool Rang = false;
    // The wall clock minute (date and time, no zone) it last fired at, so that a daily
    // alarm does not fire again when the clock goes back over it. Not saved.
    QDateTime LastFired;

    // Reads the ten keys of one section; false when a key cannot be converted (the
    // fields read before it keep their new values).
    bool Load(const QString& file, const QString& section);
    // Appends the ten key lines (UTF-8, CR LF) to the file being written.
    void Save(QByteArray& out) const;
};

using KAlarmPtr = std::shared_ptr<KAlarm>;

// Minutes after midnight, as many as given and of either sign, counted on as a time serial
// does to the time of day they reach: 25 * 60 is 01:00, -60 is 23:00. Stored in hour, minute.
void WrapTimeOfDay(int64_t minutes, int16_t& hour, int16_t& minute);
