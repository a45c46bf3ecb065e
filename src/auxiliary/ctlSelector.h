#pragma once

#include <QColor>
#include <QFrame>
#include <QPixmap>

class QLabel;

// A picture above a caption line, put in the pressed state by a click. Every click tells
// the host through PressedChanged, also when already pressed; the host releases it through
// the Pressed setter, which tells nothing.
class ctlSelector : public QFrame {
    Q_OBJECT
public:
    explicit ctlSelector(QWidget* parent = nullptr);

    bool Pressed() const { return pressed_; }
    void Pressed(bool parSwi);
    QString Caption() const;
    void Caption(const QString& parCap);
    QPixmap Image() const;
    void Image(const QPixmap& parImg);
    QColor BackColor() const;
    void BackColor(const QColor& parCol);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;

Q_SIGNALS:
    void PressedChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void UserControl_Click();

    bool pressed_ = false;
};
