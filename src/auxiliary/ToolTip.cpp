#include "auxiliary/ToolTip.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

namespace {
constexpr int kDefaultInitialMs = 500;
constexpr int kPad = 6;            // text inside the frame
constexpr int kRadius = 7;         // corners of the balloon
constexpr int kPointerHeight = 12; // the balloon's pointer
constexpr int kPointerWidth = 14;
constexpr int kIconSize = 16;
constexpr int kMaxTextWidth = 300;
constexpr int kBelowPointer = 20; // a rectangular tip clears the mouse pointer

QIcon titleIcon(int icon) {
    QStyle* style = QApplication::style();
    switch (icon) {
    case 1:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case 2:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case 3:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    default:
        return {};
    }
}
} // namespace

ToolTipWindow::ToolTipWindow(QWidget* owner, bool balloon, bool centered, QRect toolRect)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner), balloon_(balloon), centered_(centered), toolRect_(toolRect),
      initial_(kDefaultInitialMs), reshow_(kDefaultInitialMs / 5),
      autoPop_(kDefaultInitialMs * 10) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(QToolTip::font());
    showTimer_.setSingleShot(true);
    hideTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, [this] { Popup(lastPointer_); });
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
    if (owner) {
        owner->setMouseTracking(true); // the tip follows the pointer over its owner
        owner->installEventFilter(this);
    }
}

ToolTipWindow::~ToolTipWindow() {
    if (owner_)
        owner_->removeEventFilter(this);
}

void ToolTipWindow::SetTitle(int icon, const QString& title) {
    icon_ = icon;
    title_ = title;
    update();
}

void ToolTipWindow::SetText(const QString& text) {
    text_ = text;
    if (text_.isEmpty())
        hide();
    else if (isVisible())
        layoutAndShape(lastPointer_);
    update();
}

void ToolTipWindow::SetTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

void ToolTipWindow::SetBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void ToolTipWindow::SetDelayTime(int type, int milliseconds) {
    switch (type) {
    case 0:
        initial_ = milliseconds;
        reshow_ = milliseconds / 5;
        autoPop_ = milliseconds * 10;
        break;
    case 1:
        reshow_ = milliseconds;
        break;
    case 2:
        autoPop_ = milliseconds;
        break;
    default:
        initial_ = milliseconds;
        break;
    }
}

bool ToolTipWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched != owner_)
        return false;
    switch (e->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove: {
        const QPoint local = owner_->mapFromGlobal(QCursor::pos());
        const bool inside = toolRect_.contains(local);
        if (!inside) {
            showTimer_.stop();
            hide();
        } else if (!isVisible() && !showTimer_.isActive()) {
            lastPointer_ = QCursor::pos();
            showTimer_.start(initial_);
        }
        break;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        showTimer_.stop();
        hide();
        break;
    default:
        break;
    }
    return false;
}

QSize ToolTipWindow::contentSize() const {
    const QFontMetrics fm(font());
    QSize size = fm.boundingRect(QRect(0, 0, kMaxTextWidth, 10000), Qt::TextWordWrap, text_).size();
    if (!title_.isEmpty() || icon_ != 0) {
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics bm(bold);
        const int iconWidth = icon_ != 0 ? kIconSize + kPad / 2 : 0;
        size.setWidth(qMax(size.width(), iconWidth + bm.horizontalAdvance(title_)));
        size.setHeight(size.height() + qMax(kIconSize, bm.height()) + kPad / 2);
    }
    return size;
}

void ToolTipWindow::layoutAndShape(QPoint pointer) {
    const QSize content = contentSize();
    const int w = content.width() + 2 * kPad + (balloon_ ? 2 * kPad : 0);
    const int bodyH = content.height() + 2 * kPad;
    const int h = bodyH + (balloon_ ? kPointerHeight : 0);
    QPoint tipPoint = pointer; // where the balloon's pointer ends
    if (centered_ && owner_)
        tipPoint = owner_->mapToGlobal(QPoint(toolRect_.center().x(), toolRect_.bottom()));
    const QScreen* screen = owner_ ? owner_->screen() : QApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);

    QPoint topLeft;
    if (balloon_) {
        pointerUp_ = tipPoint.y() + h <= avail.bottom();
        const int left = centered_ ? tipPoint.x() - w / 2 : tipPoint.x() - kRadius - kPointerWidth;
        topLeft = QPoint(qBound(avail.left(), left, qMax(avail.left(), avail.right() - w)),
                         pointerUp_ ? tipPoint.y() : tipPoint.y() - h);
        pointerX_ = qBound(kRadius, tipPoint.x() - topLeft.x() - kPointerWidth / 2,
                           qMax(kRadius, w - kRadius - kPointerWidth));
    } else {
        const int left = centered_ ? tipPoint.x() - w / 2 : tipPoint.x();
        const int top = centered_ ? tipPoint.y() + 2 : tipPoint.y() + kBelowPointer;
        topLeft = QPoint(qBound(avail.left(), left, qMax(avail.left(), avail.right() - w)),
                         top + h <= avail.bottom() ? top : pointer.y() - h - 4);
    }
    setGeometry(QRect(topLeft, QSize(w, h)));

    if (balloon_) {
        QPainterPath shape;
        const QRectF body(0, pointerUp_ ? kPointerHeight : 0, w, bodyH);
        shape.addRoundedRect(body, kRadius, kRadius);
        QPolygonF pointerShape;
        if (pointerUp_)
            pointerShape << QPointF(pointerX_, kPointerHeight + 1) << QPointF(pointerX_, 0)
                         << QPointF(pointerX_ + kPointerWidth, kPointerHeight + 1);
        else
            pointerShape << QPointF(pointerX_, bodyH - 1) << QPointF(pointerX_, h)
                         << QPointF(pointerX_ + kPointerWidth, bodyH - 1);
        shape.addPolygon(pointerShape);
        setMask(QRegion(shape.simplified().toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
}

void ToolTipWindow::Popup(QPoint pointer) {
    if (text_.isEmpty())
        return;
    lastPointer_ = pointer;
    layoutAndShape(pointer);
    show();
    raise();
    if (autoPop_ > 0)
        hideTimer_.start(autoPop_);
}

void ToolTipWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor back =
        backColor_.isValid() ? backColor_ : QToolTip::palette().color(QPalette::ToolTipBase);
    const QColor fore =
        textColor_.isValid() ? textColor_ : QToolTip::palette().color(QPalette::ToolTipText);
    QRect body = rect();
    if (balloon_) {
        p.setRenderHint(QPainter::Antialiasing);
        const int top = pointerUp_ ? kPointerHeight : 0;
        body = QRect(0, top, width(), height() - kPointerHeight);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
        QPolygonF pointerShape;
        if (pointerUp_)
            pointerShape << QPointF(pointerX_ + 0.5, top + 1) << QPointF(pointerX_ + 0.5, 0.5)
                         << QPointF(pointerX_ + kPointerWidth, top + 1);
        else
            pointerShape << QPointF(pointerX_ + 0.5, body.bottom() - 1)
                         << QPointF(pointerX_ + 0.5, height() - 0.5)
                         << QPointF(pointerX_ + kPointerWidth, body.bottom() - 1);
        shape.addPolygon(pointerShape);
        p.setPen(QPen(fore, 1));
        p.setBrush(back);
        p.drawPath(shape.simplified());
        body.adjust(kPad, 0, -kPad, 0);
    } else {
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.palette.setColor(QPalette::ToolTipBase, back);
        p.fillRect(rect(), back);
        style()->drawPrimitive(QStyle::PE_PanelTipLabel, &frame, &p, this);
        p.setPen(fore.darker(110));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QRect inner = body.adjusted(kPad, kPad, -kPad, -kPad);
    p.setPen(fore);
    if (!title_.isEmpty() || icon_ != 0) {
        QFont bold = font();
        bold.setBold(true);
        const int lineH = qMax(kIconSize, QFontMetrics(bold).height());
        int x = inner.left();
        if (const QIcon icon = titleIcon(icon_); !icon.isNull()) {
            icon.paint(&p, QRect(x, inner.top() + (lineH - kIconSize) / 2, kIconSize, kIconSize));
            x += kIconSize + kPad / 2;
        }
        p.setFont(bold);
        p.drawText(QRect(x, inner.top(), inner.right() - x + 1, lineH), Qt::AlignVCenter, title_);
        p.setFont(font());
        inner.setTop(inner.top() + lineH + kPad / 2);
    }
    p.drawText(inner, Qt::TextWordWrap, text_);
}

ToolTip::~ToolTip() {
    delete window_.data();
}

QColor ToolTip::ColorFromValue(uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

bool ToolTip::Create(QWidget*& parhWnd) {
    delete window_.data();
    if (!parent_)
        return false;
    const QRect toolRect = parhWnd ? parhWnd->rect() : QRect(); // taken once, now
    window_ = new ToolTipWindow(parhWnd, style_ == 1, centered_, toolRect);
    window_->SetText(tipText_);
    if (!title_.isEmpty() || icon_ != 0)
        window_->SetTitle(icon_, title_);
    if (foreColor_ != 0)
        window_->SetTextColor(ColorFromValue(foreColor_));
    if (backColor_ != 0)
        window_->SetBackColor(ColorFromValue(backColor_));
    return false;
}

void ToolTip::sendTitle() {
    if (window_ && !title_.isEmpty() && icon_ != 0)
        window_->SetTitle(icon_, title_);
}

void ToolTip::Icon(int32_t value) {
    icon_ = value;
    sendTitle();
}

void ToolTip::Title(const QString& value) {
    title_ = value;
    sendTitle();
}

void ToolTip::ForeColor(uint32_t value) {
    foreColor_ = value;
    if (window_)
        window_->SetTextColor(ColorFromValue(value));
}

void ToolTip::BackColor(uint32_t value) {
    backColor_ = value;
    if (window_)
        window_->SetBackColor(ColorFromValue(value));
}

void ToolTip::TipText(const QString& value) {
    tipText_ = value;
    if (window_)
        window_->SetText(value);
}

void ToolTip::DelayTime(uint32_t dwType, uint32_t dwMilliSecs) {
    if (window_)
        window_->SetDelayTime(int(dwType & 3), int(qMin<uint32_t>(dwMilliSecs, INT32_MAX)));
}
