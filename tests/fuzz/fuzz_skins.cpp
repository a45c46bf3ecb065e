// A styles file on any bytes: loading never crashes, and the user styles saved from it
// load back into the same styles (the second save writes the same bytes).
#include "FuzzSupport.h"
#include "settings/KSkin.h"
#include "shell/mdlStartup.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::privateUserFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = AppDataFolder() + QStringLiteral("myskins.ini");
    FuzzSupport::writeBytes(path, data, size);
    UserSkins().clear();
    LoadSkinFile(path, UserSkins());
    if (!SaveUserSkins())
        return 0;
    const QByteArray first = FuzzSupport::readBytes(path);
    UserSkins().clear();
    LoadSkinFile(path, UserSkins());
    SaveUserSkins();
    FuzzSupport::requireSame(first, FuzzSupport::readBytes(path), "myskins.ini");
    return 0;
}
