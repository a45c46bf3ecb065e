#pragma once

#include "auxiliary/CalendarLayout.h"

#include <QDialog>
#include <QPointer>

class MonthView;
class QPushButton;
class QStatusBar;

// "Calendar": months from today's, as many as fit the window. Not modal and without owner;
// closing discards it.
class frmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit frmCalendar(QWidget* parent = nullptr);

    // Shows the one calendar window, built at today's date when none is open.
    static frmCalendar* Open();
    // The open calendar window, or none.
    static frmCalendar* Current();

    MonthView* MonthView1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QPushButton* Command1 = nullptr;

    const CalendarLayout& Layout() const { return layout_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Resize();

    CalendarLayout layout_;
    static QPointer<frmCalendar> current_;
};
