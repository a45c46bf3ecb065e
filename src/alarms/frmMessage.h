#pragma once

#include "alarms/BassPlayer.h"
#include "alarms/KAlarm.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The notification of one due alarm: its time and message, its sound played once, and
// Close or a snooze of some minutes. Modeless; every due alarm gets a window of its own.
// Controls carry their names as object names (labTime, labText, Label2, Text1, UpDown1,
// Label3, Command1, Command2).
class frmMessage : public QDialog {
    Q_OBJECT

public:
    explicit frmMessage(QWidget* parent = nullptr);
    ~frmMessage() override;

    // Fills the window for the alarm and starts its sound; the caller then shows it.
    void SetAlarm(const KAlarmPtr& parAlarm);

    KAlarmPtr Alarm; // shared with the options' collection

    // This window's sound player; nothing until the alarm has a sound.
    const BassPlayer* player() const { return player_.get(); }

    // Every way of closing (Close, Snooze, Esc, the close box) ends here: the sound stops.
    void done(int result) override;

protected:
    bool event(QEvent* e) override;

private:
    void createControls();
    void placeOnScreen();
    void Command1_Click();
    void Command2_Click();
    void UpDown1_Step(int delta);
    void markText1(bool invalid);

    bool activated = false;
    bool loaded = false;
    std::unique_ptr<BassPlayer> player_;

    QLabel* labTime = nullptr;
    QLabel* labText = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QWidget* UpDown1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
};
