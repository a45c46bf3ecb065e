#include "shell/frmError.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

frmError::frmError(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmError"));
    setWindowTitle(QStringLiteral("Whoops!"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* Label1 = new QLabel(QStringLiteral("A runtime error has occoured"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);

    auto* Label2 = new QLabel(QStringLiteral("The error is:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 3 + 12);
    QPalette onDialog = Text1->palette();
    onDialog.setColor(QPalette::Base, onDialog.color(QPalette::Window));
    Text1->setPalette(onDialog);

    auto* Label3 = new QLabel(
        QStringLiteral("This error might be caused by the absence of some library files Zintar! "
                       "needs in order to work as expected. You can download a setup for these "
                       "library files at:"),
        this);
    Label3->setObjectName(QStringLiteral("Label3"));
    hint = Label3;
    Label3->setWordWrap(true);

    labUrl = new QLabel(DownloadAddress(), this);
    labUrl->setObjectName(QStringLiteral("labUrl"));
    QPalette link = labUrl->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    labUrl->setPalette(link);
    QFont underlined = labUrl->font();
    underlined.setUnderline(true);
    labUrl->setFont(underlined);
    labUrl->setCursor(Qt::PointingHandCursor);
    labUrl->installEventFilter(this);

    auto* Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addWidget(Text1);
    texts->addWidget(Label3);
    texts->addWidget(labUrl);
    auto* body = new QHBoxLayout;
    body->addWidget(Image1, 0, Qt::AlignTop);
    body->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(body);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    Label3->setFixedWidth(360);
}

QString frmError::DownloadAddress() {
    // The program's libraries come with the system's Qt 6, libsndfile and SDL 2 packages.
    return QStringLiteral("https://packages.debian.org/stable/libqt6widgets6");
}

void frmError::Display(const QString& parText) {
    Text1->setPlainText(parText);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

void frmError::Announce(const QString& text) {
    findChild<QLabel*>(QStringLiteral("Label1"))
        ->setText(QStringLiteral("A problem with your files"));
    findChild<QLabel*>(QStringLiteral("Label2"))->setText(QStringLiteral("The problem is:"));
    hint->hide();
    labUrl->hide();
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 5 + 12);
    Text1->setPlainText(text);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowFlag(Qt::WindowStaysOnTopHint);
    show();
    raise();
}

bool frmError::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labUrl && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        labUrl_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmError::labUrl_Click() {
    // Without a browser nothing happens; there is nothing more to tell the user.
    QDesktopServices::openUrl(QUrl(labUrl->text()));
}
