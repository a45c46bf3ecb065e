// The INI reader on any bytes: no crash, no overrun, and the answers keep their promises
// (at most 254 characters, no blanks around them).
#include "FuzzSupport.h"
#include "shell/mdlStartup.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::privateUserFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = AppDataFolder() + QStringLiteral("fuzz.ini");
    FuzzSupport::writeBytes(path, data, size);
    static const QStringList sections = {"Style", "Window", "Alarms", "Alarm1", "skin2", ""};
    static const QStringList keys = {"Bitmap", "WindowX", "AlarmsCount", "Message", "name", ""};
    const auto lookAll = [&] {
        for (const QString& s : sections)
            for (const QString& k : keys) {
                const QString v = ReadIniValue(path, s, k);
                if (v.size() > 254 || v != v.trimmed())
                    std::abort();
            }
    };
    lookAll(); // straight from the file
    const IniReadBatch batch(path);
    lookAll(); // parsed once for the batch
    return 0;
}
