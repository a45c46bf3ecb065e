#include "alarms/FileChooser.h"

#include <QFileDialog>

namespace {

class DialogChooser : public FileChooser {
public:
    QString OpenFile(QWidget* parent, const QString& filter) override {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        // The descriptions already name the file types; the pattern lists stay hidden.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(NameFilters(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

FileChooser* current = nullptr;

} // namespace

FileChooser& FileChooser::Current() {
    static DialogChooser dialogs;
    return current ? *current : dialogs;
}

void FileChooser::SetCurrent(FileChooser* chooser) {
    current = chooser;
}

QStringList FileChooser::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (!pattern.isEmpty())
                patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            continue;
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QStringLiteral(")");
    }
    return filters;
}
