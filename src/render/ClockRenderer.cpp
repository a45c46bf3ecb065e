#include "render/ClockRenderer.h"

#include "render/RowBands.h"
#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "render/modCopyBitmap.h"
#include "render/modOLEPicture.h"
#include "settings/KOptions.h"

#include <QPainter>
#include <climits>
#include <cstring>

using Vorel_WuLines::DrawHand;
using Vorel_WuLines::HandOutline;
using Vorel_WuLines::RoundHalfEven;

namespace {

constexpr double Pi = 3.14159; // the value the clock's geometry is written with
enum Hand { HourHand, MinuteHand, SecondHand };

constexpr int BandRows = 8; // rows per rectangle of the changed region

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
    handTop_ = 0;
    handBottom_ = -1;
    handLo_.assign(size_t(backing_.height()), INT_MAX);
    handHi_.assign(size_t(backing_.height()), INT_MIN);
    changedAll_ = true;
    changedRows_.fill(backing_.height(), backing_.width());
    prevRows_.clear(backing_.height());
    prevAt_.assign(size_t(backing_.height()), 0);
    staticLayer_ = QImage();
    staticKey_.clear();
    staticTop_ = 0;
    staticBottom_ = -1;
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

QRegion ClockRenderer::lastChangedRegion() const {
    std::vector<QRect> bands;
    AddRowBands(changedRows_.lo.data(), changedRows_.hi.data(), changedRows_.first,
                changedRows_.end, BandRows, bands);
    QRegion region;
    region.setRects(bands.data(), int(bands.size()));
    return region;
}

// Row by row over the pixels put back and the new second hand, the first and last pixel where
// the new frame differs from the previous one: where pixels were put back the previous ones
// were kept, elsewhere the previous frame showed the static layer.
void ClockRenderer::findChanges() {
    const int rows = backing_.height();
    changedRows_.clear(rows);
    const int newEnd = std::min(handBottom_ + 1, rows);
    const int first = prevRows_.first == prevRows_.end
                          ? std::max(handTop_, 0)
                          : std::min(prevRows_.first, std::max(handTop_, 0));
    const int end = std::max(prevRows_.end, newEnd);
    for (int y = first; y < end; ++y) {
        const int prevLo = prevRows_.lo[size_t(y)], prevHi = prevRows_.hi[size_t(y)];
        int lo = std::min(prevLo, handLo_[size_t(y)]);
        int hi = std::max(prevHi, handHi_[size_t(y)]);
        if (lo > hi)
            continue;
        const auto* now = reinterpret_cast<const quint32*>(backing_.constScanLine(y));
        const auto* face = reinterpret_cast<const quint32*>(staticLayer_.constScanLine(y));
        const quint32* prev = prevPixels_.data() + (prevLo <= prevHi ? prevAt_[size_t(y)] : 0);
        auto was = [&](int x) { return x >= prevLo && x <= prevHi ? prev[x - prevLo] : face[x]; };
        while (lo <= hi && now[lo] == was(lo))
            ++lo;
        if (lo > hi)
            continue;
        while (now[hi] == was(hi))
            --hi;
        changedRows_.add(y, lo, hi);
    }
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

std::vector<int> ClockRenderer::staticKey(float hourAngle, float minuteAngle) const {
    std::vector<int> key{FaceCenterX,
                         FaceCenterY,
                         widthOf(HourHand),
                         widthOf(MinuteHand),
                         Vorel_WuLines::TripleToColor(HourRgb),
                         Vorel_WuLines::TripleToColor(MinuteRgb)};
    const QPoint centre(FaceCenterX, FaceCenterY);
    auto add = [&](float angle, double factor, int hand) {
        const Vorel_WuLines::HandPoints h =
            HandOutline(centre, angle, static_cast<float>(factor * HandRadiusX),
                        static_cast<float>(factor * HandRadiusY), widthOf(hand));
        for (const QPoint& p : {h.tip, h.body[0], h.body[1], h.body[2], h.c1, h.c2})
            key.insert(key.end(), {p.x(), p.y()});
    };
    add(hourAngle, 0.75, HourHand);
    add(hourAngle, -0.1, HourHand);
    add(minuteAngle, 1.0, MinuteHand);
    add(minuteAngle, -0.2, MinuteHand);
    return key;
}

// The hour and minute hands on the face, into staticLayer_: where they were put back from the
// face, then drawn anew (everything when `whole`).
void ClockRenderer::drawStaticLayer(float hourAngle, float minuteAngle, bool whole) {
    if (whole) {
        staticLayer_ = faceLayer_.copy();
        staticLo_.assign(size_t(client_.height()), INT_MAX);
        staticHi_.assign(size_t(client_.height()), INT_MIN);
    } else {
        for (int y = std::max(staticTop_, 0); y <= staticBottom_; ++y) {
            const int lo = staticLo_[size_t(y)], hi = staticHi_[size_t(y)];
            if (lo <= hi)
                std::memcpy(staticLayer_.scanLine(y) + lo * 4, faceLayer_.constScanLine(y) + lo * 4,
                            size_t(hi - lo + 1) * 4);
            staticLo_[size_t(y)] = INT_MAX;
            staticHi_[size_t(y)] = INT_MIN;
        }
    }
    Surface dc(staticLayer_);
    dc.trackRows(staticLo_.data(), staticHi_.data());
    const QPoint centre(FaceCenterX, FaceCenterY);
    auto segment = [&](float angle, double factor, ColorBytes color, int hand) {
        DrawHand(dc, centre, angle, static_cast<float>(factor * HandRadiusX),
                 static_cast<float>(factor * HandRadiusY), color, widthOf(hand));
    };
    segment(hourAngle, 0.75, HourRgb, HourHand);
    segment(hourAngle, -0.1, HourRgb, HourHand);
    segment(minuteAngle, 1.0, MinuteRgb, MinuteHand);
    segment(minuteAngle, -0.2, MinuteRgb, MinuteHand);
    const QRect written = dc.touched();
    staticTop_ = written.isEmpty() ? 0 : written.top();
    staticBottom_ = written.isEmpty() ? -1 : written.bottom();
}

bool ClockRenderer::Render(const QDateTime& tTime) {
    const QTime time = tTime.time();
    const int s = time.second();
    if (s == LastDrawnSecond)
        return false;
    LastDrawnSecond = static_cast<int16_t>(s);
    if (ScaledFace.isNull())
        RecalcImage(true);
    changedAll_ = false;
    if (backing_.isNull())
        return false;

    const int hour = time.hour();
    const int minute = time.minute();
    const float hourAngle = static_cast<float>(((hour + minute / 60.0) - 3) / 6 * Pi);
    const float minuteAngle = static_cast<float>(((minute + s / 60.0) - 15) / 30 * Pi);
    std::vector<int> key = staticKey(hourAngle, minuteAngle);
    const int rows = backing_.height();
    prevRows_.clear(rows);
    prevPixels_.clear();

    if (faceLayerCurrent() && staticLayer_.size() == backing_.size()) {
        // Back to the face with the hour and minute hands, only where the previous second
        // hand was and, when those hands moved, where they were and are now. The previous
        // frame's pixels there are kept to find what changed.
        for (int y = std::max(handTop_, 0); y <= handBottom_; ++y)
            prevRows_.add(y, handLo_[size_t(y)], handHi_[size_t(y)]);
        if (key != staticKey_) {
            for (int y = std::max(staticTop_, 0); y <= staticBottom_; ++y)
                prevRows_.add(y, staticLo_[size_t(y)], staticHi_[size_t(y)]);
            drawStaticLayer(hourAngle, minuteAngle, false);
            for (int y = std::max(staticTop_, 0); y <= staticBottom_; ++y)
                prevRows_.add(y, staticLo_[size_t(y)], staticHi_[size_t(y)]);
        }
        for (int y = prevRows_.first; y < prevRows_.end; ++y) {
            const int lo = prevRows_.lo[size_t(y)], hi = prevRows_.hi[size_t(y)];
            if (lo > hi)
                continue;
            auto* row = reinterpret_cast<quint32*>(backing_.scanLine(y));
            prevAt_[size_t(y)] = int(prevPixels_.size());
            prevPixels_.insert(prevPixels_.end(), row + lo, row + hi + 1);
            std::memcpy(row + lo, staticLayer_.constScanLine(y) + lo * 4, size_t(hi - lo + 1) * 4);
        }
    } else {
        buildFaceLayer();
        drawStaticLayer(hourAngle, minuteAngle, true);
        std::memcpy(backing_.bits(), staticLayer_.constBits(), size_t(backing_.sizeInBytes()));
        changedAll_ = true;
        changedRows_.fill(rows, backing_.width());
    }
    staticKey_ = std::move(key);
    for (int y = std::max(handTop_, 0); y <= handBottom_; ++y) {
        handLo_[size_t(y)] = INT_MAX;
        handHi_[size_t(y)] = INT_MIN;
    }

    Surface dc(backing_);
    dc.trackRows(handLo_.data(), handHi_.data());
    if (widthOf(SecondHand) > 0) {
        const QPoint centre(FaceCenterX, FaceCenterY);
        const float secondAngle = static_cast<float>((s - 15) / 30.0 * Pi);
        DrawHand(dc, centre, secondAngle, static_cast<float>(double(HandRadiusX) / -4),
                 static_cast<float>(double(HandRadiusY) / -4), SecondsRgb, widthOf(SecondHand));
        DrawHand(dc, centre, secondAngle, static_cast<float>(1.1 * HandRadiusX),
                 static_cast<float>(1.1 * HandRadiusY), SecondsRgb, widthOf(SecondHand));
    }
    const QRect written = dc.touched();
    handTop_ = written.isEmpty() ? 0 : written.top();
    handBottom_ = written.isEmpty() ? -1 : written.bottom();
    if (!changedAll_)
        findChanges();
    return true;
}
