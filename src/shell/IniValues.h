#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Text-to-value conversions shared by the settings and the alarm record. Each gives no
// value for text that is empty, not a number or outside the field's range.
namespace IniValues {

// Whole number in decimal; a fraction is rounded to the nearest, halves to even.
std::optional<int64_t> toWhole(const QString& text, int64_t min, int64_t max);

inline std::optional<int16_t> toInt16(const QString& text) {
    const auto v = toWhole(text, INT16_MIN, INT16_MAX);
    return v ? std::optional<int16_t>(int16_t(*v)) : std::nullopt;
}
inline std::optional<int32_t> toInt32(const QString& text) {
    const auto v = toWhole(text, INT32_MIN, INT32_MAX);
    return v ? std::optional<int32_t>(int32_t(*v)) : std::nullopt;
}

// "True" / "False" in any letter case, or a number (0 false, anything else true).
std::optional<bool> toBool(const QString& text);

inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Appends one line with the CR LF line end of the files we write.
void appendLine(QByteArray& out, const QString& line);

} // namespace IniValues
