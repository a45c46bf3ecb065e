#include "styleeditor/StylePreview.h"

#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "render/modCopyBitmap.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QBuffer>

using Vorel_WuLines::DrawHand;

namespace {

constexpr double Pi = 3.14159; // the value the clock's geometry is written with

QImage stretched(const QImage& picture, int size) {
    return modOLEPicture::PictureFromHandle(
               modCopyBitmap::CopyBitmap(picture, modCopyBitmap::KindAuto, size, size, 0,
                                         modCopyBitmap::HALFTONE),
               true, 0, true)
        .handle();
}

} // namespace

StylePreview::StylePreview() : PreviewTime(QDate(1899, 12, 30), QTime(0, 0)) {
    // The list's built-in first image: a plain grey square.
    QImage builtIn(ThumbSize, ThumbSize, QImage::Format_RGB32);
    builtIn.fill(QColor(0xC0, 0xC0, 0xC0));
    Thumbs.append(builtIn);
    face_ = QImage(FaceSize, FaceSize, QImage::Format_RGB32);
    face_.fill(Qt::white);
    shown_ = face_;
}

QImage StylePreview::LoadPicture(const QString& file) {
    return modOLEPicture::LoadPictureFile(LocalPath(file));
}

int StylePreview::AddThumb(const QString& file) {
    const QImage picture = LoadPicture(file);
    if (picture.isNull())
        return 0;
    Thumbs.append(stretched(picture, ThumbSize));
    FacePics.append(modOLEPicture::PictureFromHandle(picture, true, 0, true));
    return int(FacePics.size());
}

bool StylePreview::LoadFace(const QString& file, const PreviewHands& hands) {
    const QImage picture = LoadPicture(file);
    if (picture.isNull())
        return false;
    setFace(picture, hands);
    return true;
}

bool StylePreview::ShowPicture(int n, const PreviewHands& hands) {
    if (n < 1 || n > FacePics.size())
        return false;
    setFace(FacePics.at(n - 1).handle(), hands);
    return true;
}

void StylePreview::setFace(const QImage& picture, const PreviewHands& hands) {
    QImage scaled = stretched(picture, FaceSize);
    if (scaled.isNull())
        return;
    face_ = scaled.convertToFormat(QImage::Format_RGB32);
    DrawPreview(hands);
}

void StylePreview::DrawPreview(const PreviewHands& hands) {
    shown_ = face_.copy();
    Surface dc(shown_);
    const QPoint centre(Centre, Centre);
    const QTime t = PreviewTime.time();
    const double R = Radius;
    ColorBytes colour;

    const float hourAngle = static_cast<float>(((t.hour() + t.minute() / 60.0) - 3) / 6 * Pi);
    ColorToRgb(hands.HCol, colour);
    DrawHand(dc, centre, hourAngle, static_cast<float>(0.75 * R), static_cast<float>(0.75 * R),
             colour, hands.HW);
    DrawHand(dc, centre, hourAngle, static_cast<float>(-0.1 * R), static_cast<float>(-0.1 * R),
             colour, hands.HW);

    const float minuteAngle = static_cast<float>(((t.minute() + t.second() / 60.0) - 15) / 30 * Pi);
    ColorToRgb(hands.MCol, colour);
    DrawHand(dc, centre, minuteAngle, static_cast<float>(R), static_cast<float>(R), colour,
             hands.MW);
    DrawHand(dc, centre, minuteAngle, static_cast<float>(-0.2 * R), static_cast<float>(-0.2 * R),
             colour, hands.MW);

    if (!hands.Seconds)
        return;
    const float secondAngle = static_cast<float>((t.second() - 15) / 30.0 * Pi);
    ColorToRgb(hands.SCol, colour);
    DrawHand(dc, centre, secondAngle, static_cast<float>(R / -4), static_cast<float>(R / -4),
             colour, hands.SW);
    DrawHand(dc, centre, secondAngle, static_cast<float>(1.1 * R), static_cast<float>(1.1 * R),
             colour, hands.SW);
}

bool StylePreview::SaveFace(const QString& file, QString* error) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!face_.save(&buffer, "BMP")) {
        if (error)
            *error = QStringLiteral("the picture cannot be encoded");
        return false;
    }
    return WriteWholeFile(LocalPath(file), bytes, error);
}
