#include "render/ClockRenderer.h"

#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "render/modCopyBitmap.h"
#include "render/modOLEPicture.h"
#include "settings/KOptions.h"

#include <QPainter>
#include <cstring>

using Vorel_WuLines::DrawHand;
using Vorel_WuLines::RoundHalfEven;

namespace {

constexpr double Pi = 3.14159; // the value the clock's geometry is written with
enum Hand { HourHand, MinuteHand, SecondHand };

// Copies the pixels of rect from one image to another of the same size and 32-bit format.
void copyRect(const QImage& from, QImage& to, const QRect& rect) {
    const QRect r = rect.intersected(to.rect());
    if (r.isEmpty())
        return;
    const size_t bytes = size_t(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to.scanLine(y) + r.left() * 4, from.constScanLine(y) + r.left() * 4, bytes);
}

} // namespace

ClockRenderer::ClockRenderer() = default;

void ClockRenderer::pLoadStyle(bool B) {
    Q_UNUSED(B);
    WriteLog(QStringLiteral("Applying style..."));
    QImage picture;
    if (picture.load(LocalPath(Options().StyleFile)))
        ImgClk = picture;
    ColorToRgb(Options().HCol, HourRgb);
    ColorToRgb(Options().MCol, MinuteRgb);
    ColorToRgb(Options().SCol, SecondsRgb);
    WriteLog(QStringLiteral("Done Applying style."));
}

void ClockRenderer::setClientSize(QSize size) {
    client_ = size.isValid() ? size : QSize(0, 0);
    HandRadiusX = static_cast<float>(client_.width() * 0.5);
    HandRadiusY = static_cast<float>(client_.height() * 0.5);
    FaceCenterX = RoundHalfEven(client_.width() * 0.5);
    FaceCenterY = RoundHalfEven(client_.height() * 0.5);
    LastDrawnSecond = ForceFrame;
    HandRadiusX = static_cast<float>(HandRadiusX * 0.75);
    HandRadiusY = static_cast<float>(HandRadiusY * 0.75);

    if (client_.isEmpty()) {
        backing_ = QImage();
    } else {
        backing_ = QImage(client_, QImage::Format_RGB32);
        backing_.fill(Qt::white);
    }
    faceLayer_ = QImage();
    faceLayerValid_ = false;
    handRects_.clear();
    changed_ = QRegion(backing_.rect());
}

QSize ClockRenderer::clientSize() const {
    return client_;
}

void ClockRenderer::RecalcImage(bool parRecalc) {
    ScaledFace = QImage();
    if (ImgClk.isNull())
        return;
    if (parRecalc) {
        ScaledFace = modOLEPicture::PictureFromHandle(
                         modCopyBitmap::CopyBitmap(ImgClk, modCopyBitmap::KindAuto, client_.width(),
                                                   client_.height(), 0, modCopyBitmap::HALFTONE),
                         true, 0, true)
                         .handle();
    } else {
        ScaledFace = ImgClk;
    }
}

const QImage& ClockRenderer::backing() const {
    return backing_;
}

QRect ClockRenderer::lastChanged() const {
    return changed_.boundingRect();
}

QRegion ClockRenderer::lastChangedRegion() const {
    return changed_;
}

void ClockRenderer::useWidths(int16_t HW, int16_t MW, int16_t SW) {
    ownWidths_ = true;
    ownWidth_[HourHand] = HW;
    ownWidth_[MinuteHand] = MW;
    ownWidth_[SecondHand] = SW;
}

void ClockRenderer::useOptions() {
    ownWidths_ = false;
}

int16_t ClockRenderer::widthOf(int hand) const {
    if (ownWidths_)
        return ownWidth_[hand];
    const KOptions& o = Options();
    return hand == HourHand ? o.HW : hand == MinuteHand ? o.MW : o.SW;
}

bool ClockRenderer::faceLayerCurrent() const {
    const qint64 key = ScaledFace.isNull() ? 0 : ScaledFace.cacheKey();
    return faceLayerValid_ && key == faceKey_ && faceLayer_.size() == backing_.size();
}

// The face as every frame starts: the background cleared to white and the fitted face drawn
// over it, scaled to the client area.
void ClockRenderer::buildFaceLayer() {
    faceKey_ = ScaledFace.isNull() ? 0 : ScaledFace.cacheKey();
    faceLayerValid_ = true;
    if (!ScaledFace.isNull() && ScaledFace.size() == client_ && !ScaledFace.hasAlphaChannel()) {
        faceLayer_ = ScaledFace.convertToFormat(QImage::Format_RGB32);
        return;
    }
    faceLayer_ = QImage(client_, QImage::Format_RGB32);
    faceLayer_.fill(Qt::white);
    if (!ScaledFace.isNull()) {
        QPainter painter(&faceLayer_);
        painter.drawImage(QRect(QPoint(0, 0), client_), ScaledFace);
    }
}

bool ClockRenderer::Render(const QDateTime& tTime) {
    const QTime time = tTime.time();
    const int s = time.second();
    if (s == LastDrawnSecond)
        return false;
    LastDrawnSecond = static_cast<int16_t>(s);
    if (ScaledFace.isNull())
        RecalcImage(true);
    if (backing_.isNull()) {
        changed_ = QRegion();
        return false;
    }

    // Back to the bare face: all of it after a face or size change, otherwise only where the
    // previous frame's hands were.
    QRegion changed;
    if (!faceLayerCurrent()) {
        buildFaceLayer();
        std::memcpy(backing_.bits(), faceLayer_.constBits(), size_t(backing_.sizeInBytes()));
        changed = QRegion(backing_.rect());
    } else {
        for (const QRect& r : std::as_const(handRects_)) {
            copyRect(faceLayer_, backing_, r);
            changed += r;
        }
    }
    handRects_.clear();

    Surface dc(backing_);
    const QPoint centre(FaceCenterX, FaceCenterY);
    const double rx = HandRadiusX;
    const double ry = HandRadiusY;
    auto segment = [&](float angle, double factor, ColorBytes color, int hand) {
        dc.resetTouched();
        DrawHand(dc, centre, angle, static_cast<float>(factor * rx),
                 static_cast<float>(factor * ry), color, widthOf(hand));
        if (!dc.touched().isEmpty())
            handRects_.append(dc.touched());
    };

    const int hour = time.hour();
    const int minute = time.minute();
    const float hourAngle = static_cast<float>(((hour + minute / 60.0) - 3) / 6 * Pi);
    segment(hourAngle, 0.75, HourRgb, HourHand);
    segment(hourAngle, -0.1, HourRgb, HourHand);

    const float minuteAngle = static_cast<float>(((minute + s / 60.0) - 15) / 30 * Pi);
    segment(minuteAngle, 1.0, MinuteRgb, MinuteHand);
    segment(minuteAngle, -0.2, MinuteRgb, MinuteHand);

    if (widthOf(SecondHand) > 0) {
        const float secondAngle = static_cast<float>((s - 15) / 30.0 * Pi);
        dc.resetTouched();
        DrawHand(dc, centre, secondAngle, static_cast<float>(rx / -4), static_cast<float>(ry / -4),
                 SecondsRgb, widthOf(SecondHand));
        if (!dc.touched().isEmpty())
            handRects_.append(dc.touched());
        segment(secondAngle, 1.1, SecondsRgb, SecondHand);
    }

    for (const QRect& r : std::as_const(handRects_))
        changed += r;
    changed_ = changed;
    return true;
}
