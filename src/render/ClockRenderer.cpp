#include "render/ClockRenderer.h"

#include "render/FrameChanges.h"
#include "render/RowBands.h"
#include "render/SecondHandCache.h"
#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "render/modCopyBitmap.h"
#include "render/modOLEPicture.h"
#include "settings/KOptions.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstring>

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
    beneathSecondKept_ = false;
    changedRows_.fill(backing_.height(), backing_.width());
    bandChanges();
    for (int hand : {HourHand, MinuteHand}) {
        staticKey_[hand].valid = false;
        staticRows_[hand].clear(backing_.height());
    }
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

void ClockRenderer::useWidths(int16_t HW, int16_t MW, int16_t SW) {
    ownWidths_ = true;
    ownWidth_[HourHand] = HW;
    ownWidth_[MinuteHand] = MW;
    ownWidth_[SecondHand] = SW;
}

void ClockRenderer::useOptions() {
    ownWidths_ = false;
}

void ClockRenderer::keepHandPositions(bool on) {
    keepHands_ = on;
    secondHand_.clear();
}

size_t ClockRenderer::heldBytes() const {
    size_t bytes = 0;
    std::vector<const uchar*> seen;
    for (const QImage* image : {&ImgClk, &ScaledFace, &backing_, &faceLayer_}) {
        if (image->isNull() ||
            std::find(seen.begin(), seen.end(), image->constBits()) != seen.end())
            continue;
        seen.push_back(image->constBits());
        bytes += size_t(image->sizeInBytes());
    }
    for (const SpanOverlay& hand : staticHands_)
        bytes += hand.heldBytes();
    bytes += beneathSecond_.heldBytes();
    return bytes + changes_.heldBytes();
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

void ClockRenderer::staticKey(float hourAngle, float minuteAngle, HandKey (&key)[2]) {
    for (int hand : {HourHand, MinuteHand}) {
        const ColorBytes& rgb = hand == HourHand ? HourRgb : MinuteRgb;
        key[hand].valid = true;
        auto& v = key[hand].values;
        v[0] = FaceCenterX;
        v[1] = FaceCenterY;
        v[2] = widthOf(hand);
        v[3] = Vorel_WuLines::TripleToColor(rgb);
    }
    const QPoint centre(FaceCenterX, FaceCenterY);
    for (size_t i = 0; i < std::size(StaticSegments); ++i) {
        const auto& segment = StaticSegments[i];
        // The hour hand moves once a minute: its points are worked out again only then.
        Outline& o = outlines_[i];
        const Outline now{segment.hand == HourHand ? hourAngle : minuteAngle,
                          static_cast<float>(segment.factor * HandRadiusX),
                          static_cast<float>(segment.factor * HandRadiusY),
                          widthOf(segment.hand),
                          centre,
                          {}};
        if (!o.valid || o.angle != now.angle || o.lx != now.lx || o.ly != now.ly ||
            o.width != now.width || o.centre != now.centre) {
            o = now;
            o.points = HandOutline(centre, o.angle, o.lx, o.ly, o.width);
            o.valid = true;
        }
        const Vorel_WuLines::HandPoints& h = o.points;
        // Each hand has two segments, one after the other.
        int* at = key[segment.hand].values.data() + 4 + (i % 2) * 12;
        for (const QPoint& p : {h.tip, h.body[0], h.body[1], h.body[2], h.c1, h.c2}) {
            *at++ = p.x();
            *at++ = p.y();
        }
    }
}

void ClockRenderer::drawHands(QImage& image, bool hourToo) {
    Surface dc(image);
    const QPoint centre(FaceCenterX, FaceCenterY);
    for (int hand : {HourHand, MinuteHand}) {
        if (hand == HourHand && !hourToo)
            continue;
        RowSpans& rows = staticRows_[hand];
        rows.clear(client_.height());
        dc.resetTouched();
        dc.trackRows(rows.lo.data(), rows.hi.data());
        for (size_t i = 0; i < std::size(StaticSegments); ++i)
            if (StaticSegments[i].hand == hand)
                Vorel_WuLines::DrawHandPoints(dc, centre, outlines_[i].points,
                                              hand == HourHand ? HourRgb : MinuteRgb,
                                              outlines_[i].width);
        rows.setRows(dc.touched());
        staticHands_[hand].take(image, rows);
    }
}

void ClockRenderer::copyFace(QImage& to) const {
    if (faceLayer_.bytesPerLine() == to.bytesPerLine()) {
        std::memcpy(to.bits(), faceLayer_.constBits(), size_t(to.sizeInBytes()));
        return;
    }
    for (int y = 0; y < to.height(); ++y)
        std::memcpy(to.scanLine(y), faceLayer_.constScanLine(y), size_t(to.width()) * 4);
}

bool ClockRenderer::Render(const QDateTime& tTime) {
    return Render(tTime.time());
}

bool ClockRenderer::Render(QTime time) {
    if (time.isNull())
        return false;
    // From the milliseconds of the day: QTime's own accessors are calls into Qt, in a part of
    // it that a tick would touch for nothing else.
    const int msOfDay = time.msecsSinceStartOfDay();
    const int s = msOfDay / 1000 % 60;
    if (s == LastDrawnSecond)
        return false;
    LastDrawnSecond = static_cast<int16_t>(s);
    if (ScaledFace.isNull())
        RecalcImage(true);
    if (backing_.isNull())
        return false;

    const int hour = msOfDay / 3'600'000;
    const int minute = msOfDay / 60'000 % 60;
    const float hourAngle = static_cast<float>(((hour + minute / 60.0) - 3) / 6 * Pi);
    const float minuteAngle = static_cast<float>(((minute + s / 60.0) - 15) / 30 * Pi);
    staticKey(hourAngle, minuteAngle, nextKey_);
    const int rows = backing_.height();

    const bool whole = !faceLayerCurrent();
    // The face with the hands that stay: what the previous frame showed outside what this
    // one puts back and draws anew.
    LayeredFace base{&faceLayer_, {}, 0};
    if (!whole) {
        changes_.begin(rows);
        // Back to that face where the previous second hand was and, when the hour or minute
        // hand moved, where the hands that moved were; the backing then holds that face
        // throughout, and the hands that moved are drawn onto it. Where only the minute hand
        // moved, the hour hand's pixels off its path stay as they were.
        changes_.spans(FrameChanges::SecondHand).add(secondRows_);
        const bool hourMoved = nextKey_[HourHand] != staticKey_[HourHand];
        const bool minuteMoved = hourMoved || nextKey_[MinuteHand] != staticKey_[MinuteHand];
        if (!hourMoved)
            base.add(staticHands_[HourHand]);
        if (!minuteMoved)
            base.add(staticHands_[MinuteHand]);
        if (minuteMoved) {
            RowSpans& moved = changes_.spans(FrameChanges::StaticHands);
            if (hourMoved)
                moved.add(staticRows_[HourHand]);
            moved.add(staticRows_[MinuteHand]);
        }
        changes_.putBack(backing_, base, beneathSecondKept_ ? &beneathSecond_ : nullptr);
        if (minuteMoved) {
            drawHands(backing_, hourMoved);
            RowSpans& drawn = changes_.spans(FrameChanges::DrawnHands);
            if (hourMoved)
                drawn.add(staticRows_[HourHand]);
            drawn.add(staticRows_[MinuteHand]);
        }
    } else {
        buildFaceLayer();
        copyFace(backing_);
        drawHands(backing_, true);
        changedRows_.fill(rows, backing_.width());
        beneathSecondKept_ = false; // made by the next frame, if one follows
    }
    for (int hand : {HourHand, MinuteHand})
        staticKey_[hand] = nextKey_[hand];
    secondRows_.clear(rows);

    if (widthOf(SecondHand) > 0) {
        const SecondHandCache::Shape shape{backing_.size(),
                                           backing_.bytesPerLine() / 4,
                                           QPoint(FaceCenterX, FaceCenterY),
                                           HandRadiusX,
                                           HandRadiusY,
                                           widthOf(SecondHand),
                                           SecondsRgb};
        Surface dc(backing_);
        if (!keepHands_ || !secondHand_.draw(dc, shape, s, secondRows_)) {
            dc.trackRows(secondRows_.lo.data(), secondRows_.hi.data());
            DrawSecondHand(dc, shape, s);
            secondRows_.setRows(dc.touched());
        }
    }
    if (whole) {
        // Every row changed: bands of the full width.
        changedRects_.clear();
        for (int top = 0; top < rows; top += BandRows)
            changedRects_.push_back(
                QRect(0, top, backing_.width(), std::min(BandRows, rows - top)));
    } else {
        // What lies beneath the second hand: what the frame differs from there, and what the
        // next frame puts back.
        const LayeredFace hands{
            &faceLayer_, {&staticHands_[HourHand], &staticHands_[MinuteHand]}, 2};
        beneathSecond_.take(hands, secondRows_);
        beneathSecondKept_ = true;
        changes_.find(backing_, base, secondRows_, beneathSecond_, changedRows_);
        bandChanges();
    }
    return true;
}
