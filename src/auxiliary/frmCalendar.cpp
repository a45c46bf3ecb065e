#include "auxiliary/frmCalendar.h"

#include "auxiliary/MonthView.h"
#include "shell/TimeSource.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

namespace {
// Sizes in pixels at 96 dots per inch.
constexpr int kMonthWidth = 239;
constexpr int kMonthHeight = 214;
constexpr int kClientWidth = 238;
constexpr int kClientHeight = 256;
constexpr int kStatusHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonBottomGap = 4;

double dpiScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
}

int scaled(int pixels) {
    return qRound(pixels * dpiScale());
}
} // namespace

QPointer<frmCalendar> frmCalendar::current_;

frmCalendar::frmCalendar(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      layout_(scaled(kMonthWidth), scaled(kMonthHeight), scaled(kStatusHeight)) {
    setWindowTitle(QStringLiteral("Calendar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setSizeGripEnabled(false);

    MonthView1 = new MonthView(QSize(layout_.MonthWidth(), layout_.MonthHeight()), this);
    MonthView1->move(0, 0);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(true);
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->resize(scaled(kButtonWidth), scaled(kButtonHeight));
    Command1->setDefault(true);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well

    MonthView1->SetValue(TimeSource::now().date());
    resize(scaled(kClientWidth), scaled(kClientHeight));
    Form_Resize();
}

frmCalendar* frmCalendar::Open() {
    if (!current_)
        current_ = new frmCalendar;
    current_->show();
    if (current_->isMinimized())
        current_->showNormal();
    current_->raise();
    current_->activateWindow();
    return current_;
}

frmCalendar* frmCalendar::Current() {
    return current_;
}

void frmCalendar::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    Form_Resize();
}

void frmCalendar::Form_Resize() {
    const int W = width(), H = height();
    layout_.Resize(W, H, isMinimized());
    MonthView1->SetArrangement(layout_.Columns(), layout_.Rows());
    const int statusHeight = scaled(kStatusHeight);
    StatusBar1->setGeometry(0, H - statusHeight, W, statusHeight);
    Command1->move(W / 2 - Command1->width() / 2,
                   H - Command1->height() - scaled(kButtonBottomGap));
    Command1->raise();
}
