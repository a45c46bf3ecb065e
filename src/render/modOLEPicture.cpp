#include "render/modOLEPicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRect>

namespace modOLEPicture {

void Picture::render(QPainter& painter, const QRect& target) const {
    if (bitmap_)
        painter.drawImage(target, *bitmap_);
}

Picture PictureFromHandle(const QImage& handle, bool owns, uint32_t palette, bool deleteOnFailure) {
    Q_UNUSED(palette);
    Q_UNUSED(deleteOnFailure);
    Picture picture;
    if (handle.isNull())
        return picture;
    // QImage shares its pixels between copies, so owning and sharing cost the same here;
    // an owned bitmap is simply not referenced by the caller any more.
    Q_UNUSED(owns);
    picture.bitmap_ = std::make_shared<const QImage>(handle);
    return picture;
}

QImage LoadPictureFile(const QString& path) {
    static const QList<QByteArray> builtIn = {"bmp", "dib", "png", "pbm",
                                              "pgm", "ppm", "xpm", "xbm"};
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (builtIn.contains(suffix)) {
        QImageReader reader(path, suffix == "dib" ? QByteArray("bmp") : suffix);
        reader.setAutoDetectImageFormat(false);
        QImage picture = reader.read();
        if (!picture.isNull())
            return picture;
    }
    QImage picture;
    picture.load(path);
    return picture;
}

} // namespace modOLEPicture
