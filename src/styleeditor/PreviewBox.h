#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

// The style preview's picture box: 257 x 257 pixels, the face at its top left, a pointing
// hand over it. A left press asks for a new face, a right press for the pop-up menu.
class PreviewBox : public QWidget {
public:
    static constexpr int BoxSize = 257;

    explicit PreviewBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    std::function<void()> onLeftPress;
    std::function<void(QPoint globalPos)> onRightPress;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage picture_;
};
