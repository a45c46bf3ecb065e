#pragma once

// How many months the calendar window shows side by side and one under another. The
// month view takes any count of at least one and at most twelve months in all; a refused
// count leaves the previous one in place.
class CalendarLayout {
public:
    static constexpr int kMaxMonths = 12;

    // The size of one month and the height of the status strip, all in pixels.
    CalendarLayout(int monthWidth, int monthHeight, int statusHeight);

    // Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
    static int RoundHalfEven(double value);

    // False (and nothing changed) for a count the month view refuses.
    bool SetColumns(int columns);
    bool SetRows(int rows);

    // The arrangement for a new inner size of the window: columns first, then rows, each
    // kept by itself when refused. A minimised window keeps its arrangement.
    void Resize(int innerWidth, int innerHeight, bool minimized = false);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int MonthWidth() const { return monthWidth_; }
    int MonthHeight() const { return monthHeight_; }

private:
    int monthWidth_;
    int monthHeight_;
    int statusHeight_;
    int columns_ = 1;
    int rows_ = 1;
};
