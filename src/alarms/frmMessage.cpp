#include "alarms/frmMessage.h"

#include "alarms/AlarmTime.h"
#include "shell/SetTopMost.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFont tahoma(bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 11);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

constexpr int SnoozeMin = 1;
constexpr int SnoozeMax = 300;
constexpr int CascadeStep = 24; // pixels between windows open at the same time

} // namespace

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Zintar! - Alarm"));
    // A fixed-size dialog: a title and a close box, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(tahoma());
    createControls();
}

frmMessage::~frmMessage() = default;

void frmMessage::createControls() {
    labTime = new QLabel(QStringLiteral("18:30"), this);
    labTime->setObjectName(QStringLiteral("labTime"));
    QFont timeFont(QStringLiteral("Verdana"));
    timeFont.setPointSize(18);
    timeFont.setBold(true);
    labTime->setFont(timeFont);

    labText = new QLabel(QStringLiteral("Alarm!"), this);
    labText->setObjectName(QStringLiteral("labText"));
    labText->setFont(tahoma(true));
    labText->setTextFormat(Qt::PlainText); // a message is never markup
    labText->setWordWrap(true);
    labText->setMinimumWidth(200);
    labText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    Label2 = new QLabel(QStringLiteral("  Snooze for"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text1 = new QLineEdit(QStringLiteral("5"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFixedWidth(40);
    Text1->setAlignment(Qt::AlignRight);

    UpDown1 = new QWidget(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    auto* up = arrowButton(Qt::UpArrow, UpDown1);
    up->setObjectName(QStringLiteral("UpDown1Up"));
    auto* down = arrowButton(Qt::DownArrow, UpDown1);
    down->setObjectName(QStringLiteral("UpDown1Down"));
    auto* upDownLayout = new QVBoxLayout(UpDown1);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    upDownLayout->addWidget(up);
    upDownLayout->addWidget(down);

    Label3 = new QLabel(QStringLiteral(" minutes"), this);
    Label3->setObjectName(QStringLiteral("Label3"));

    Command2 = new QPushButton(QStringLiteral(" Snooze "), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command1 = new QPushButton(QStringLiteral(" &Close "), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true); // Enter closes; Esc does too (reject)

    auto* snoozeRow = new QHBoxLayout;
    snoozeRow->setSpacing(2);
    snoozeRow->addWidget(Label2);
    snoozeRow->addWidget(Text1);
    snoozeRow->addWidget(UpDown1);
    snoozeRow->addWidget(Label3);
    snoozeRow->addStretch(1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(Command2);
    buttonRow->addWidget(Command1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0, 2, 1);
    grid->addWidget(labTime, 0, 1);
    grid->addWidget(labText, 1, 1);
    grid->addWidget(line, 2, 0, 1, 2);
    grid->addLayout(snoozeRow, 3, 0, 1, 2);
    grid->addLayout(buttonRow, 4, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize); // a fixed-size dialog

    connect(Command1, &QPushButton::clicked, this, &frmMessage::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMessage::Command2_Click);
    connect(up, &QToolButton::clicked, this, [this] { UpDown1_Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { UpDown1_Step(-1); });
    connect(Text1, &QLineEdit::textEdited, this, [this] { markText1(false); });
}

void frmMessage::SetAlarm(const KAlarmPtr& parAlarm) {
    Alarm = parAlarm;
    if (!Alarm)
        return;
    if (!loaded) {
        loaded = true;
        activated = false;
        if (Alarm->SwiSnd) {
            // Played once; a sound that cannot be played leaves the window silent.
            player_ = std::make_unique<BassPlayer>();
            player_->Init(static_cast<uintptr_t>(winId()));
            player_->Start(Alarm->PathSnd);
        }
    }
    QString text = Alarm->Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    labText->setText(text);
    labTime->setText(RingTimeText(*Alarm));
    if (Alarm->bSave == 1) {
        // It repeats by itself: the notice takes the snooze row's place.
        Text1->hide();
        UpDown1->hide();
        Label3->hide();
        Command2->hide();
        Label2->setText(RepeatNotice(Alarm->Minutes));
    }
    WriteLog(QStringLiteral("Alarm window: ") + labTime->text() + QStringLiteral(" ") +
             QString(text).replace(QLatin1Char('\n'), QStringLiteral(" | ")));
    placeOnScreen();
}

void frmMessage::placeOnScreen() {
    // Centred, and cascaded below the notifications already open so none hides another.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    int others = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && qobject_cast<frmMessage*>(w))
            ++others;
    adjustSize();
    const QRect area = screen->availableGeometry();
    QPoint topLeft = area.center() - rect().center() + QPoint(others, others) * CascadeStep;
    topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - width())));
    topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() - height())));
    move(topLeft);
}

bool frmMessage::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !activated) {
        activated = true;
        SetTopMost(this, -1);
    }
    return QDialog::event(e);
}

void frmMessage::done(int result) {
    if (player_)
        player_->Close_();
    QDialog::done(result);
}

void frmMessage::Command1_Click() {
    close();
}

void frmMessage::Command2_Click() {
    if (Alarm && !Snooze(*Alarm, Text1->text())) {
        // Nothing snoozed: the window stays so the user can correct the minutes.
        markText1(true);
        Text1->setFocus();
        Text1->selectAll();
        return;
    }
    close();
}

void frmMessage::UpDown1_Step(int delta) {
    const std::optional<int16_t> current = SnoozeMinutes(Text1->text());
    const int value = current ? qBound(SnoozeMin, *current + delta, SnoozeMax) : SnoozeMin;
    Text1->setText(QString::number(value));
    markText1(false);
}

void frmMessage::markText1(bool invalid) {
    if (Text1->property("invalid").toBool() == invalid)
        return;
    Text1->setProperty("invalid", invalid);
    Text1->setStyleSheet(invalid ? QStringLiteral("QLineEdit { border: 2px solid #d00000; "
                                                  "background: #ffe8e8; }")
                                 : QString());
    Text1->setToolTip(invalid ? QStringLiteral("Type a whole number of minutes.") : QString());
}
