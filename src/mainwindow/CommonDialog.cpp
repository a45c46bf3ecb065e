#include "mainwindow/CommonDialog.h"

#include "mainwindow/DesktopCapture.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>

namespace {

// A dialog given no folder starts in the user's home, not wherever the program was started.
QString StartFolder(const QString& folder) {
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace

std::optional<int32_t> CommonDialog::ShowColor(int32_t initial, QWidget* parent) {
    if (answer) {
        const auto text = answer(Kind::Color, QString::number(initial, 16).toUpper());
        bool ok = false;
        const int32_t value = text ? text->toInt(&ok, 16) : 0;
        return ok ? std::optional<int32_t>(value) : std::nullopt;
    }
    const QColor chosen = QColorDialog::getColor(DesktopCapture::ColorFromValue(initial), parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

std::optional<QString> CommonDialog::ShowOpen(const QString& title, const QString& filter,
                                              const QString& folder, QWidget* parent) {
    if (answer)
        return answer(Kind::Open, folder);
    const QString file = QFileDialog::getOpenFileName(parent, title, StartFolder(folder), filter);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

std::optional<QString> CommonDialog::ShowSave(const QString& title, const QString& filter,
                                              const QString& folder, QWidget* parent) {
    if (answer)
        return answer(Kind::Save, folder);
    const QString file = QFileDialog::getSaveFileName(parent, title, StartFolder(folder), filter);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}
