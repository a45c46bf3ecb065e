#include "styleeditor/frmSetTime.h"

#include "shell/TimeSource.h"

#include <QDateTimeEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSetTime::frmSetTime(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Set preview time..."));
    setObjectName(QStringLiteral("frmSetTime"));
    Label1 = new QLabel(QStringLiteral("Preview time:"), this);
    DTTime = new QDateTimeEdit(this);
    DTTime->setObjectName(QStringLiteral("DTTime"));
    DTTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    DTTime->setDateTime(QDateTime(QDate(2007, 4, 19), QTime(0, 0)));
    Label1->setBuddy(DTTime);
    Command2 = new QPushButton(QStringLiteral("Now"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command1 = new QPushButton(QStringLiteral("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    auto* etched = new QFrame(this); // the separator between the picker and Ok
    etched->setFrameShape(QFrame::HLine);
    etched->setFrameShadow(QFrame::Sunken);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(DTTime, 1);
    row->addWidget(Command2);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(etched);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &frmSetTime::Command2_Click);
}

void frmSetTime::Command2_Click() {
    DTTime->setDateTime(TimeSource::now());
}

QDateTime frmSetTime::Apri(const QDateTime& parTime, QWidget* parent) {
    frmSetTime dialog(parent);
    dialog.DTTime->setDateTime(parTime);
    dialog.exec(); // Ok, the close box and Esc all end here; the picked value counts
    return dialog.DTTime->dateTime();
}
