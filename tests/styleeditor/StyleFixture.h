#pragma once

#include "TestSupport.h"
#include "settings/KOptions.h"
#include "settings/KSkin.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QImage>

// Catalogues for the editor's tests: three default styles (the second with a picture that
// cannot be loaded) and two user styles, each face a plain colour.
namespace StyleFixture {

inline QString face(const QString& folder, const QString& name, QColor colour) {
    const QString path = folder + QLatin1Char('/') + name;
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path);
    return path;
}

inline KSkinPtr skin(const QString& name, const QString& file, int32_t colour, int widths) {
    auto s = std::make_shared<KSkin>();
    s->Name = name;
    s->FileName = file;
    s->Hour = colour;
    s->Minute = colour + 1;
    s->Second = colour + 2;
    s->HDM = widths;
    s->MDM = widths + 1;
    s->SDM = widths + 2;
    return s;
}

inline void setUp() {
    TestSupport::freshUserFolder();
    // Two editors opened a moment apart must show the same preview: the hands stand still.
    TimeSource::setFixed(QDateTime(QDate(2026, 5, 4), QTime(10, 8, 37)));
    const QString broken = TestSupport::scratchFolder("broken") + QStringLiteral("/x.bmp");
    TestSupport::writeFile(broken, "no picture");
    const QString f = TestSupport::scratchFolder("faces");
    DefaultSkins() = {skin("Classic", face(f, "classic.bmp", Qt::red), 0x10, 3),
                      skin("Broken", broken, 0x20, 4),
                      skin("Ocean", face(f, "ocean.png", Qt::blue), 0x30, 5)};
    UserSkins() = {skin("Blue", face(f, "blue.bmp", Qt::darkBlue), 0x40, 6),
                   skin("Mine", face(f, "mine.png", Qt::green), 0x50, 7)};
    KOptions& o = Options();
    o.Defaults();
    o.StyleIdx = 0;
    o.StyleFile = DefaultSkins().at(0)->FileName;
    o.HCol = 0xAA;
    o.MCol = 0xBB;
    o.SCol = 0xCC;
    o.HW = 5;
    o.MW = 3;
    o.SW = 1;
}

} // namespace StyleFixture
