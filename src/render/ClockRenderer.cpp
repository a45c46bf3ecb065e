#include "render/ClockRenderer.h"

#include "render/RowBands.h"
#include "render/SecondHandCache.h"
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

namespace {

// The first of n pixels where a and b differ (n: none), two pixels at a time.
int firstDifference(const quint32* a, const quint32* b, int n) {
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        uint64_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        if (x != y)
            return a[i] != b[i] ? i : i + 1;
    }
    return i < n && a[i] != b[i] ? i : n;
}

// The last of n pixels where a and b differ (-1: none), two pixels at a time.
int lastDifference(const quint32* a, const quint32* b, int n) {
    int i = n;
    for (; i >= 2; i -= 2) {
        uint64_t x, y;
        std::memcpy(&x, a + i - 2, sizeof x);
        std::memcpy(&y, b + i - 2, sizeof y);
        if (x != y)
            return a[i - 1] != b[i - 1] ? i - 1 : i - 2;
    }
    return i == 1 && a[0] != b[0] ? 0 : -1;
}

} // namespace

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
    const uchar* const nowBits = backing_.constBits();
    const uchar* const faceBits = staticLayer_.constBits();
    const qsizetype nowStride = backing_.bytesPerLine(), faceStride = staticLayer_.bytesPerLine();
    // A row's span in up to three parts: left of the pixels kept, the pixels kept, right of
    // them; each is compared with what the previous frame showed there.
    struct Part {
        int from, count;
        const quint32* now;
        const quint32* was;
    };
    Part parts[3];
    for (int y = first; y < end; ++y) {
        const int prevLo = prevRows_.lo[size_t(y)], prevHi = prevRows_.hi[size_t(y)];
        const int lo = std::min(prevLo, secondRows_.lo[size_t(y)]);
        const int hi = std::max(prevHi, secondRows_.hi[size_t(y)]);
        if (lo > hi)
            continue;
        const auto* now = reinterpret_cast<const quint32*>(nowBits + y * nowStride);
        const auto* face = reinterpret_cast<const quint32*>(faceBits + y * faceStride);
        int n = 0;
        auto part = [&](int from, int to, const quint32* was) {
            if (from <= to)
                parts[n++] = {from, to - from + 1, now + from, was};
        };
        if (prevLo > prevHi) {
            part(lo, hi, face + lo);
        } else {
            part(lo, prevLo - 1, face + lo);
            part(prevLo, prevHi, prevPixels_.data() + prevAt_[size_t(y)]);
            part(prevHi + 1, hi, face + prevHi + 1);
        }
        int left = -1, right = -1;
        for (int k = 0; k < n && left < 0; ++k) {
            const int at = firstDifference(parts[k].now, parts[k].was, parts[k].count);
            if (at < parts[k].count)
                left = parts[k].from + at;
        }
        if (left < 0)
            continue;
        for (int k = n - 1; k >= 0 && right < 0; --k) {
            const int at = lastDifference(parts[k].now, parts[k].was, parts[k].count);
            if (at >= 0)
                right = parts[k].from + at;
        }
        changedRows_.add(y, left, right);
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

void ClockRenderer::keepHandPositions(bool on) {
    keepHands_ = on;
    secondHand_.clear();
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
    uchar* const toBits = to.bits();
    const uchar* const fromBits = from.constBits();
    const qsizetype toStride = to.bytesPerLine(), fromStride = from.bytesPerLine();
    for (int y = spans.first; y < spans.end; ++y) {
        const int lo = spans.lo[size_t(y)], hi = spans.hi[size_t(y)];
        if (lo <= hi)
            std::memcpy(toBits + y * toStride + lo * 4, fromBits + y * fromStride + lo * 4,
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
        const uchar* const bits = backing_.constBits();
        const qsizetype stride = backing_.bytesPerLine();
        for (int y = prevRows_.first; y < prevRows_.end; ++y) {
            const int lo = prevRows_.lo[size_t(y)], hi = prevRows_.hi[size_t(y)];
            if (lo > hi)
                continue;
            const auto* row = reinterpret_cast<const quint32*>(bits + y * stride);
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
    if (!whole)
        findChanges();
    bandChanges();
    return true;
}
