// The settings file on any bytes: loading never crashes, and what the first save writes
// loads back into the same settings (the second save writes the same bytes).
#include "FuzzSupport.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::privateUserFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KOptions& o = Options();
    const QString path = o.FilePath();
    FuzzSupport::writeBytes(path, data, size);
    o.Defaults();
    o.Load();
    if (!o.Save())
        return 0;
    const QByteArray first = FuzzSupport::readBytes(path);
    o.Defaults();
    o.Load();
    o.Save();
    FuzzSupport::requireSame(first, FuzzSupport::readBytes(path), "mysettings.ini");
    return 0;
}
