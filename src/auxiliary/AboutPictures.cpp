#include "auxiliary/AboutPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
// The same site as the clock's caption.
constexpr const char* kSite = "https://zintar.org";

QUrl page(const QString& path) {
    QUrl url(QString::fromLatin1(kSite));
    url.setPath(path);
    url.setQuery(QStringLiteral("from=zintar"));
    return url;
}
} // namespace

namespace AboutPictures {
QUrl HomePage() {
    return page(QStringLiteral("/"));
}

QUrl DonatePage() {
    return page(QStringLiteral("/donate.php"));
}

QString WebAddress() {
    return QString::fromLatin1(kSite);
}

QPixmap DonateButton() {
    QPixmap pixmap(62, 31);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A golden pill with a darker rim and a lighter upper half.
    const QRectF pill(1.5, 3.5, 59, 24);
    QLinearGradient fill(pill.topLeft(), pill.bottomLeft());
    fill.setColorAt(0.0, QColor(0xFF, 0xE8, 0x9A));
    fill.setColorAt(0.5, QColor(0xFF, 0xC8, 0x3D));
    fill.setColorAt(1.0, QColor(0xF2, 0xA9, 0x1E));
    p.setPen(QPen(QColor(0xC7, 0x8A, 0x10), 1));
    p.setBrush(fill);
    p.drawRoundedRect(pill, 12, 12);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(QColor(0x1B, 0x36, 0x6B));
    p.drawText(pill.adjusted(0, -1, 0, 0), Qt::AlignCenter, QStringLiteral("Donate"));
    return pixmap;
}
} // namespace AboutPictures
