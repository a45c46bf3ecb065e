#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// The clock window's one provider of colour, open and save dialogs for the editor windows.
// Each call returns nothing when the user cancels. Tests replace `answer` to reply without
// a dialog on screen.
class CommonDialog {
public:
    enum class Kind { Color, Open, Save };

    // A colour value (red in the lowest byte).
    std::optional<int32_t> ShowColor(int32_t initial, QWidget* parent = nullptr);
    // A file to open or to save, from a Qt name filter ("Pictures (*.bmp *.gif *.jpg)").
    std::optional<QString> ShowOpen(const QString& title, const QString& filter,
                                    const QString& folder = {}, QWidget* parent = nullptr);
    std::optional<QString> ShowSave(const QString& title, const QString& filter,
                                    const QString& folder = {}, QWidget* parent = nullptr);

    // When set, asked instead of showing a dialog: the kind and the initial text (a colour
    // as upper-case hex, or the folder); returns the answer as text, nothing for cancel.
    std::function<std::optional<QString>(Kind, const QString&)> answer;
};
