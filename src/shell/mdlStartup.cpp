#include "shell/mdlStartup.h"

// Placeholder until the start-up services land.
void Main(const std::function<void()>& showMainWindow) {
    showMainWindow();
}

void WriteLog(const QString&) {}
