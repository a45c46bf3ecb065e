// Draws the built-in clock faces into pics/ and writes DefaultSkins.ini beside it:
//     zintar-faces <source folder>
// The pictures and the catalogue are committed; the clock never runs this program.

#include "GifWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int Size = 256;
// The hands turn around pixel (128, 128), whose centre is at 128.5 in painter coordinates.
const QPointF Centre(128.5, 128.5);

QPointF polar(double minutes, double radius) {
    const double a = (minutes / 60.0) * 2 * M_PI - M_PI / 2;
    return Centre + QPointF(std::cos(a) * radius, std::sin(a) * radius);
}

// Painting helpers shared by the faces.
struct Dial {
    QImage image{Size, Size, QImage::Format_ARGB32_Premultiplied};
    QPainter p;

    explicit Dial(const QColor& corners) {
        image.fill(corners);
        p.begin(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
    }

    void disc(double radius, const QBrush& brush, const QPen& pen = Qt::NoPen) {
        p.setPen(pen);
        p.setBrush(brush);
        p.drawEllipse(Centre, radius, radius);
    }

    void ring(double radius, double width, const QColor& color) {
        p.setPen(QPen(color, width));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(Centre, radius, radius);
    }

    // Straight marks from r1 to r2 at the given minute positions.
    void ticks(const std::function<bool(int)>& which, double r1, double r2, double width,
               const QColor& color, Qt::PenCapStyle cap = Qt::FlatCap) {
        p.setPen(QPen(color, width, Qt::SolidLine, cap));
        for (int i = 0; i < 60; ++i)
            if (which(i))
                p.drawLine(polar(i, r1), polar(i, r2));
    }

    void dots(const std::function<bool(int)>& which, double radius, double size,
              const QColor& color) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        for (int i = 0; i < 60; ++i)
            if (which(i))
                p.drawEllipse(polar(i, radius), size / 2, size / 2);
    }

    void numerals(const QStringList& texts, double radius, const QFont& font, const QColor& color,
                  int step = 1) {
        p.setFont(font);
        p.setPen(color);
        for (int h = step; h <= 12; h += step) {
            const QPointF at = polar(h * 5, radius);
            p.drawText(QRectF(at.x() - 40, at.y() - 30, 80, 60), Qt::AlignCenter, texts[h - 1]);
        }
    }

    QImage done() {
        p.end();
        return image.convertToFormat(QImage::Format_RGB32);
    }
};

bool hours(int i) {
    return i % 5 == 0;
}
bool minutes(int i) {
    return i % 5 != 0;
}
bool quarters(int i) {
    return i % 15 == 0;
}
bool otherHours(int i) {
    return i % 5 == 0 && i % 15 != 0;
}

QStringList arabic() {
    QStringList t;
    for (int h = 1; h <= 12; ++h)
        t << QString::number(h);
    return t;
}

QStringList roman() {
    return {QStringLiteral("I"),    QStringLiteral("II"),   QStringLiteral("III"),
            QStringLiteral("IIII"), QStringLiteral("V"),    QStringLiteral("VI"),
            QStringLiteral("VII"),  QStringLiteral("VIII"), QStringLiteral("IX"),
            QStringLiteral("X"),    QStringLiteral("XI"),   QStringLiteral("XII")};
}

QFont font(const QString& family, int pixels, int weight = QFont::Bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage classic() {
    Dial d(QColor(0xd8, 0xd8, 0xd8));
    d.disc(126, QColor(0x30, 0x30, 0x30));
    d.disc(120, Qt::white);
    d.ticks(minutes, 110, 118, 2.5, QColor(0x20, 0x20, 0x20));
    d.ticks(hours, 102, 118, 6, Qt::black);
    d.numerals(arabic(), 84, font(QStringLiteral("DejaVu Sans"), 26), Qt::black);
    return d.done();
}

QImage midnight() {
    Dial d(QColor(0x0a, 0x0e, 0x1c));
    QRadialGradient g(Centre, 124);
    g.setColorAt(0, QColor(0x1c, 0x2a, 0x55));
    g.setColorAt(1, QColor(0x0b, 0x12, 0x2b));
    d.disc(124, g);
    d.ring(124, 3, QColor(0x8a, 0x96, 0xb8));
    d.ticks(minutes, 110, 117, 2.5, QColor(0x9c, 0xa8, 0xc8));
    d.ticks(hours, 100, 117, 6, QColor(0xf0, 0xd8, 0x90), Qt::RoundCap);
    d.numerals(arabic(), 82, font(QStringLiteral("DejaVu Sans"), 24), QColor(0xf0, 0xd8, 0x90), 3);
    return d.done();
}

QImage minimal() {
    Dial d(QColor(0xee, 0xee, 0xee));
    d.disc(124, QColor(0xfa, 0xfa, 0xf7));
    d.ring(124, 2, QColor(0xcc, 0xcc, 0xcc));
    d.ticks(quarters, 96, 118, 10, QColor(0x2b, 0x2b, 0x2b));
    d.ticks(otherHours, 106, 118, 7, QColor(0x55, 0x55, 0x55));
    return d.done();
}

QImage romanFace() {
    Dial d(QColor(0x5a, 0x3a, 0x22));
    d.disc(126, QColor(0xb8, 0x8a, 0x3c));
    d.disc(119, QColor(0xf6, 0xec, 0xd2));
    d.ring(116, 2, QColor(0x3a, 0x2a, 0x1a));
    d.ring(106, 2, QColor(0x3a, 0x2a, 0x1a));
    d.ticks(minutes, 106, 116, 2, QColor(0x3a, 0x2a, 0x1a));
    d.ticks(hours, 106, 116, 5, QColor(0x3a, 0x2a, 0x1a));
    d.numerals(roman(), 86, font(QStringLiteral("DejaVu Serif"), 22), QColor(0x2a, 0x1a, 0x10));
    return d.done();
}

QImage station() {
    Dial d(QColor(0x90, 0x90, 0x90));
    d.disc(126, QColor(0x1a, 0x1a, 0x1a));
    d.disc(121, Qt::white);
    d.ticks(minutes, 110, 119, 4, Qt::black);
    d.ticks(hours, 88, 119, 10, Qt::black);
    return d.done();
}

QImage walnut() {
    Dial d(QColor(0x3b, 0x24, 0x14));
    // Wood: bands of varying brown following a slowly wandering grain.
    QImage wood(Size, Size, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    double phase[4];
    for (double& v : phase)
        v = rng.generateDouble() * 6.28;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const double w =
                y + 9 * std::sin(x / 37.0 + phase[0]) + 4 * std::sin(x / 11.0 + phase[1]);
            const double grain = 0.5 + 0.5 * std::sin(w / 3.1 + 2 * std::sin(w / 23.0 + phase[2]));
            const double fine = 0.5 + 0.5 * std::sin(w * 1.7 + phase[3]);
            const double t = 0.65 * grain + 0.35 * fine;
            wood.setPixel(x, y,
                          qRgb(int(0x6e + 0x3a * t), int(0x42 + 0x26 * t), int(0x22 + 0x14 * t)));
        }
    QPainterPath circle;
    circle.addEllipse(Centre, 124, 124);
    d.p.setClipPath(circle);
    d.p.drawImage(0, 0, wood);
    d.p.setClipping(false);
    d.ring(123, 5, QColor(0xc8, 0xa0, 0x50));
    d.ticks(minutes, 108, 116, 2.5, QColor(0xe8, 0xcc, 0x88));
    d.ticks(hours, 96, 116, 7, QColor(0xe8, 0xc4, 0x70), Qt::RoundCap);
    return d.done();
}

QImage ocean() {
    Dial d(QColor(0x08, 0x2a, 0x44));
    QLinearGradient g(0, 0, 0, Size);
    g.setColorAt(0, QColor(0x3b, 0x9c, 0xd8));
    g.setColorAt(1, QColor(0x0b, 0x3d, 0x6b));
    d.disc(124, g);
    d.ring(124, 3, QColor(0xd8, 0xee, 0xf8));
    d.dots(minutes, 113, 4, QColor(0xd8, 0xee, 0xf8));
    d.dots(otherHours, 110, 13, Qt::white);
    d.ticks(quarters, 96, 120, 9, Qt::white, Qt::RoundCap);
    return d.done();
}

QImage sunset() {
    Dial d(QColor(0x2c, 0x14, 0x3c));
    QLinearGradient g(0, 0, 0, Size);
    g.setColorAt(0, QColor(0xff, 0xc8, 0x5a));
    g.setColorAt(0.55, QColor(0xf2, 0x6b, 0x4a));
    g.setColorAt(1, QColor(0x6a, 0x2c, 0x70));
    d.disc(124, g);
    d.ticks(hours, 104, 118, 6, QColor(0x2c, 0x14, 0x3c), Qt::RoundCap);
    d.numerals(arabic(), 84, font(QStringLiteral("DejaVu Sans"), 28), QColor(0x2c, 0x14, 0x3c), 3);
    return d.done();
}

QImage chalkboard() {
    Dial d(QColor(0x6b, 0x4a, 0x2a));
    QImage board(Size, Size, QImage::Format_RGB32);
    QRandomGenerator rng(3);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const int n = int(rng.bounded(14)) - 7;
            board.setPixel(x, y, qRgb(0x2c + n, 0x4a + n, 0x3a + n));
        }
    QPainterPath circle;
    circle.addEllipse(Centre, 122, 122);
    d.p.setClipPath(circle);
    d.p.drawImage(0, 0, board);
    d.p.setClipping(false);
    d.ring(123, 6, QColor(0x8a, 0x62, 0x38));
    const QColor chalk(0xf0, 0xf0, 0xe6, 225);
    d.ticks(minutes, 110, 116, 2.5, chalk, Qt::RoundCap);
    d.ticks(hours, 104, 117, 5, chalk, Qt::RoundCap);
    d.numerals(arabic(), 86, font(QStringLiteral("URW Gothic"), 25), chalk);
    return d.done();
}

QImage watch() {
    Dial d(QColor(0xc0, 0xc0, 0xc0));
    QRadialGradient steel(Centre - QPointF(40, 40), 200);
    steel.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    steel.setColorAt(0.6, QColor(0x9a, 0x9e, 0xa4));
    steel.setColorAt(1, QColor(0x5c, 0x60, 0x66));
    d.disc(127, steel);
    d.disc(116, QColor(0xfd, 0xfd, 0xfb), QPen(QColor(0x50, 0x54, 0x5a), 2));
    d.ticks(minutes, 107, 114, 2, QColor(0x44, 0x44, 0x44));
    d.ticks(otherHours, 98, 114, 6, QColor(0x22, 0x22, 0x22));
    d.numerals({QString(), QString(), QStringLiteral("3"), QString(), QString(),
                QStringLiteral("6"), QString(), QString(), QStringLiteral("9"), QString(),
                QString(), QStringLiteral("12")},
               92, font(QStringLiteral("DejaVu Sans"), 30), QColor(0x22, 0x22, 0x22));
    return d.done();
}

QImage paper() {
    Dial d(QColor(0xc9, 0xb4, 0x8c));
    QImage sheet(Size, Size, QImage::Format_RGB32);
    QRandomGenerator rng(11);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const int n = int(rng.bounded(10)) - 5;
            const double edge = std::hypot(x - 128.0, y - 128.0) / 128.0;
            const int dark = int(28 * edge * edge);
            sheet.setPixel(x, y, qRgb(0xf2 + n / 2 - dark, 0xe6 + n / 2 - dark, 0xc8 + n - dark));
        }
    d.p.drawImage(0, 0, sheet);
    const QColor ink(0x4a, 0x32, 0x20);
    d.ring(121, 2.5, ink);
    d.ticks(minutes, 111, 118, 2, ink);
    d.ticks(hours, 103, 118, 5, ink);
    d.numerals(arabic(), 87, font(QStringLiteral("Z003"), 34, QFont::Normal), ink);
    return d.done();
}

QImage neon() {
    Dial d(QColor(0x05, 0x05, 0x0a));
    d.disc(126, QColor(0x08, 0x08, 0x10));
    for (int glow = 8; glow >= 1; --glow)
        d.ring(118, glow * 1.5, QColor(0x00, 0xe5, 0xff, glow == 1 ? 255 : 28));
    d.dots(minutes, 107, 3.5, QColor(0xff, 0x3c, 0xc8));
    for (int glow = 3; glow >= 1; --glow)
        d.ticks(hours, 96, 108, 3 + glow * 3, QColor(0xff, 0x3c, 0xc8, glow == 1 ? 255 : 60),
                Qt::RoundCap);
    return d.done();
}

QImage mint() {
    Dial d(QColor(0xd6, 0xee, 0xe2));
    d.disc(124, QColor(0xbf, 0xe8, 0xd4));
    d.disc(96, QColor(0xcf, 0xf0, 0xe0));
    d.dots(minutes, 113, 5, Qt::white);
    d.dots(hours, 111, 15, QColor(0x2e, 0x7d, 0x5b));
    return d.done();
}

QImage pilot() {
    Dial d(QColor(0x2a, 0x2a, 0x2a));
    d.disc(126, QColor(0x55, 0x55, 0x55));
    d.disc(121, QColor(0x14, 0x14, 0x14));
    d.ticks(minutes, 112, 120, 2.5, QColor(0xe8, 0xe8, 0xe8));
    d.ticks(otherHours, 106, 120, 5, QColor(0xf4, 0xf4, 0xf4));
    d.numerals(arabic(), 88, font(QStringLiteral("DejaVu Sans"), 27), QColor(0xf4, 0xf4, 0xf4));
    // The pilot's triangle at 12 with its two dots.
    QPainterPath triangle;
    triangle.moveTo(polar(0, 105));
    triangle.lineTo(polar(0, 121) + QPointF(-11, 0));
    triangle.lineTo(polar(0, 121) + QPointF(11, 0));
    triangle.closeSubpath();
    d.p.setPen(Qt::NoPen);
    d.p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    d.p.drawPath(triangle);
    return d.done();
}

struct Style {
    const char* name;
    const char* file;
    QImage (*draw)();
    QRgb hour, minute, second; // as seen on screen
    int hw, mw, sw;
};

// Colour value as the catalogue stores it: red in the lowest byte, upper-case hex.
QString colorText(QRgb c) {
    const uint32_t value = uint32_t(qRed(c)) | uint32_t(qGreen(c)) << 8 | uint32_t(qBlue(c)) << 16;
    return QString::number(value, 16).toUpper();
}

const Style Styles[] = {
    {"Classic", "classic.bmp", classic, qRgb(0x10, 0x10, 0x10), qRgb(0x10, 0x10, 0x10),
     qRgb(0xd0, 0x20, 0x20), 8, 5, 2},
    {"Midnight", "midnight.bmp", midnight, qRgb(0xf0, 0xe6, 0xcc), qRgb(0xf0, 0xe6, 0xcc),
     qRgb(0xff, 0x8c, 0x28), 8, 5, 2},
    {"Minimal", "minimal.png", minimal, qRgb(0x2b, 0x2b, 0x2b), qRgb(0x2b, 0x2b, 0x2b),
     qRgb(0x00, 0x96, 0x88), 7, 4, 1},
    {"Roman", "roman.bmp", romanFace, qRgb(0x2a, 0x1a, 0x10), qRgb(0x2a, 0x1a, 0x10),
     qRgb(0x9a, 0x1e, 0x1e), 8, 4, 1},
    {"Station", "station.bmp", station, qRgb(0x10, 0x10, 0x10), qRgb(0x10, 0x10, 0x10),
     qRgb(0xe0, 0x10, 0x10), 10, 6, 3},
    {"Walnut", "walnut.jpg", walnut, qRgb(0xf6, 0xe6, 0xc0), qRgb(0xf6, 0xe6, 0xc0),
     qRgb(0xe8, 0xc4, 0x70), 8, 5, 2},
    {"Ocean", "ocean.bmp", ocean, qRgb(0xff, 0xff, 0xff), qRgb(0xff, 0xff, 0xff),
     qRgb(0xff, 0x7f, 0x50), 8, 5, 2},
    {"Sunset", "sunset.gif", sunset, qRgb(0x2c, 0x14, 0x3c), qRgb(0x2c, 0x14, 0x3c),
     qRgb(0xff, 0xf0, 0x80), 8, 5, 2},
    {"Chalkboard", "chalkboard.bmp", chalkboard, qRgb(0xf4, 0xf4, 0xec), qRgb(0xf4, 0xf4, 0xec),
     qRgb(0xff, 0xe0, 0x60), 7, 4, 2},
    {"Watch", "watch2.bmp", watch, qRgb(0x33, 0x33, 0x33), qRgb(0x66, 0x66, 0x66),
     qRgb(0xff, 0x40, 0x40), 8, 4, 2},
    {"Paper", "paper.bmp", paper, qRgb(0x3a, 0x26, 0x18), qRgb(0x3a, 0x26, 0x18),
     qRgb(0xa0, 0x28, 0x20), 7, 4, 1},
    {"Neon", "neon.png", neon, qRgb(0x00, 0xe5, 0xff), qRgb(0x00, 0xe5, 0xff),
     qRgb(0xff, 0x3c, 0xc8), 7, 4, 2},
    {"Mint", "mint.gif", mint, qRgb(0x1f, 0x5c, 0x42), qRgb(0x1f, 0x5c, 0x42),
     qRgb(0xf0, 0x6a, 0x5a), 8, 5, 2},
    {"Pilot", "pilot.bmp", pilot, qRgb(0xf4, 0xf4, 0xf4), qRgb(0xf4, 0xf4, 0xf4),
     qRgb(0xff, 0xa0, 0x20), 8, 5, 2},
};

bool save(const QImage& image, const QString& path) {
    if (path.endsWith(QLatin1String(".gif")))
        return writeGif(image, path);
    if (path.endsWith(QLatin1String(".jpg")))
        return image.save(path, "JPG", 92);
    if (path.endsWith(QLatin1String(".bmp")))
        return image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
    return image.save(path);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zintar-faces <source folder>\n"
                             "Draws the built-in faces into <folder>/pics and writes "
                             "<folder>/DefaultSkins.ini.\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(root + QStringLiteral("/pics"));

    QByteArray ini = "[Skins]\r\nCount=" + QByteArray::number(int(std::size(Styles))) + "\r\n";
    int k = 0;
    for (const Style& s : Styles) {
        const QString path = root + QStringLiteral("/pics/") + QLatin1String(s.file);
        if (!save(s.draw(), path)) {
            std::fprintf(stderr, "zintar-faces: cannot write %s\n", qPrintable(path));
            return 1;
        }
        ini += "\r\n[Skin" + QByteArray::number(++k) + "]\r\n";
        ini += "Name=" + QByteArray(s.name) + "\r\n";
        ini += "Bitmap=%app%\\pics\\" + QByteArray(s.file) + "\r\n";
        ini += "Hour = " + colorText(s.hour).toLatin1() + "\r\n";
        ini += "Minute = " + colorText(s.minute).toLatin1() + "\r\n";
        ini += "Second = " + colorText(s.second).toLatin1() + "\r\n";
        ini += "HourSize = " + QByteArray::number(s.hw) + "\r\n";
        ini += "MinuteSize = " + QByteArray::number(s.mw) + "\r\n";
        ini += "SecondSize = " + QByteArray::number(s.sw);
        if (k < int(std::size(Styles)))
            ini += "\r\n";
    }
    QFile f(root + QStringLiteral("/DefaultSkins.ini"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(ini) != ini.size()) {
        std::fprintf(stderr, "zintar-faces: cannot write DefaultSkins.ini\n");
        return 1;
    }
    std::printf("%d faces and DefaultSkins.ini written to %s\n", k, qPrintable(root));
    return 0;
}
