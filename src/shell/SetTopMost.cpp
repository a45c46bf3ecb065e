#include "shell/SetTopMost.h"

#include "shell/mdlStartup.h"

#include <QWidget>
#include <QWindow>

void SetTopMost(QWidget* window, int mode) {
    if (!window)
        return;
    WriteLog(QStringLiteral("Setting TopMost: ") + QString::number(mode));
    Qt::WindowFlags flags = window->windowFlags();
    flags &= ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    if (mode == -1)
        flags |= Qt::WindowStaysOnTopHint;
    else if (mode == 1)
        flags |= Qt::WindowStaysOnBottomHint;
    if (QWindow* handle = window->windowHandle()) {
        // Changing the flags of the live window keeps it mapped; setWindowFlags would
        // re-create it.
        handle->setFlags(flags);
        window->overrideWindowFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}
