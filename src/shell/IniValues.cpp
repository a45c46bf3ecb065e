#include "shell/IniValues.h"

#include <QByteArray>
#include <QLocale>
#include <cmath>

namespace IniValues {

std::optional<int64_t> toWhole(const QString& text, int64_t min, int64_t max) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qlonglong whole = t.toLongLong(&ok, 10);
    if (ok)
        return (whole >= min && whole <= max) ? std::optional<int64_t>(whole) : std::nullopt;
    const double d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    const double r = std::nearbyint(d); // default rounding: to nearest, halves to even
    if (r < double(min) || r > double(max))
        return std::nullopt;
    return static_cast<int64_t>(r);
}

std::optional<bool> toBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = QLocale::c().toDouble(t, &ok);
    if (!ok || std::isnan(d))
        return std::nullopt;
    return d != 0.0;
}

void appendLine(QByteArray& out, const QString& line) {
    out += line.toUtf8();
    out += "\r\n";
}

} // namespace IniValues
