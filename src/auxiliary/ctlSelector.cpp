#include "auxiliary/ctlSelector.h"

#include <QLabel>
#include <QMouseEvent>

ctlSelector::ctlSelector(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Zintar.ctlSelector"));
    setAutoFillBackground(true);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label1->resize(Label1->width(), Label1->sizeHint().height());
    // The labels leave presses to the control, so a press anywhere on it is one click.
    Pressed(false);
}

void ctlSelector::Pressed(bool parSwi) {
    pressed_ = parSwi;
    // Pressed: a sunken panel; released: flat.
    setFrameStyle(parSwi ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    setLineWidth(parSwi ? 1 : 0);
}

QString ctlSelector::Caption() const {
    return Label1->text();
}

void ctlSelector::Caption(const QString& parCap) {
    Label1->setText(parCap);
}

QPixmap ctlSelector::Image() const {
    return Image1->pixmap();
}

void ctlSelector::Image(const QPixmap& parImg) {
    Image1->setPixmap(parImg);
}

QColor ctlSelector::BackColor() const {
    return palette().color(QPalette::Window);
}

void ctlSelector::BackColor(const QColor& parCol) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, parCol);
    setPalette(pal);
}

void ctlSelector::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    // The caption hugs the bottom edge; the picture fills what is above it. A control lower
    // than its caption line shows the caption's lower part and no picture.
    const int W = width(), H = height();
    const int labelHeight = Label1->height();
    Label1->setGeometry(0, H - labelHeight, W, labelHeight);
    Image1->setGeometry(0, 0, W, qMax(0, H - labelHeight));
}

void ctlSelector::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        UserControl_Click();
    QFrame::mousePressEvent(e);
}

void ctlSelector::UserControl_Click() {
    pressed_ = true;
    Pressed(true);
    Q_EMIT PressedChanged();
}
