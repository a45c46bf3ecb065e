#include "auxiliary/frmAbout.h"

#include "auxiliary/AboutPictures.h"
#include "auxiliary/ToolTip.h"
#include "shell/SetTopMost.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {
double dpiScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
}

// A rectangle given in pixels at 96 dots per inch.
QRect at(int x, int y, int w, int h) {
    const double s = dpiScale();
    return QRect(qRound(x * s), qRound(y * s), qRound(w * s), qRound(h * s));
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    return l;
}
} // namespace

QPointer<frmAbout> frmAbout::current_;
std::function<void(const QUrl&)> frmAbout::OpenUrl = [](const QUrl& url) {
    QDesktopServices::openUrl(url);
};

frmAbout::frmAbout(QWidget* owner, const QIcon& programIcon)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About Zintar..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(at(0, 0, 267, 214).size());

    Image1 = label(this, "Image1", QString(), at(12, 12, 32, 32));
    Image1->setPixmap(programIcon.pixmap(Image1->size()));
    Label1 = label(this, "Label1", QStringLiteral("Zintar! v 2.3"), at(56, 10, 200, 20));
    QFont title(QStringLiteral("Verdana"), 11);
    title.setBold(true);
    Label1->setFont(title);
    Label3 = label(this, "Label3", QStringLiteral("Preview Release, Beta 2"), at(56, 30, 200, 16));
    Label5 = label(this, "Label5", QString(), at(12, 56, 243, 60));
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image2 = label(this, "Image2", QString(), at(12, 124, 62, 31));
    Image2->setPixmap(AboutPictures::DonateButton());
    Image2->setScaledContents(true);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->installEventFilter(this);
    Image2Tip = new ToolTip;
    Image2Tip->setParent(this);
    Image2Tip->Style(1);
    Image2Tip->Centered(true);
    Image2Tip->TipText(QStringLiteral("Donate with PayPal - It's fast, free and secure!"));
    Image2Tip->ParentControl(Image2);
    QWidget* tool = Image2;
    Image2Tip->Create(tool);

    Label2 = label(this, "Label2", AboutPictures::WebAddress(), at(86, 131, 170, 18));
    QPalette link = Label2->palette();
    link.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0xCC));
    Label2->setPalette(link);
    QFont underlined = Label2->font();
    underlined.setUnderline(true);
    Label2->setFont(underlined);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    // An etched line: a grey one with a white one under it.
    const QRect line = at(8, 168, 251, 1);
    auto* Line1 = new QFrame(this);
    Line1->setGeometry(line);
    Line1->setStyleSheet(QStringLiteral("background: #A0A0A0"));
    auto* Line2 = new QFrame(this);
    Line2->setGeometry(line.translated(0, 1));
    Line2->setStyleSheet(QStringLiteral("background: #FFFFFF"));

    Command1 = new QPushButton(QStringLiteral("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(at(184, 179, 75, 25));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::reject); // Esc as well
    Form_Load();
}

frmAbout::~frmAbout() = default;

frmAbout* frmAbout::Open(QWidget* owner, const QIcon& programIcon) {
    if (!current_)
        current_ = new frmAbout(owner, programIcon);
    current_->show();
    current_->raise();
    current_->activateWindow();
    return current_;
}

frmAbout* frmAbout::Current() {
    return current_;
}

void frmAbout::Form_Load() {
    Label5->setText(QStringLiteral("Copyright \u00A9 2026 the Zintar developers. All rights "
                                   "reserved.\nIf you enjoy Zintar, a small donation helps "
                                   "keep it free and growing."));
}

void frmAbout::Form_Activate() {
    SetTopMost(this, -1); // above a clock that stays on top
}

void frmAbout::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    // Changing the band does not activate again; a window already in it is left alone.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() &&
        !windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        Form_Activate();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        static_cast<QWidget*>(watched)->rect().contains(
            static_cast<QMouseEvent*>(e)->position().toPoint())) {
        if (watched == Image2 && OpenUrl)
            OpenUrl(AboutPictures::DonatePage());
        else if (watched == Label2 && OpenUrl)
            OpenUrl(AboutPictures::HomePage());
    }
    return QDialog::eventFilter(watched, e);
}
