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
void LoadSkinFile(const QString& path, SkinList& target);
// Rewrites myskins.ini from UserSkins (temporary file renamed over the old one).
bool SaveUserSkins(QString* error = nullptr);
