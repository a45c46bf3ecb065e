#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>

// The window of one tip: a balloon (a rounded frame with a pointer towards the tool) or a
// rectangle like the desktop's tooltips, drawn here. It shows while the pointer rests over
// its tool's rectangle in the owner window.
class ToolTipWindow : public QWidget {
    Q_OBJECT
public:
    ToolTipWindow(QWidget* owner, bool balloon, bool centered, QRect toolRect);
    ~ToolTipWindow() override;

    // What the tip shows. An invalid colour is the desktop's tooltip colour.
    void SetTitle(int icon, const QString& title);
    void SetText(const QString& text);
    void SetTextColor(const QColor& color);
    void SetBackColor(const QColor& color);
    // 0 sets all three from the initial delay, 1 the reshow, 2 the display time, 3 the initial.
    void SetDelayTime(int type, int milliseconds);

    bool Balloon() const { return balloon_; }
    bool Centered() const { return centered_; }
    QRect ToolRect() const { return toolRect_; }
    int TitleIcon() const { return icon_; }
    QString Title() const { return title_; }
    QString Text() const { return text_; }
    QColor TextColor() const { return textColor_; }
    QColor BackColor() const { return backColor_; }
    int InitialDelay() const { return initial_; }
    int ReshowDelay() const { return reshow_; }
    int AutoPopDelay() const { return autoPop_; }

    // Shows the tip for the pointer at this point of the owner (global coordinates).
    void Popup(QPoint pointer);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QSize contentSize() const;
    void layoutAndShape(QPoint pointer);

    QPointer<QWidget> owner_;
    bool balloon_;
    bool centered_;
    QRect toolRect_;
    int icon_ = 0;
    QString title_;
    QString text_;
    QColor textColor_;
    QColor backColor_;
    int initial_;
    int reshow_;
    int autoPop_;
    bool pointerUp_ = true; // the balloon's pointer is on its upper edge
    int pointerX_ = 0;
    QPoint lastPointer_;
    QTimer showTimer_;
    QTimer hideTimer_;
};

// One tip attached to one window, optionally in balloon shape, with a title, an icon and
// colours. Colours are 0x00BBGGRR values; 0 means the desktop's colour when the tip is made.
class ToolTip : public QObject {
    Q_OBJECT
public:
    ~ToolTip() override;

    // 1 = balloon; any other value a rectangular tip. Used by the next Create.
    void Style(int32_t value) { style_ = value; }
    int32_t Style() const { return style_; }
    // The tip centred below the tool. Used by the next Create.
    void Centered(bool value) { centered_ = value; }
    bool Centered() const { return centered_; }
    // Makes the tip for the window, its whole client area as the tool, dropping an old tip.
    // Makes none while ParentControl is not set. Always returns false.
    bool Create(QWidget*& parhWnd);
    void ParentControl(QWidget* control) { parent_ = control; }
    QWidget* ParentControl() const { return parent_; }
    // 0 none, 1 information, 2 warning, 3 error.
    void Icon(int32_t value);
    int32_t Icon() const { return icon_; }
    void ForeColor(uint32_t value);
    uint32_t ForeColor() const { return foreColor_; }
    void Title(const QString& value);
    QString Title() const { return title_; }
    void BackColor(uint32_t value);
    uint32_t BackColor() const { return backColor_; }
    void TipText(const QString& value);
    QString TipText() const { return tipText_; }
    // dwType AND 3: 0 automatic, 1 reshow, 2 display time, 3 initial. Only acts on a tip.
    void DelayTime(uint32_t dwType, uint32_t dwMilliSecs);

    // The tip's window; none before Create.
    ToolTipWindow* Window() const { return window_; }

    static QColor ColorFromValue(uint32_t value);

private:
    void sendTitle();

    int32_t style_ = 0;
    bool centered_ = false;
    QPointer<QWidget> parent_;
    int32_t icon_ = 0;
    uint32_t foreColor_ = 0;
    QString title_;
    uint32_t backColor_ = 0;
    QString tipText_;
    QPointer<ToolTipWindow> window_;
};
