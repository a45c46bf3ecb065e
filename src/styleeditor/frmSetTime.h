#pragma once

#include <QDateTime>
#include <QDialog>

class QDateTimeEdit;
class QPushButton;
class QLabel;

// "Set preview time...": picks the time of day the style preview shows. There is no Cancel;
// the close box ends it like "&Ok".
class frmSetTime : public QDialog {
    Q_OBJECT

public:
    explicit frmSetTime(QWidget* parent = nullptr);

    // Shows the dialog modally with parTime and returns the picked value (parTime stays).
    static QDateTime Apri(const QDateTime& parTime, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QDateTimeEdit* DTTime = nullptr;
    QPushButton* Command2 = nullptr; // "Now"
    QPushButton* Command1 = nullptr; // "&Ok"

private:
    void Command2_Click();
};
