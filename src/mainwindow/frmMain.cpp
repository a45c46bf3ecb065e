#include "mainwindow/frmMain.h"

#include "alarms/frmAlarms.h"
#include "auxiliary/frmAbout.h"
#include "auxiliary/frmCalendar.h"
#include "mainwindow/DesktopCapture.h"
#include "mainwindow/Placement.h"
#include "mainwindow/TrayIcon.h"
#include "mainwindow/WindowModes.h"
#include "settings/KOptions.h"
#include "settings/KSkin.h"
#include "shell/CommandLine.h"
#include "shell/SetTopMost.h"
#include "shell/TimeSource.h"
#include "shell/UserNotice.h"
#include "shell/WorkingSet.h"
#include "shell/mdlStartup.h"
#include "styleeditor/frmCustom.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

const QString frmMain::kCaption = QStringLiteral("Zintar!  - https://zintar.org");

std::function<bool()> frmMain::CanShowTranslucency = &X11Desktop::CompositorRunning;

namespace {
// When nothing is watched between seconds, the tick comes this long after each second.
constexpr int kAfterSecondMs = 2;
// How late after that a one-second tick may come before it is set on time again.
constexpr int kLateTickMs = 10;
// A window that has just been mapped may not have drawn itself yet (a window manager maps
// the frame first): the backdrop is taken this long after the corner watch saw it.
constexpr int kBackdropSettleMs = 300;
constexpr int kStyleEditorDelayMs = 10;
// The working set is trimmed this long after start-up or after a menu or window of ours
// closed, once things have settled, and then every hour (after an alarm's message, say).
constexpr int kTrimAfterMs = 5000;
constexpr int kTrimEveryMs = 60 * 60 * 1000;
constexpr int kMapChecksMs[] = {1000, 3000, 10000}; // after a showing
} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    WriteLog(QStringLiteral("Initializing the form..."));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    resize(128, 128);
    CheckAlarms = [this](const QDateTime& now) { alarmCheck.Tick(now); };
    EndProgram = [] { QCoreApplication::quit(); };
    createMenu();
    setAlarmList([] {
        frmAlarms list; // without owner; dropped when it closes
        list.exec();
    });
    setStyleEditor([this] {
        StyleDialogs dialogs;
        dialogs.color = [this](int32_t initial) { return CD.ShowColor(initial); };
        dialogs.open = [this](const QString& filter) {
            return CD.ShowOpen(QStringLiteral("Load image"), filter);
        };
        dialogs.save = [this](const QString& filter) {
            return CD.ShowSave(QStringLiteral("Save image"), filter);
        };
        frmCustom editor(std::move(dialogs)); // without owner, like the alarm list
        editor.exec();
        return editor.SwiOk;
    });
    setCalendar([] { frmCalendar::Open(); });
    setAbout([this] { frmAbout::Open(this, icon()); });

    Timer1.setInterval(1000);
    Timer1.setCallback([this] { Timer1_Timer(); });
    timCustom.setInterval(kStyleEditorDelayMs);
    timCustom.setSingleShot(true);
    connect(&timCustom, &QTimer::timeout, this, &frmMain::timCustom_Timer);
    backdropShot_.setInterval(kBackdropSettleMs);
    backdropShot_.setSingleShot(true);
    connect(&backdropShot_, &QTimer::timeout, this, &frmMain::GetShot);
    mapCheck_.setCallback([this] { checkMapped(); });
    trim_.setCallback([this] {
        // Started again first: code that runs once after the trim stays mapped until the
        // next one, and a timer's start is code no tick needs.
        trim_.start(kTrimEveryMs);
        TrimWorkingSet();
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (w && w != windowHandle() && w->type() != Qt::Popup && w->type() != Qt::ToolTip)
            otherWindowWasActive_ = true;
    });

    LoadSkins();
    pLoadOptions(false);
    alarmCheck.LastAlarmMinute = 0;
    followCompositor();
    Timer1.start();
}

frmMain::~frmMain() {
    delete mnuContext;
}

void frmMain::createMenu() {
    mnuContext = new QMenu();
    auto item = [this](QMenu* menu, const QString& caption, void (frmMain::*handler)(),
                       bool checkable = false) {
        QAction* a = menu->addAction(caption);
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuStyle = mnuContext->addMenu(QStringLiteral("Style"));
    mnuStyle->menuAction()->setVisible(false);
    mnuStyl = mnuStyle->addAction(QStringLiteral("Classic"));
    mnuStyl->setCheckable(true);
    mnuStyl->setVisible(false);
    mnum2 = mnuContext->addSeparator();
    mnum2->setVisible(false);

    mnuSize = mnuContext->addMenu(QStringLiteral("Size"));
    const QString sizeCaptions[] = {QStringLiteral("Tiny (64x64)"), QStringLiteral("Small (96x96)"),
                                    QStringLiteral("Medium (128x128)"),
                                    QStringLiteral("Large (192x192)"),
                                    QStringLiteral("Extra large (256x256)")};
    QAction** sizeItems[] = {&mnuSizeTiny, &mnuSmall, &mnuMed, &mnuLarge, &mnuXL};
    for (size_t i = 0; i < Placement::kSizes.size(); ++i) {
        const int size = Placement::kSizes[i];
        *sizeItems[i] = mnuSize->addAction(sizeCaptions[i]);
        connect(*sizeItems[i], &QAction::triggered, this,
                [this, size] { mnuSizeItem_Click(size); });
    }
    mnuStylCust = item(mnuContext, QStringLiteral("Style..."), &frmMain::mnuStylCust_Click);
    mnum = mnuContext->addSeparator();
    mnuOT = item(mnuContext, QStringLiteral("On &Top"), &frmMain::mnuOT_Click, true);
    mnuOB = item(mnuContext, QStringLiteral("On &Bottom"), &frmMain::mnuOB_Click, true);
    mnuBorder = item(mnuContext, QStringLiteral("Border&less"), &frmMain::mnuBorder_Click, true);
    mnuTrans = item(mnuContext, QStringLiteral("Transparent - click-thru"),
                    &frmMain::mnuTrans_Click, true);
    mnum3 = mnuContext->addSeparator();
    mnuAlarms = item(mnuContext, QStringLiteral("&Alarms..."), &frmMain::mnuAlarms_Click);
    mnuCalendar = item(mnuContext, QStringLiteral("&Calendar..."), &frmMain::mnuCalendar_Click);
    mnum5 = mnuContext->addSeparator();
    mnuAbout = item(mnuContext, QStringLiteral("About..."), &frmMain::mnuAbout_Click);
    mnuAutostart = item(mnuContext, QStringLiteral("Start with the &desktop"),
                        &frmMain::mnuAutostart_Click, true);
    mnum4 = mnuContext->addSeparator();
    mnuexit = item(mnuContext, QStringLiteral("Exit"), &frmMain::mnuexit_Click);
    for (QAction* a : {mnuStylCust, mnuAlarms, mnuCalendar, mnuAbout})
        a->setEnabled(false);
    // A compositing manager can come and go while the clock runs.
    connect(mnuContext, &QMenu::aboutToShow, this, [this] {
        followCompositor();
        // The entry may have been made or removed outside the clock (zintar --autostart).
        mnuAutostart->setChecked(CommandLine::AutostartEnabled());
    });
    connect(mnuContext, &QMenu::aboutToHide, this, [this] { trim_.start(kTrimAfterMs); });
    // The highlighted item goes to the trace, so scripts driving the menu see where they are.
    for (QMenu* m : {mnuContext, mnuSize})
        connect(m, &QMenu::hovered, this,
                [](QAction* a) { WriteLog(QStringLiteral("Menu item: ") + a->text()); });
}

void frmMain::pLoadOptions(bool B) {
    KOptions& o = Options();
    WriteLog(QStringLiteral("Loading form options..."));
    mnuBorder->setChecked(o.Borderless);
    mnuOT->setChecked(o.OT == -1);
    mnuOB->setChecked(o.OT == 1);
    SetTopMost(this, o.OT);
    if (o.Borderless) // frameless from the first showing; the shape follows at the showing
        WindowModes::SetFrameless(this, true);
    // Placed at its stored size, so that a window kept on the screen ends flush with its edge;
    // a size the screen cannot hold is made to fit first.
    const QSize fit = Placement::FitOnScreen(QSize(o.SizeX, o.SizeY));
    o.SizeX = fit.width();
    o.SizeY = fit.height();
    setFixedSize(fit); // the sizes are the menu's: no resizing, no maximising by the frame

    const QPoint at = Placement::PlaceOnScreen(o.PX, o.PY, frameGeometry().size());
    WriteLog(QStringLiteral("Moving at ") + QString::number(o.PX) + QStringLiteral(", ") +
             QString::number(o.PY) + QStringLiteral(" ..."));
    move(at);

    mnuTrans->setChecked(!o.Transparent);
    mnuTrans->trigger();
    pLoadStyle(B);
    WriteLog(QStringLiteral("Done loading options."));
}

void frmMain::TrimWorkingSet() {
    faceSource_.release(Clock);
    X11Desktop::ReleaseSharedPicture();
    WorkingSet::Trim();
}

void frmMain::pLoadStyle(bool B) {
    const qint64 before = Clock.ImgClk.cacheKey();
    Clock.pLoadStyle(B);
    faceSource_.loaded(Clock, before, LocalPath(Options().StyleFile));
    pResizeHandling();
}

// One of the looks after a showing (see showEvent). Each comes through the same kind of
// timer as the tick, and the window is the one frames go to, so that the last of them, after
// the first trim, brings back hardly any code that the tick does not use.
void frmMain::checkMapped() {
    if (isVisible() && X11Desktop::MapIfWithdrawn(frameTarget()))
        WriteLog(QStringLiteral("The window manager had let go of the clock: shown again"));
    if (++mapChecks_ < int(std::size(kMapChecksMs))) {
        mapCheck_.start(kMapChecksMs[mapChecks_] - kMapChecksMs[mapChecks_ - 1]);
        return;
    }
    mapCheck_.stop();
}

void frmMain::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    positionChecked_ = false;
    // Under a loaded openbox, a clock shown at start has been seen left unmapped and unmanaged
    // for good (the window manager let go of it while Qt went on counting it as shown): look
    // a few times in the first seconds and map it again if so.
    mapChecks_ = 0;
    mapCheck_.start(kMapChecksMs[0]);
    X11Desktop::SkipTaskbar(this); // a tool window has no taskbar entry
    X11Desktop::AskNoMinimiseButton(this);
    // The show itself may give the clock a new X window (after a change of its top-most
    // state), mapped without that state: tell the window manager again once it is mapped.
    const X11Desktop::WindowId before = X11Desktop::NativeWindow(this);
    QTimer::singleShot(0, this, [this, before] {
        if (isVisible() && X11Desktop::NativeWindow(this) != before)
            X11Desktop::SkipTaskbar(this);
    });
    if (loaded_)
        return;
    loaded_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!activatedOnce_)
            Form_Activate();
        // The tray icon (and the session bus Qt asks about it) once the first frame is out.
        QTimer::singleShot(0, this, [this] { Form_Load(); });
    });
}

void frmMain::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (!visible || !isVisible())
        return;
    // The request to map the window has just been queued: the shape and the frame made for
    // the showing follow it at once rather than after the server's expose, which comes a
    // round trip later, so the first frame shows no corners. (A window manager that holds
    // the map back makes this frame land nowhere; the expose then paints it.) The window
    // manager has not placed the window yet: what is done once it is on screen waits for
    // the expose's paint.
    if (mnuBorder->isChecked() && !RoundRegion)
        pRoundRegion();
    const QRect whole[] = {rect()};
    if (testAttribute(Qt::WA_PaintOnScreen) &&
        X11Desktop::PutImage(frameTarget(), Clock.backing(), whole))
        firstFrameOut();
}

void frmMain::Form_Load() {
    AddTrayIcon([this](int message) { TrayMessage(message); }, icon(), windowTitle());
}

// Drawn at the first use, which comes after the first frame: the four sizes cost start-up
// half a millisecond. It is the icon of every window of the program too.
const QIcon& frmMain::icon() {
    if (imgIcon.isNull()) {
        const QIcon applicationIcon = QGuiApplication::windowIcon();
        imgIcon = applicationIcon.isNull() ? ClockIcon() : applicationIcon;
        QApplication::setWindowIcon(imgIcon);
    }
    return imgIcon;
}

bool frmMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && (!activatedOnce_ || otherWindowWasActive_))
        Form_Activate();
    const bool handled = QWidget::event(e);
    // The native window is asked for again on the next frame after it changed; not here, as
    // the change may be its destruction.
    if (e->type() == QEvent::WinIdChange)
        frameTarget_ = 0;
    if (e->type() == QEvent::Show)
        frameTarget_ = X11Desktop::NativeWindow(this);
    if (e->type() == QEvent::ScreenChangeInternal || e->type() == QEvent::Show) {
        onePixelPerPixel_ = devicePixelRatio() == 1;
        // Where every frame can go straight to the window, so can every repaint: Qt then
        // never sets up its own client-sized copy of the window, shared with the X server.
        setAttribute(Qt::WA_PaintOnScreen,
                     onePixelPerPixel_ && X11Desktop::TakesImages(frameTarget_));
    }
    return handled;
}

void frmMain::Form_Activate() {
    WriteLog(QStringLiteral("Form Activated"));
    if (!activatedOnce_)
        trim_.start(kTrimAfterMs);
    ++Activations;
    activatedOnce_ = true;
    otherWindowWasActive_ = false;
    KOptions& o = Options();
    if (o.Borderless) {
        RoundRegion = false;
        pRoundRegion();
    }
    pResize(o.SizeX, o.SizeY);
    SetTopMost(this, o.OT);
}

void frmMain::pResize(int W, int H) {
    if (W <= 0 || H <= 0)
        return;
    const QSize fit = Placement::FitOnScreen(QSize(W, H));
    W = fit.width();
    H = fit.height();
    setFixedSize(W, H);
    if (RoundRegion) {
        RoundRegion = false;
        pRoundRegion();
    }
    Options().SizeX = W;
    Options().SizeY = H;
    SaveOptions();
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    pResizeHandling();
}

void frmMain::pResizeHandling() {
    onePixelPerPixel_ = devicePixelRatio() == 1;
    Clock.setClientSize(size());
    if (Options().StyleIdx != KOptions::SeeThroughStyle) {
        faceSource_.restore(Clock);
        Clock.RecalcImage(true);
    } else {
        GetShot();
    }
    Timer1_Timer();
}

void frmMain::Timer1_Timer() {
    const QTime now = TimeSource::timeOfDay();
    // The first tick of each new minute checks the alarms, whatever its seconds: a tick
    // that comes late on a busy machine or after a suspend still finds them.
    const int minuteOfDay = now.msecsSinceStartOfDay() / 60'000;
    if (minuteOfDay != alarmMinute_ && CheckAlarms) {
        alarmMinute_ = minuteOfDay;
        CheckAlarms(TimeSource::now());
    }
    if (Clock.Render(now)) {
        ++FramesDrawn;
        showFrame();
    }
    scheduleTick(now);
}

bool frmMain::watchesCorner() const {
    const KOptions& o = Options();
    return o.Borderless && (o.StyleIdx == KOptions::SeeThroughStyle || o.OT == 1);
}

// Runs when the top-level windows changed, and again while they still move.
bool frmMain::lookBehind() {
    if (transparentApplied_) {
        // The window manager puts a new frame around the clock each time it is shown.
        const X11Desktop::WindowId frame = X11Desktop::TopLevelOf(X11Desktop::NativeWindow(this));
        if (frame != passThroughFrame_) {
            passThroughFrame_ = frame;
            X11Desktop::SetInputPassThrough(this, true);
        }
    }
    return !watchesCorner() || watchCorner();
}

// Only a new second brings the tick anything to do (a frame, the alarm check of a new
// minute), so it sleeps until just after the next one: the second hand moves on time and the
// process wakes once a second. What happens behind the clock arrives as X events.
void frmMain::scheduleTick(QTime now) {
    if (!Timer1.isActive())
        return; // not started yet, or stopped at close
    desktopEvents_.setActive(X11Desktop::Available() && (watchesCorner() || transparentApplied_));
    const int toNext = 1000 - now.msecsSinceStartOfDay() % 1000 + kAfterSecondMs;
    // A running one-second timer keeps its phase; it is set again only when the tick came
    // before the second or well after it (start-up, a change of mode, a wall-clock step).
    const bool onTime = toNext >= 1000 - kLateTickMs && toNext <= 1000;
    if (!onTime)
        Timer1.start(toNext);
    else if (Timer1.interval() != 1000)
        Timer1.start(1000);
}

X11Desktop::WindowId frmMain::frameTarget() {
    if (!frameTarget_)
        frameTarget_ = X11Desktop::NativeWindow(this);
    return frameTarget_;
}

// A frame goes straight to the window when the display takes it so: one request, no paint
// event and no trip through the backing store. Otherwise, or while hidden, a normal repaint.
void frmMain::showFrame() {
    if (isVisible() && onePixelPerPixel_ &&
        X11Desktop::PutImage(frameTarget(), Clock.backing(), Clock.lastChangedRects())) {
        framesBypassPainter_ = true;
        firstFrameOut();
        return;
    }
    update(Clock.lastChangedRegion());
}

bool frmMain::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    // The backing store still holds older hands when frames bypassed it; an exposed area
    // must be painted afresh rather than copied from there. (Painting on screen, there is no
    // backing store: Qt's own paint of the area already puts the current frame there.)
    if (framesBypassPainter_ && !testAttribute(Qt::WA_PaintOnScreen) &&
        X11Desktop::IsExpose(eventType, message)) {
        framesBypassPainter_ = false;
        update();
    }
    return QWidget::nativeEvent(eventType, message, result);
}

bool frmMain::watchCorner() {
    const double tx = Placement::TwipsPerPixelX(), ty = Placement::TwipsPerPixelY();
    const KOptions& o = Options();
    const X11Desktop::WindowId behind =
        X11Desktop::TopLevelAt(pos(), X11Desktop::NativeWindow(this));
    switch (corner_.Tick(behind, Placement::RoundHalfEven(pos().x() * tx),
                         Placement::RoundHalfEven(pos().y() * ty),
                         o.StyleIdx == KOptions::SeeThroughStyle, o.OT == 1)) {
    case CornerWatch::Action::BackToBottom:
        SetTopMost(this, 1);
        break;
    case CornerWatch::Action::Capture:
        backdropShot_.start();
        break;
    case CornerWatch::Action::None:
        break;
    }
    return behind == corner_.LastCornerWindow;
}

void frmMain::GetShot() {
    PicScreen = WindowModes::CaptureBehind(this);
    DesktopCapture::PaintMarks(PicScreen, Options().HCol, Options().MCol);
    Clock.ImgClk = PicScreen;
    faceSource_.forget();
    Clock.RecalcImage(false);
}

QPaintEngine* frmMain::paintEngine() const {
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void frmMain::paintEvent(QPaintEvent* e) {
    if (testAttribute(Qt::WA_PaintOnScreen)) {
        const std::vector<QRect> rects(e->region().begin(), e->region().end());
        if (X11Desktop::PutImage(frameTarget(), Clock.backing(), rects)) {
            framePainted();
            return;
        }
        // Not drawn that way (no frame yet, say): Qt's painting takes over until the next
        // showing, so that nothing is left undrawn.
        setAttribute(Qt::WA_PaintOnScreen, false);
        update();
        return;
    }
    QPainter p(this);
    const QImage& backing = Clock.backing();
    if (backing.isNull()) {
        p.fillRect(e->rect(), Qt::white);
        return;
    }
    for (const QRect& r : e->region())
        p.drawImage(r, backing, r);
    framePainted(); // Qt sends the painted area on as the paint returns
}

void frmMain::framePainted() {
    firstFrameOut();
    if (!positionChecked_) {
        positionChecked_ = true;
        QTimer::singleShot(0, this, [this] {
            checkPosition();
            // A window manager drops a window's state when it withdraws the window, and the
            // state of one shown again may have been written before that withdrawal was
            // handled (seen under load after the style editor): ask again, now that the
            // clock is on screen.
            if (isVisible())
                X11Desktop::SkipTaskbar(this);
        });
    }
}

// Qt learns where the window is from the window manager's notices, and one read while the
// window manager is still putting its frame in place can leave it with the frame's interim
// origin for good (seen under openbox with a scale factor: the clock on screen where it was
// placed, Qt sure that it is at 0, 0). Drags, the corner watch and the saved position all
// start from pos(), so once the window is on screen, and again before the position is
// saved, the X server's answer corrects Qt's.
void frmMain::checkPosition() {
    QPoint native;
    if (!isVisible() || !X11Desktop::ClientOrigin(this, &native))
        return;
    // Qt's logical coordinates scale about the screen's origin.
    const QPoint origin = screen() ? screen()->geometry().topLeft() : QPoint();
    const qreal ratio = devicePixelRatioF();
    const QPoint shown = origin + QPoint(qRound((native.x() - origin.x()) / ratio),
                                         qRound((native.y() - origin.y()) / ratio));
    const QPoint believed = mapToGlobal(QPoint(0, 0));
    if (shown == believed)
        return;
    WriteLog(QStringLiteral("Window is at %1, %2, not %3, %4")
                 .arg(shown.x())
                 .arg(shown.y())
                 .arg(believed.x())
                 .arg(believed.y()));
    move(pos() + (shown - believed));
}

void frmMain::firstFrameOut() {
    if (firstFrameOut_)
        return;
    firstFrameOut_ = true;
    if (lcTrace().isDebugEnabled()) // the start is read from /proc only for the trace
        WriteLog(QStringLiteral("first frame, %1 ms after the start")
                     .arg(MsSinceProcessStart(), 0, 'f', 0));
    ReleaseOptionSaves();
}

void frmMain::pRoundRegion() {
    WriteLog(QStringLiteral("Setting custom region..."));
    const bool round = mnuBorder->isChecked();
    WindowModes::SetRound(this, round);
    RoundRegion = round;
    Options().Borderless = round;
    SaveOptions();
}

void frmMain::applyTransparent(bool on) {
    transparentApplied_ = on;
    passThroughFrame_ = 0;
    WindowModes::SetSeeAndClickThrough(this, on);
}

void frmMain::mnuSizeItem_Click(int size) {
    pResize(size, size);
}

void frmMain::mnuOT_Click() {
    KOptions& o = Options();
    o.OT = mnuOT->isChecked() ? -1 : 0;
    if (mnuOT->isChecked())
        mnuOB->setChecked(false);
    SetTopMost(this, o.OT);
    SaveOptions();
}

void frmMain::mnuOB_Click() {
    KOptions& o = Options();
    o.OT = mnuOB->isChecked() ? 1 : 0;
    if (mnuOB->isChecked())
        mnuOT->setChecked(false);
    SetTopMost(this, o.OT);
    SaveOptions();
}

void frmMain::mnuBorder_Click() {
    pRoundRegion();
}

void frmMain::mnuTrans_Click() {
    Options().Transparent = mnuTrans->isChecked();
    // Without a compositor the window could not be seen through, only clicked through:
    // the stored mode then waits for a display that can show it.
    const bool canShow = CanShowTranslucency && CanShowTranslucency();
    applyTransparent(Options().Transparent && canShow);
    mnuTrans->setEnabled(canShow || Options().Transparent);
    SaveOptions();
}

// A compositing manager started or ended (or the menu opens): the chosen mode is applied
// while the display can show it. A chosen mode can always be switched off.
void frmMain::followCompositor() {
    const bool canShow = CanShowTranslucency && CanShowTranslucency();
    mnuTrans->setEnabled(canShow || Options().Transparent);
    const bool wanted = Options().Transparent && canShow;
    if (wanted != transparentApplied_) {
        WriteLog(wanted ? QStringLiteral("Compositor found: transparent again")
                        : QStringLiteral("No compositor: transparent mode waits"));
        applyTransparent(wanted);
    }
}

void frmMain::mnuStylCust_Click() {
    timCustom.start();
}

void frmMain::timCustom_Timer() {
    timCustom.stop();
    if (styleEditor_)
        withTopMostLifted([this] {
            if (styleEditor_()) {
                mnuStyl->setChecked(false);
                pLoadStyle(false);
            }
        });
}

void frmMain::mnuAlarms_Click() {
    if (alarmList_)
        withTopMostLifted(alarmList_);
}

void frmMain::withTopMostLifted(const std::function<void()>& modal) {
    // A top-most clock would cover the modal window.
    const bool onTop = Options().OT == -1;
    if (onTop)
        SetTopMost(this, 0);
    modal();
    trim_.start(kTrimAfterMs);
    if (onTop) {
        SetTopMost(this, -1);
        RepaintOrActivate();
    }
}

void frmMain::mnuCalendar_Click() {
    if (calendar_)
        calendar_();
}

void frmMain::mnuAbout_Click() {
    if (about_)
        about_();
}

void frmMain::mnuAutostart_Click() {
    const bool on = mnuAutostart->isChecked();
    QString error;
    if (!CommandLine::SetAutostart(on, QCoreApplication::applicationFilePath(), &error))
        TellUserOnce(
            QStringLiteral("autostart"),
            QStringLiteral("Cannot change %1: %2").arg(CommandLine::AutostartFile(), error));
    mnuAutostart->setChecked(CommandLine::AutostartEnabled());
}

void frmMain::mnuexit_Click() {
    close();
    if (EndProgram)
        EndProgram(); // at once, closing any other window without its closing steps
}

void frmMain::RepaintOrActivate() {
    update();
}

void frmMain::BringBack() {
    if (closed_)
        return;
    if (isMinimized())
        showNormal();
    else if (!isVisible())
        show();
    raise();
    activateWindow();
    update();
}

void frmMain::TrayMessage(int message) {
    if (message == kTrayLeftDown) {
        RepaintOrActivate();
    } else if (message == kTrayLeftUp) {
        BringBack();
    } else if (message == kTrayRightDown) {
        RepaintOrActivate();
        PopupMenu(QCursor::pos());
    }
}

void frmMain::PopupMenu(QPoint globalPos) {
    mnuContext->popup(globalPos);
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (!closed_) {
        closed_ = true;
        checkPosition();
        const double tx = Placement::TwipsPerPixelX(), ty = Placement::TwipsPerPixelY();
        Options().PX = Placement::TwipsFromPixels(pos().x(), tx);
        Options().PY = Placement::TwipsFromPixels(pos().y(), ty);
        SaveOptions();
        RemoveTrayIcon();
        Timer1.stop();
    }
    e->accept();
    // A tool window does not end the program by itself: end it unless another window
    // (a calendar) is still open, which then ends it when it closes.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !w->windowFlags().testFlag(Qt::Popup)) {
            QApplication::setQuitOnLastWindowClosed(true);
            return;
        }
    if (EndProgram)
        QTimer::singleShot(0, this, [this] { EndProgram(); });
}

void frmMain::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        drag_.press(this, e);
    else if (e->button() == Qt::RightButton)
        PopupMenu(e->globalPosition().toPoint());
    else
        mnuBorder->trigger();
}

void frmMain::mouseMoveEvent(QMouseEvent* e) {
    drag_.move(this, e);
}

void frmMain::mouseReleaseEvent(QMouseEvent*) {
    drag_.release();
}

void frmMain::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && Options().StyleIdx == KOptions::SeeThroughStyle)
        GetShot();
}
