// A styles file on any bytes: loading never crashes, and the user styles saved from it
// load back into the same styles (the second save writes the same bytes). A "%app%" in a
// face path is written expanded, and a path that grows past the reader's 254 characters
// comes back cut: for such a file the saves agree from the second one on.
#include "FuzzSupport.h"
#include "settings/KSkin.h"
#include "shell/mdlStartup.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::privateUserFolder();
    return 0;
}

namespace {
// Loads the styles file and saves it again; false when the save did not happen.
bool reloadAndSave(const QString& path) {
    UserSkins().clear();
    LoadSkinFile(path, UserSkins());
    return SaveUserSkins();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = AppDataFolder() + QStringLiteral("myskins.ini");
    FuzzSupport::writeBytes(path, data, size);
    if (!reloadAndSave(path))
        return 0;
    const QByteArray first = FuzzSupport::readBytes(path);
    reloadAndSave(path);
    const QByteArray second = FuzzSupport::readBytes(path);
    const bool expands =
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)).contains("%app%");
    if (!expands) {
        FuzzSupport::requireSame(first, second, "myskins.ini");
        return 0;
    }
    reloadAndSave(path);
    FuzzSupport::requireSame(second, FuzzSupport::readBytes(path), "myskins.ini");
    return 0;
}
