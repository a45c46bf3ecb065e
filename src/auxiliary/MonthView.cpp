#include "auxiliary/MonthView.h"

#include "shell/TimeSource.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QTextCharFormat>
#include <QToolButton>

MonthView::MonthView(QSize monthSize, QWidget* parent)
    : QWidget(parent), monthSize_(monthSize), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(0);
    today_ = TimeSource::now().date();
    value_ = today_;
    first_ = QDate(today_.year(), today_.month(), 1);
    SetArrangement(1, 1);
}

QCalendarWidget* MonthView::addMonth(bool leading) {
    auto* month = new QCalendarWidget(this);
    month->setFixedSize(monthSize_);
    month->setGridVisible(false);
    month->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    if (!leading) {
        // The following months page with the first one: no arrows and no month or year menus.
        for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
            if (auto* b = month->findChild<QToolButton*>(QLatin1String(name)))
                b->hide();
        for (const char* name : {"qt_calendar_monthbutton", "qt_calendar_yearbutton"})
            if (auto* b = month->findChild<QToolButton*>(QLatin1String(name)))
                b->setAttribute(Qt::WA_TransparentForMouseEvents);
        if (auto* year = month->findChild<QWidget*>(QStringLiteral("qt_calendar_yearedit")))
            year->setEnabled(false);
    }
    // The day grid keeps Enter for itself; the window's default button is meant by it.
    if (auto* days = month->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview")))
        days->installEventFilter(this);
    connect(month, &QCalendarWidget::currentPageChanged, this,
            [this, month](int y, int m) { pageChanged(month, y, m); });
    connect(month, &QCalendarWidget::clicked, this, &MonthView::clicked);
    return month;
}

bool MonthView::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && window() != this) {
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent*>(e)->modifiers());
            QCoreApplication::sendEvent(window(), &copy);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void MonthView::SetArrangement(int columns, int rows) {
    if (columns == columns_ && rows == rows_)
        return;
    const qsizetype count = qsizetype(columns) * rows;
    while (months_.size() > count)
        delete months_.takeLast();
    while (months_.size() < count)
        months_.append(addMonth(months_.isEmpty()));
    for (qsizetype i = 0; i < count; ++i)
        grid_->addWidget(months_[i], int(i / columns), int(i % columns));
    columns_ = columns;
    rows_ = rows;
    setFixedSize(monthSize_.width() * columns, monthSize_.height() * rows);
    showFrom(first_);
}

void MonthView::SetValue(QDate date) {
    if (!date.isValid())
        return;
    today_ = TimeSource::now().date();
    value_ = date;
    showFrom(QDate(date.year(), date.month(), 1));
}

void MonthView::showFrom(QDate first) {
    paging_ = true;
    first_ = first;
    for (qsizetype i = 0; i < months_.size(); ++i) {
        QCalendarWidget* month = months_[i];
        const QDate page = first.addMonths(int(i));
        // Selecting a date turns the page to it; the month is turned back afterwards.
        month->setSelectedDate(value_);
        month->setCurrentPage(page.year(), page.month());
    }
    paging_ = false;
    markToday();
}

void MonthView::pageChanged(QCalendarWidget* month, int year, int monthOfYear) {
    if (paging_)
        return;
    const qsizetype index = months_.indexOf(month);
    if (index < 0)
        return;
    showFrom(QDate(year, monthOfYear, 1).addMonths(-int(index)));
}

void MonthView::clicked(QDate date) {
    value_ = date;
    showFrom(first_);
}

void MonthView::markToday() {
    QTextCharFormat mark;
    mark.setFontWeight(QFont::Bold);
    mark.setForeground(QColor(0xC0, 0x00, 0x00));
    mark.setFontUnderline(true);
    for (QCalendarWidget* month : months_) {
        month->setDateTextFormat(QDate(), QTextCharFormat());
        month->setDateTextFormat(today_, mark);
    }
}
