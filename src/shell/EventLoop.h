#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Qt runs its event loop on GLib's when GLib is there, and the clock has no use for it: no
// GTK lives in the process and no GLib source is ever added. Qt's own Unix dispatcher keeps
// GLib's pages (about 330 KB of the clock's resident memory) out of the process.
namespace EventLoop {

// The folders where Qt looks for platform theme plugins: its own and those QT_PLUGIN_PATH adds.
QStringList ThemePluginFolders();

// Call before the application object exists. Sets QT_NO_GLIB unless the user has set it, or a
// GTK platform theme is installed in one of the folders (its dialogs need GLib's loop running).
// True when it did.
bool PreferQtDispatcher(const QStringList& themeFolders);

// Takes what PreferQtDispatcher set out of a program's environment again, so that the
// program's own toolkit chooses for itself (SessionBus::ChildEnvironment calls it).
void RestoreFor(QProcessEnvironment& environment);

} // namespace EventLoop
