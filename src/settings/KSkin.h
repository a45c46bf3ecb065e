#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

// One style: face picture, hand colours and widths.
class KSkin {
public:
    QString Name;
    QString FileName; // "%app%" already expanded
    int32_t Hour = 0;
    int32_t Minute = 0;
    int32_t Second = 0;
    int32_t HDM = 0;
    int32_t MDM = 0;
    int32_t SDM = 0; // 0 = no second hand
};

using KSkinPtr = std::shared_ptr<KSkin>;
using SkinList = QList<KSkinPtr>;

// The built-in and the user's catalogue, created empty on first use.
SkinList& DefaultSkins();
SkinList& UserSkins();

void LoadSkins();
// Appends the file's styles to target. Returns why the file could not be taken whole
// ("" when it could): a file over 1 MB (not read), not text, a Count that cannot be right
// (the [SkinN] sections that are there are read instead), sections beyond Count, values
// that cannot be read, or a repeated name dropped.
QString LoadSkinFile(const QString& path, SkinList& target);
// Rewrites myskins.ini from UserSkins (temporary file renamed over the old one). When the
// file as loaded could not be taken whole, it is kept as myskins.ini.bak first. A failure
// is told to the user once in this session.
bool SaveUserSkins(QString* error = nullptr);
