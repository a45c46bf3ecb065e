#include "auxiliary/CalendarLayout.h"

#include <cmath>
#include <limits>

CalendarLayout::CalendarLayout(int monthWidth, int monthHeight, int statusHeight)
    : monthWidth_(monthWidth > 0 ? monthWidth : 1), monthHeight_(monthHeight > 0 ? monthHeight : 1),
      statusHeight_(statusHeight) {}

int CalendarLayout::RoundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<int>::max() / 2)
        return 0; // no count; refused by the setters
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<int>(std::nearbyint(value));
}

bool CalendarLayout::SetColumns(int columns) {
    if (columns < 1 || columns > kMaxMonths || columns * rows_ > kMaxMonths)
        return false;
    columns_ = columns;
    return true;
}

bool CalendarLayout::SetRows(int rows) {
    if (rows < 1 || rows > kMaxMonths || rows * columns_ > kMaxMonths)
        return false;
    rows_ = rows;
    return true;
}

void CalendarLayout::Resize(int innerWidth, int innerHeight, bool minimized) {
    if (minimized)
        return;
    SetColumns(RoundHalfEven(double(innerWidth) / monthWidth_));
    SetRows(RoundHalfEven(double(innerHeight - statusHeight_) / monthHeight_));
}
