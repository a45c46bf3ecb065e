#include "alarms/frmAlarm.h"

#include "alarms/AlarmEdit.h"
#include "alarms/AlarmIcons.h"
#include "alarms/AlarmRow.h"
#include "alarms/BassPlayer.h"
#include "alarms/FileChooser.h"
#include "alarms/SystemSounds.h"
#include "alarms/frmAlarms.h"
#include "shell/TimeSource.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Programs here are files with the executable bit, not *.exe, *.com and *.bat.
const QString ProgramFilter = FileChooser::ProgramsFilter + QStringLiteral("|*|All files|*|");
// Every format the player decodes.
const QString SoundFilter = QStringLiteral(
    "Audio files (wav/aif/mp3/mp2/mp1/ogg/oga/flac)|*.wav;*.aif;*.aiff;*.mp3;*.mp2;*.mp1;*.ogg;"
    "*.oga;*.flac|All Files (*.*)|*.*|");

QFrame* Line(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QFrame* Shape(QWidget* parent, const char* name) {
    auto* shape = new QFrame(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setFrameShape(QFrame::StyledPanel);
    shape->setFrameShadow(QFrame::Sunken);
    return shape;
}

} // namespace

frmAlarm::frmAlarm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAlarm"));
    setWindowTitle(QStringLiteral("New Alarm"));
    pBuild();

    const QTime now = TimeSource::now().time();
    Time1->setTime(QTime(now.hour(), now.minute()));

    txSnd->addItems(SystemSounds::Files());
    txSnd->setCurrentIndex(-1);
    txSnd->setEditText(QString());

    player = std::make_unique<BassPlayer>();
    player->Init(); // the sound output needs no window on this system

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmAlarm::~frmAlarm() = default;

void frmAlarm::pBuild() {
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(AlarmIcons::Clock(48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    // Time and recurrence.
    auto* Shape1 = Shape(this, "Shape1");
    auto* label1 = new QLabel(QStringLiteral("Time:"), Shape1);
    label1->setObjectName(QStringLiteral("Label1"));
    Time1 = new QTimeEdit(Shape1);
    Time1->setObjectName(QStringLiteral("Time1"));
    Time1->setDisplayFormat(QStringLiteral("H.mm"));
    Time1->setWrapping(true);
    label1->setBuddy(Time1);
    auto* label2 = new QLabel(QStringLiteral("Show this alarm..."), Shape1);
    label2->setObjectName(QStringLiteral("Label2"));
    Option1 = new QRadioButton(QStringLiteral("Once"), Shape1);
    Option1->setObjectName(QStringLiteral("Option1"));
    SwiSave = new QRadioButton(QStringLiteral("Every Day"), Shape1);
    SwiSave->setObjectName(QStringLiteral("SwiSave"));
    SwiEvery = new QRadioButton(QStringLiteral("Every"), Shape1);
    SwiEvery->setObjectName(QStringLiteral("SwiEvery"));
    auto* group = new QButtonGroup(this);
    group->addButton(Option1);
    group->addButton(SwiSave);
    group->addButton(SwiEvery);
    Option1->setChecked(true);
    txMinutes = new QLineEdit(QStringLiteral("15"), Shape1);
    txMinutes->setObjectName(QStringLiteral("txMinutes"));
    txMinutes->setFixedWidth(txMinutes->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                             12);
    auto* upDown = new QWidget(Shape1);
    upDown->setObjectName(QStringLiteral("UpDown1"));
    auto* upDownLayout = new QVBoxLayout(upDown);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    UpDownUp = new QToolButton(upDown);
    UpDownUp->setObjectName(QStringLiteral("UpDown1Up"));
    UpDownUp->setArrowType(Qt::UpArrow);
    UpDownDown = new QToolButton(upDown);
    UpDownDown->setObjectName(QStringLiteral("UpDown1Down"));
    UpDownDown->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {UpDownUp, UpDownDown}) {
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        upDownLayout->addWidget(b);
    }
    auto* label3 = new QLabel(QStringLiteral(" minutes"), Shape1);
    label3->setObjectName(QStringLiteral("Label3"));

    auto* when = new QGridLayout(Shape1);
    when->addWidget(label1, 0, 0);
    when->addWidget(Time1, 0, 1, Qt::AlignLeft);
    when->addWidget(label2, 1, 0, 1, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(Option1);
    options->addWidget(SwiSave);
    options->addWidget(SwiEvery);
    options->addSpacing(-4);
    options->addWidget(txMinutes);
    options->addWidget(upDown);
    options->addWidget(label3);
    options->addStretch();
    when->addLayout(options, 2, 0, 1, 2);
    when->setColumnStretch(1, 1);

    // What the alarm does.
    auto* Shape2 = Shape(this, "Shape2");
    SwiMsg = new QCheckBox(QStringLiteral("Show a message:"), Shape2);
    SwiMsg->setObjectName(QStringLiteral("SwiMsg"));
    SwiMsg->setChecked(true);
    Text1 = new QPlainTextEdit(QStringLiteral("Type your message here...\n"), Shape2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setTabChangesFocus(true);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 4 + 12);
    SwiSnd = new QCheckBox(QStringLiteral("Play a sound:"), Shape2);
    SwiSnd->setObjectName(QStringLiteral("SwiSnd"));
    txSnd = new QComboBox(Shape2);
    txSnd->setObjectName(QStringLiteral("txSnd"));
    txSnd->setEditable(true);
    txSnd->setInsertPolicy(QComboBox::NoInsert);
    txSnd->setMinimumContentsLength(28);
    txSnd->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    txSnd->setEnabled(false);
    PulSnd = new QPushButton(QStringLiteral("... "), Shape2);
    PulSnd->setObjectName(QStringLiteral("PulSnd"));
    PulSnd->setToolTip(QStringLiteral("Browse your computer for an audio file"));
    PulSnd->setEnabled(false);
    cmdPreview = new QPushButton(QStringLiteral(">"), Shape2);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdPreview->setToolTip(QStringLiteral("Preview the selected sound"));
    SwiExe = new QCheckBox(QStringLiteral("Run a program:"), Shape2);
    SwiExe->setObjectName(QStringLiteral("SwiExe"));
    txExe = new QLineEdit(Shape2);
    txExe->setObjectName(QStringLiteral("txExe"));
    txExe->setEnabled(false);
    PulExe = new QPushButton(QStringLiteral("... "), Shape2);
    PulExe->setObjectName(QStringLiteral("PulExe"));
    PulExe->setToolTip(QStringLiteral("Browse your computer"));
    PulExe->setEnabled(false);
    for (QPushButton* b : {PulSnd, cmdPreview, PulExe}) {
        b->setAutoDefault(false);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    }

    auto* does = new QGridLayout(Shape2);
    does->addWidget(SwiMsg, 0, 0, 1, 4);
    does->addWidget(Text1, 1, 0, 1, 4);
    does->addWidget(SwiSnd, 2, 0, 1, 4);
    does->addWidget(txSnd, 3, 0);
    does->addWidget(PulSnd, 3, 1);
    does->addWidget(cmdPreview, 3, 2);
    does->addWidget(SwiExe, 4, 0, 1, 4);
    does->addWidget(txExe, 5, 0);
    does->addWidget(PulExe, 5, 1);
    does->setColumnStretch(0, 1);

    Command1 = new QPushButton(QStringLiteral(" &Ok "), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral(" &Cancel "), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);

    auto* right = new QVBoxLayout;
    right->addWidget(Shape1);
    right->addWidget(Line(this, "Line1"));
    right->addWidget(Shape2);
    right->addWidget(Line(this, "Line2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    right->addLayout(buttons);

    auto* top = new QHBoxLayout(this);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(right, 1);

    connect(SwiMsg, &QCheckBox::toggled, this, &frmAlarm::SwiMsg_Click);
    connect(SwiSnd, &QCheckBox::toggled, this, &frmAlarm::SwiSnd_Click);
    connect(SwiExe, &QCheckBox::toggled, this, &frmAlarm::SwiExe_Click);
    connect(SwiEvery, &QRadioButton::toggled, this, &frmAlarm::SwiEvery_Click);
    connect(UpDownUp, &QToolButton::clicked, this, [this] { UpDown1_Change(1); });
    connect(UpDownDown, &QToolButton::clicked, this, [this] { UpDown1_Change(-1); });
    connect(txMinutes, &QLineEdit::textEdited, this, [this] { pMarkMinutes(false); });
    connect(PulExe, &QPushButton::clicked, this, &frmAlarm::PulExe_Click);
    connect(PulSnd, &QPushButton::clicked, this, &frmAlarm::PulSnd_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmAlarm::cmdPreview_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAlarm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAlarm::Parent(frmAlarms* parList) {
    list = parList;
}

void frmAlarm::SetAlarm(const KAlarmPtr& parAlrm) {
    if (!parAlrm)
        return;
    // Setting an option or a check box runs its click reaction through toggled().
    switch (parAlrm->bSave) {
    case -1:
        SwiSave->setChecked(true);
        break;
    case 0:
        Option1->setChecked(true);
        break;
    case 1:
        SwiEvery->setChecked(true);
        break;
    default:
        break;
    }
    Time1->setTime(QTime(parAlrm->HH, parAlrm->mm));
    txExe->setText(parAlrm->PathPgm);
    txSnd->setEditText(parAlrm->PathSnd);
    SwiMsg->setChecked(parAlrm->SwiMsg);
    SwiExe->setChecked(parAlrm->SwiPgm);
    SwiSnd->setChecked(parAlrm->SwiSnd);
    Text1->setPlainText(AlarmEdit::MessageForEditor(parAlrm->Text));
    alarm = parAlrm;
    txMinutes->setText(QString::number(parAlrm->Minutes));
    setWindowTitle(QStringLiteral("Edit Alarm"));
}

void frmAlarm::SwiMsg_Click(bool checked) {
    Text1->setEnabled(checked);
}

void frmAlarm::SwiSnd_Click(bool checked) {
    // The preview stays available: it plays whatever the field holds.
    txSnd->setEnabled(checked);
    PulSnd->setEnabled(checked);
}

void frmAlarm::SwiExe_Click(bool checked) {
    txExe->setEnabled(checked);
    PulExe->setEnabled(checked);
}

void frmAlarm::SwiEvery_Click(bool checked) {
    // Choosing "Once" or "Every Day" leaves the minutes as they are.
    if (checked) {
        txMinutes->setEnabled(true);
        UpDownUp->setEnabled(true);
        UpDownDown->setEnabled(true);
    }
}

void frmAlarm::UpDown1_Change(int step) {
    txMinutes->setText(AlarmEdit::StepMinutes(txMinutes->text(), step));
    pMarkMinutes(false);
}

void frmAlarm::pMarkMinutes(bool bad) {
    if (txMinutes->property("invalid").toBool() == bad)
        return;
    txMinutes->setProperty("invalid", bad);
    txMinutes->setStyleSheet(bad ? QStringLiteral("QLineEdit { background: #ffd6d6; }")
                                 : QString());
    txMinutes->setToolTip(bad ? QStringLiteral("Type a whole number of minutes") : QString());
}

void frmAlarm::PulExe_Click() {
    const QString path = FileChooser::Current().OpenFile(this, ProgramFilter, txExe->text());
    if (!path.isEmpty())
        txExe->setText(path);
}

void frmAlarm::PulSnd_Click() {
    const QString path = FileChooser::Current().OpenFile(this, SoundFilter, txSnd->currentText());
    if (!path.isEmpty())
        txSnd->setEditText(path);
}

void frmAlarm::cmdPreview_Click() {
    const QString sound = txSnd->currentText();
    if (sound.isEmpty())
        return;
    if (player->isPlaying())
        player->Stop_();
    else
        player->Start(sound);
}

void frmAlarm::Command1_Click() {
    AlarmEdit edit;
    edit.bSave = SwiSave->isChecked() ? -1 : SwiEvery->isChecked() ? 1 : 0;
    edit.hour = Time1->time().hour();
    edit.minute = Time1->time().minute();
    edit.PathPgm = txExe->text();
    edit.PathSnd = txSnd->currentText();
    edit.SwiMsg = SwiMsg->isChecked();
    edit.SwiPgm = SwiExe->isChecked();
    edit.SwiSnd = SwiSnd->isChecked();
    edit.Text = Text1->toPlainText();
    edit.minutesText = txMinutes->text();

    if (!AlarmEdit::WholeMinutes(edit.minutesText)) {
        // Nothing is written; the user corrects the field and tries again.
        pMarkMinutes(true);
        txMinutes->setEnabled(true);
        txMinutes->setFocus();
        txMinutes->selectAll();
        return;
    }

    const bool isNew = !alarm;
    KAlarmPtr target = isNew ? std::make_shared<KAlarm>() : alarm;
    edit.WriteTo(*target);

    const QString summary = AlarmRow::Summary(target->Text);
    const QString text = AlarmRow::TimeText(edit.hour, edit.minute);
    if (isNew) {
        // A new "Every" alarm gets image 1 here; the list shows it with 2 when reopened.
        if (list)
            list->lstAlarm()->addTopLevelItem(
                new AlarmListRow(target, text, summary, SwiSave->isChecked() ? 2 : 1));
    } else if (target->ListItem) {
        target->ListItem->setText(0, text);
        target->ListItem->setText(1, summary);
    }
    accept();
}

void frmAlarm::done(int result) {
    // Whichever way the window closes, a preview that still plays stops.
    player->Close_();
    alarm.reset();
    QDialog::done(result);
}
