#pragma once

#include "alarms/AlarmCheck.h"
#include "mainwindow/CommonDialog.h"
#include "mainwindow/CompositorWatch.h"
#include "mainwindow/CornerWatch.h"
#include "mainwindow/DesktopEvents.h"
#include "mainwindow/FaceSource.h"
#include "mainwindow/TickTimer.h"
#include "mainwindow/WindowModes.h"
#include "mainwindow/X11Desktop.h"
#include "render/ClockRenderer.h"

#include <QDateTime>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;

// The clock window: the face with its hands, the tick, the sizes and window modes,
// the context menu and the tray icon.
class frmMain : public QWidget {
    Q_OBJECT

public:
    static const QString kCaption;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Shown: the shape and the first frame follow the map request at once.
    void setVisible(bool visible) override;

    // Hidden controls. The renderer holds ImgClk (the face source) and the scaled face.
    ClockRenderer Clock;
    QImage PicScreen;       // canvas of the desktop capture, client-sized
    FaceSource faceSource_; // where the face picture is read again for the next fit
    QIcon imgIcon;          // the tray picture, drawn at its first use
    const QIcon& icon();    // imgIcon, also made the program's icon
    CommonDialog CD;
    TickTimer Timer1;
    QTimer timCustom;
    AlarmCheck alarmCheck;

    // The once-a-minute alarm check the tick calls; alarmCheck's by default.
    std::function<void(const QDateTime&)> CheckAlarms;
    // Ends the program once the clock has closed; QCoreApplication::quit by default.
    std::function<void()> EndProgram;

    // Context menu, items in order.
    QMenu* mnuContext = nullptr;
    QMenu* mnuStyle = nullptr; // hidden, never filled
    QAction* mnuStyl = nullptr;
    QAction* mnum2 = nullptr;
    QMenu* mnuSize = nullptr;
    QAction* mnuSizeTiny = nullptr;
    QAction* mnuSmall = nullptr;
    QAction* mnuMed = nullptr;
    QAction* mnuLarge = nullptr;
    QAction* mnuXL = nullptr;
    QAction* mnuStylCust = nullptr;
    QAction* mnum = nullptr;
    QAction* mnuOT = nullptr;
    QAction* mnuOB = nullptr;
    QAction* mnuBorder = nullptr;
    QAction* mnuTrans = nullptr;
    QAction* mnum3 = nullptr;
    QAction* mnuAlarms = nullptr;
    QAction* mnuCalendar = nullptr;
    QAction* mnum5 = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuAutostart = nullptr; // "Start with the &desktop": the autostart entry exists
    QAction* mnum4 = nullptr;
    QAction* mnuexit = nullptr;

    // Windows of other parts of the program. Their menu items stay disabled until the
    // opener is set. The style editor returns its SwiOk.
    void setStyleEditor(std::function<bool()> showModal) {
        styleEditor_ = std::move(showModal);
        mnuStylCust->setEnabled(bool(styleEditor_));
    }
    void setAlarmList(std::function<void()> showModal) {
        alarmList_ = std::move(showModal);
        mnuAlarms->setEnabled(bool(alarmList_));
    }
    void setCalendar(std::function<void()> show) {
        calendar_ = std::move(show);
        mnuCalendar->setEnabled(bool(calendar_));
    }
    void setAbout(std::function<void()> show) {
        about_ = std::move(show);
        mnuAbout->setEnabled(bool(about_));
    }

    // Whether this display can show a half-transparent window; asked once, at creation.
    static std::function<bool()> CanShowTranslucency;

    void pLoadOptions(bool B);
    void pLoadStyle(bool B);
    void pResize(int W, int H);
    void GetShot();
    void Timer1_Timer();
    // What the clock does once it has settled (after start-up, a menu or a dialog, and every
    // hour): lets the face picture go and hands back the pages it does not need.
    void TrimWorkingSet();
    void Form_Activate();
    void RepaintOrActivate();
    // Shows a hidden or minimised clock, raises and activates it: a click on the tray icon,
    // another start of the program.
    void BringBack();
    // Pointer messages of the tray icon (513/514 left button, 516 right button).
    void TrayMessage(int message);
    void PopupMenu(QPoint globalPos);

    bool RoundRegion = false; // the elliptic shape is applied
    int FramesDrawn = 0;      // frames the tick composed, for tests and benchmarks
    int Activations = 0;

protected:
    bool event(QEvent* e) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    void paintEvent(QPaintEvent* e) override;
    QPaintEngine* paintEngine() const override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void createMenu();
    void Form_Load();
    void pResizeHandling();
    void pRoundRegion();
    void applyTransparent(bool on);
    void followCompositor();
    bool watchCorner(); // true when the window behind the corner stands as last seen
    bool watchesCorner() const;
    bool lookBehind();
    void scheduleTick(QTime now);
    void showFrame();
    void withTopMostLifted(const std::function<void()>& modal);

    // Menu handlers; Qt has already flipped the item's check when they run.
    void mnuSizeItem_Click(int size);
    void mnuOT_Click();
    void mnuOB_Click();
    void mnuBorder_Click();
    void mnuTrans_Click();
    void mnuStylCust_Click();
    void timCustom_Timer();
    void mnuAlarms_Click();
    void mnuCalendar_Click();
    void mnuAbout_Click();
    void mnuAutostart_Click();
    void mnuexit_Click();

    std::function<bool()> styleEditor_;
    std::function<void()> alarmList_, calendar_, about_;

    CornerWatch corner_; // LastCornerWindow, LastLeft, LastTop
    DesktopEvents desktopEvents_{[this] { return lookBehind(); }};
    CompositorWatch compositorWatch_{[this] { followCompositor(); }};
    QTimer backdropShot_; // the corner watch's capture, once the new window has drawn itself
    TickTimer trim_;      // hands back the pages start-up and menus touched
    TickTimer mapCheck_;  // looks whether the window manager let go of a shown clock
    int mapChecks_ = 0;   // looks done since the last showing
    void checkMapped();
    X11Desktop::WindowId passThroughFrame_ = 0; // frame last made click-through
    bool transparentApplied_ = false;
    int alarmMinute_ = -1;             // minute of the day of the last alarm check
    bool framesBypassPainter_ = false; // frames went straight to the window since the last paint
    bool onePixelPerPixel_ = false;    // the screen shows the window unscaled (asked on changes)
    X11Desktop::WindowId frameTarget_ = 0; // the native window, kept for the tick's frames
    X11Desktop::WindowId frameTarget();
    bool loaded_ = false;
    bool firstFrameOut_ = false;
    void firstFrameOut();          // traced; start-up's settings are saved now
    void framePainted();           // the first frame of a showing is on screen
    bool positionChecked_ = false; // since the last showing
    void checkPosition();
    bool activatedOnce_ = false;
    bool otherWindowWasActive_ = false; // activity left the clock for another of our windows
    bool closed_ = false;
    WindowModes::PointerDrag drag_;
};
