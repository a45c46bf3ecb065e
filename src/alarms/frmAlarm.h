#pragma once

#include "alarms/KAlarm.h"

#include <QDialog>
#include <memory>

class BassPlayer;
class frmAlarms;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QToolButton;

// Edits one alarm: its time, how it recurs and what it does. OK writes every field of the
// alarm at once and adds or updates its row in the list window; it never touches the options'
// collection. Cancel and the close box change nothing.
class frmAlarm : public QDialog {
    Q_OBJECT

public:
    explicit frmAlarm(QWidget* parent = nullptr);
    ~frmAlarm() override;

    // The list window whose rows receive the new or changed alarm.
    void Parent(frmAlarms* parList);
    // Fills the window from an existing alarm and edits that alarm from now on.
    void SetAlarm(const KAlarmPtr& parAlrm);

    // The alarm being edited; empty for a new alarm and after the window closed.
    KAlarmPtr Alarm() const { return alarm; }
    const BassPlayer& PreviewPlayer() const { return *player; }

protected:
    void done(int result) override;

private:
    void pBuild();
    void pMarkMinutes(bool bad);

    void SwiMsg_Click(bool checked);
    void SwiSnd_Click(bool checked);
    void SwiExe_Click(bool checked);
    void SwiEvery_Click(bool checked);
    void UpDown1_Change(int step);
    void PulExe_Click();
    void PulSnd_Click();
    void cmdPreview_Click();
    void Command1_Click();

    KAlarmPtr alarm; // empty for a new alarm
    frmAlarms* list = nullptr;
    std::unique_ptr<BassPlayer> player;

    QTimeEdit* Time1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* SwiSave = nullptr;
    QRadioButton* SwiEvery = nullptr;
    QLineEdit* txMinutes = nullptr;
    QToolButton* UpDownUp = nullptr;
    QToolButton* UpDownDown = nullptr;
    QCheckBox* SwiMsg = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QCheckBox* SwiSnd = nullptr;
    QComboBox* txSnd = nullptr;
    QPushButton* PulSnd = nullptr;
    QPushButton* cmdPreview = nullptr;
    QCheckBox* SwiExe = nullptr;
    QLineEdit* txExe = nullptr;
    QPushButton* PulExe = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};
