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

// The segments of the hour and minute hands: the hand, and the length as a share of the
// radius (negative: the tail behind the centre).
constexpr struct {
    Hand hand;
    double factor;
} StaticSegments[] = {{HourHand, 0.75}, {HourHand, -0.1}, {MinuteHand, 1.0}, {MinuteHand, -0.2}};

} // namespace

ClockRenderer::ClockRenderer() = default;

void ClockRenderer::pLoadStyle(bool B) {
    Q_UNUSED(B);
    WriteLog(QStringLiteral("Applying style..."));
    const QImage picture = modOLEPicture::LoadPictureFile(LocalPath(Options().StyleFile));
    if (!picture.isNull())
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
    secondRows_.clear(backing_.height());
    changedRows_.fill(backing_.height(), backing_.width());
    bandChanges();
    prevRows_.clear(backing_.height());
    prevAt_.assign(size_t(backing_.height()), 0);
    staticLayer_ = QImage();
    staticKey_.clear();
    staticRows_.clear(backing_.height());
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
    QRegion region;
    region.setRects(changedRects_.data(), int(changedRects_.size()));
    return region;
}

void ClockRenderer::bandChanges() {
    changedRects_.clear();
    AddRowBands(changedRows_.lo.data(), changedRows_.hi.data(), changedRows_.first,
                changedRows_.end, BandRows, changedRects_);
}

// Row by row over the pixels put back and the new second hand, the first and last pixel where
// the new frame differs from the previous one: where pixels were put back the previous ones
// were kept, elsewhere the previous frame showed the static layer.
void ClockRenderer::findChanges() {
    const int rows = backing_.height();
    changedRows_.clear(rows);
    const bool noPrev = prevRows_.first == prevRows_.end;
    const bool noSecond = secondRows_.first == secondRows_.end;
    const int first = noPrev     ? secondRows_.first
                      : noSecond ? prevRows_.first
                                 : std::min(prevRows_.first, secondRows_.first);
    const int end = std::max(prevRows_.end, secondRows_.end);
    for (int y = first; y < end; ++y) {
        const int prevLo = prevRows_.lo[size_t(y)], prevHi = prevRows_.hi[size_t(y)];
        int lo = std::min(prevLo, secondRows_.lo[size_t(y)]);
        int hi = std::max(prevHi, secondRows_.hi[size_t(y)]);
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

void ClockRenderer::staticKey(float hourAngle, float minuteAngle, std::vector<int>& key) const {
    key.assign({FaceCenterX, FaceCenterY, widthOf(HourHand), widthOf(MinuteHand),
                Vorel_WuLines::TripleToColor(HourRgb), Vorel_WuLines::TripleToColor(MinuteRgb)});
    const QPoint centre(FaceCenterX, FaceCenterY);
    for (const auto& segment : StaticSegments) {
        const Vorel_WuLines::HandPoints h =
            HandOutline(centre, segment.hand == HourHand ? hourAngle : minuteAngle,
                        static_cast<float>(segment.factor * HandRadiusX),
                        static_cast<float>(segment.factor * HandRadiusY), widthOf(segment.hand));
        for (const QPoint& p : {h.tip, h.body[0], h.body[1], h.body[2], h.c1, h.c2})
            key.insert(key.end(), {p.x(), p.y()});
    }
}

// The hour and minute hands on the face, into staticLayer_: where they were put back from the
// face, then drawn anew (everything when `whole`).
void ClockRenderer::drawStaticLayer(float hourAngle, float minuteAngle, bool whole) {
    if (whole)
        staticLayer_ = faceLayer_.copy();
    else
        copySpans(staticRows_, faceLayer_, staticLayer_);
    staticRows_.clear(client_.height());
    Surface dc(staticLayer_);
    dc.trackRows(staticRows_.lo.data(), staticRows_.hi.data());
    const QPoint centre(FaceCenterX, FaceCenterY);
    for (const auto& segment : StaticSegments)
        DrawHand(dc, centre, segment.hand == HourHand ? hourAngle : minuteAngle,
                 static_cast<float>(segment.factor * HandRadiusX),
                 static_cast<float>(segment.factor * HandRadiusY),
                 segment.hand == HourHand ? HourRgb : MinuteRgb, widthOf(segment.hand));
    staticRows_.setRows(dc.touched());
}

// The pixels of `spans` from one picture of the client's size into another.
void ClockRenderer::copySpans(const RowSpans& spans, const QImage& from, QImage& to) {
    for (int y = spans.first; y < spans.end; ++y) {
        const int lo = spans.lo[size_t(y)], hi = spans.hi[size_t(y)];
        if (lo <= hi)
            std::memcpy(to.scanLine(y) + lo * 4, from.constScanLine(y) + lo * 4,
                        size_t(hi - lo + 1) * 4);
    }
}

bool ClockRenderer::Render(const QDateTime& tTime) {
    return Render(tTime.time());
}

bool ClockRenderer::Render(QTime time) {
    const int s = time.second();
    if (s == LastDrawnSecond)
        return false;
    LastDrawnSecond = static_cast<int16_t>(s);
    if (ScaledFace.isNull())
        RecalcImage(true);
    if (backing_.isNull())
        return false;

    const int hour = time.hour();
    const int minute = time.minute();
    const float hourAngle = static_cast<float>(((hour + minute / 60.0) - 3) / 6 * Pi);
    const float minuteAngle = static_cast<float>(((minute + s / 60.0) - 15) / 30 * Pi);
    std::vector<int>& key = nextKey_;
    staticKey(hourAngle, minuteAngle, key);
    const int rows = backing_.height();
    prevRows_.clear(rows);
    prevPixels_.clear();

    const bool whole = !faceLayerCurrent() || staticLayer_.size() != backing_.size();
    if (!whole) {
        // Back to the face with the hour and minute hands, only where the previous second
        // hand was and, when those hands moved, where they were and are now. The previous
        // frame's pixels there are kept to find what changed.
        prevRows_.add(secondRows_);
        if (key != staticKey_) {
            prevRows_.add(staticRows_);
            drawStaticLayer(hourAngle, minuteAngle, false);
            prevRows_.add(staticRows_);
        }
        for (int y = prevRows_.first; y < prevRows_.end; ++y) {
            const int lo = prevRows_.lo[size_t(y)], hi = prevRows_.hi[size_t(y)];
            if (lo > hi)
                continue;
            const auto* row = reinterpret_cast<const quint32*>(backing_.constScanLine(y));
            prevAt_[size_t(y)] = int(prevPixels_.size());
            prevPixels_.insert(prevPixels_.end(), row + lo, row + hi + 1);
        }
        copySpans(prevRows_, staticLayer_, backing_);
    } else {
        buildFaceLayer();
        drawStaticLayer(hourAngle, minuteAngle, true);
        std::memcpy(backing_.bits(), staticLayer_.constBits(), size_t(backing_.sizeInBytes()));
        changedRows_.fill(rows, backing_.width());
    }
    staticKey_.swap(key);
    secondRows_.clear(rows);

    Surface dc(backing_);
    dc.trackRows(secondRows_.lo.data(), secondRows_.hi.data());
    if (widthOf(SecondHand) > 0) {
        const QPoint centre(FaceCenterX, FaceCenterY);
        const float secondAngle = static_cast<float>((s - 15) / 30.0 * Pi);
        DrawHand(dc, centre, secondAngle, static_cast<float>(double(HandRadiusX) / -4),
                 static_cast<float>(double(HandRadiusY) / -4), SecondsRgb, widthOf(SecondHand));
        DrawHand(dc, centre, secondAngle, static_cast<float>(1.1 * HandRadiusX),
                 static_cast<float>(1.1 * HandRadiusY), SecondsRgb, widthOf(SecondHand));
    }
    secondRows_.setRows(dc.touched());
    if (!whole)
        findChanges();
    bandChanges();
    return true;
}
