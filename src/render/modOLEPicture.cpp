#include "render/modOLEPicture.h"

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

} // namespace modOLEPicture
