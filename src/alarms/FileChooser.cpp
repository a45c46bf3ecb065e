#include "alarms/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

// Hides the files without an executable bit while the "Programs" filter is chosen.
class ProgramsOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetActive(bool on) {
        active = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!active)
            return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }

private:
    bool active = false;
};

class DialogChooser : public FileChooser {
public:
    QString OpenFile(QWidget* parent, const QString& filter, const QString& current) override {
        QFileDialog dialog(parent, QString(), StartFolder(current));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        // The descriptions already name the file types; the pattern lists stay hidden.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        const QStringList filters = NameFilters(filter);
        dialog.setNameFilters(filters);
        if (filter.startsWith(ProgramsFilter + QLatin1Char('|'))) {
            // The executable bit is not a name pattern: Qt's own dialog with a filter model.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            auto* programs = new ProgramsOnly(&dialog);
            dialog.setProxyModel(programs);
            programs->SetActive(true);
            QObject::connect(&dialog, &QFileDialog::filterSelected, programs,
                             [programs](const QString& chosen) {
                                 programs->SetActive(chosen.startsWith(ProgramsFilter));
                             });
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

FileChooser* current = nullptr;

} // namespace

const QString FileChooser::ProgramsFilter = QStringLiteral("Programs");

QString FileChooser::StartFolder(const QString& current) {
    if (!current.isEmpty()) {
        const QString folder = QFileInfo(QDir::fromNativeSeparators(current)).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

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
