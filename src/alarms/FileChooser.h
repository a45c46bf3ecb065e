#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The open-file dialog of the alarm editor behind one small seam, so that tests can answer
// it. Filters are given as "Description|patterns|Description|patterns|".
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // The full path of the chosen file, or "" when the user cancelled. The dialog starts in
    // the folder of current when that folder exists, otherwise in the user's home. A filter
    // whose description is ProgramsFilter shows only files that may be run.
    virtual QString OpenFile(QWidget* parent, const QString& filter, const QString& current) = 0;

    static const QString ProgramsFilter;
    // The folder a dialog for the file current starts in.
    static QString StartFolder(const QString& current);

    // The chooser in use: the QFileDialog one unless a test put its own in place.
    static FileChooser& Current();
    // Puts a chooser in place (not owned); nullptr goes back to the QFileDialog one.
    static void SetCurrent(FileChooser* chooser);

    // The filter as QFileDialog name filters. Each description is kept as written and the
    // patterns follow in brackets, blank-separated, for the dialog to use and hide.
    static QStringList NameFilters(const QString& filter);
};
