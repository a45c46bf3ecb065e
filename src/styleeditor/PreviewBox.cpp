#include "styleeditor/PreviewBox.h"

#include <QMouseEvent>
#include <QPainter>

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) {
    setFixedSize(BoxSize, BoxSize);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewBox::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PreviewBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.drawImage(0, 0, picture_);
}

void PreviewBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onLeftPress)
        onLeftPress();
    else if (e->button() == Qt::RightButton && onRightPress)
        onRightPress(e->globalPosition().toPoint());
}
