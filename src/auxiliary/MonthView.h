#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

class QCalendarWidget;
class QGridLayout;

// One or more consecutive months in a grid, today marked and one date selected. The first
// month carries the month and year navigation; the others follow it.
class MonthView : public QWidget {
    Q_OBJECT
public:
    MonthView(QSize monthSize, QWidget* parent = nullptr);

    // Shows the date's month first, the date selected and today marked.
    void SetValue(QDate date);
    QDate Value() const { return value_; }

    void SetArrangement(int columns, int rows);
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // The month shown first, as its first day.
    QDate FirstMonth() const { return first_; }
    QList<QCalendarWidget*> Months() const { return months_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QCalendarWidget* addMonth(bool leading);
    void showFrom(QDate first);
    void pageChanged(QCalendarWidget* month, int year, int monthOfYear);
    void clicked(QDate date);
    void markToday();

    QSize monthSize_;
    QGridLayout* grid_;
    QList<QCalendarWidget*> months_;
    QDate value_;
    QDate first_;
    QDate today_;
    int columns_ = 0;
    int rows_ = 0;
    bool paging_ = false;
};
