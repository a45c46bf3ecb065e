#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

class QPainter;
class QRect;

// Picture objects: a bitmap wrapped so that it can be held in several places, drawn scaled,
// and released; the bitmap goes when the last reference to the picture does.
namespace modOLEPicture {

class Picture {
public:
    Picture() = default; // no picture

    bool isNull() const { return !bitmap_; }
    explicit operator bool() const { return !isNull(); }

    // The bitmap (the picture's handle); a null image for no picture.
    QImage handle() const { return bitmap_ ? *bitmap_ : QImage(); }
    int width() const { return bitmap_ ? bitmap_->width() : 0; }
    int height() const { return bitmap_ ? bitmap_->height() : 0; }

    // How many Picture values share this picture (0 for none).
    long useCount() const { return bitmap_.use_count(); }

    // Draws the whole picture into target, scaled to it.
    void render(QPainter& painter, const QRect& target) const;

private:
    friend Picture PictureFromHandle(const QImage&, bool, uint32_t, bool);
    std::shared_ptr<const QImage> bitmap_;
};

// A picture of the bitmap handle, or no picture when the handle is null. With owns the
// picture takes the bitmap over; without it the picture shares the caller's pixels (which
// stay valid as long as either holds them). The palette is not used: a bitmap carries its
// own colour table. There is nothing to delete on failure, because the only failure is a
// null handle.
Picture PictureFromHandle(const QImage& handle, bool owns, uint32_t palette, bool deleteOnFailure);

// Reads a picture file. A format Qt reads itself (BMP, PNG, the PNM family, XPM, XBM) is read
// by its suffix without waking every image plugin to look at the file first; anything else,
// or a file whose suffix does not match its content, goes through the plugins.
QImage LoadPictureFile(const QString& path);

} // namespace modOLEPicture
