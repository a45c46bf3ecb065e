#include "styleeditor/frmCustom.h"

#include "settings/KOptions.h"
#include "shell/UserNotice.h"
#include "shell/mdlStartup.h"
#include "styleeditor/PreviewBox.h"
#include "styleeditor/frmSetTime.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Custom Style");

QColor qtColour(int32_t c) {
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

// The thumbnail as a list icon; its C0C0C0 pixels are see-through.
QIcon thumbIcon(const QImage& thumb) {
    QPixmap pixmap = QPixmap::fromImage(thumb);
    pixmap.setMask(pixmap.createMaskFromColor(QColor(0xC0, 0xC0, 0xC0)));
    return QIcon(pixmap);
}

QSlider* widthSlider(QWidget* parent, const QString& name, int designValue) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(StyleSession::MinWidth, StyleSession::MaxWidth);
    s->setSingleStep(1);
    s->setPageStep(5);
    s->setTickInterval(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setValue(designValue);
    return s;
}

QString openFilter() {
    QStringList all;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        all << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("Images (bmp, gif, jpg) (*.bmp *.jpg *.gif);;All pictures (") +
           all.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

frmCustom::frmCustom(StyleDialogs dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(std::move(dialogs)) {
    setObjectName(QStringLiteral("frmCustom"));
    setWindowTitle(kCaption);
    if (!dialogs_.color)
        dialogs_.color = [this](int32_t initial) -> std::optional<int32_t> {
            const QColor c = QColorDialog::getColor(qtColour(initial), this);
            if (!c.isValid())
                return std::nullopt;
            return c.red() | (c.green() << 8) | (c.blue() << 16);
        };
    if (!dialogs_.open)
        dialogs_.open = [this](const QString& filter) -> std::optional<QString> {
            const QString f = QFileDialog::getOpenFileName(this, {}, {}, filter);
            return f.isEmpty() ? std::nullopt : std::optional<QString>(f);
        };
    if (!dialogs_.save)
        dialogs_.save = [this](const QString& filter) -> std::optional<QString> {
            const QString f = QFileDialog::getSaveFileName(this, {}, {}, filter);
            return f.isEmpty() ? std::nullopt : std::optional<QString>(f);
        };
    if (!dialogs_.confirmDelete)
        dialogs_.confirmDelete = [this] {
            return QMessageBox::question(this, kCaption,
                                         QStringLiteral("Really delete this style?"),
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        };
    if (!dialogs_.refuseDelete)
        dialogs_.refuseDelete = [this] {
            QMessageBox::information(this, kCaption,
                                     QStringLiteral("Cannot delete a default style."));
        };
    if (!dialogs_.askTime)
        dialogs_.askTime = [this](const QDateTime& t) { return frmSetTime::Apri(t, this); };
    buildControls();
    Form_Load();
}

void frmCustom::buildControls() {
    lvwModels = new QListWidget(this);
    lvwModels->setObjectName(QStringLiteral("lvwModels"));
    lvwModels->setViewMode(QListView::IconMode);
    lvwModels->setFlow(QListView::TopToBottom);
    lvwModels->setWrapping(false);
    lvwModels->setMovement(QListView::Static);
    lvwModels->setIconSize(QSize(StylePreview::ThumbSize, StylePreview::ThumbSize));
    lvwModels->setWordWrap(true);
    const int line = fontMetrics().height();
    const int cellWidth = StylePreview::ThumbSize + 5 * line;
    lvwModels->setGridSize(QSize(cellWidth, StylePreview::ThumbSize + 3 * line));
    lvwModels->setMinimumWidth(cellWidth +
                               lvwModels->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                               2 * lvwModels->frameWidth() + 4);
    lvwModels->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);

    txNomeSkin = new QLineEdit(QStringLiteral("(Custom style)"), this);
    txNomeSkin->setObjectName(QStringLiteral("txNomeSkin"));
    ImgClk = new PreviewBox(this);
    ImgClk->setObjectName(QStringLiteral("ImgClk"));
    cmdAdd = new QPushButton(QStringLiteral("Save this style"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdDeleteStyle = new QPushButton(QStringLiteral("Delete this style"), this);
    cmdDeleteStyle->setObjectName(QStringLiteral("cmdDeleteStyle"));
    auto* background = new QGroupBox(QStringLiteral("Background image"), this);
    auto* bgLayout = new QGridLayout(background);
    bgLayout->addWidget(ImgClk, 0, 0, 1, 2, Qt::AlignCenter);
    bgLayout->addWidget(cmdAdd, 1, 0);
    bgLayout->addWidget(cmdDeleteStyle, 1, 1);

    auto* colours = new QGroupBox(QStringLiteral("Hands color"), this);
    auto* colLayout = new QGridLayout(colours);
    int column = 0;
    for (auto [button, name, label] :
         {std::tuple{&ColH, "ColH", "Hours"}, std::tuple{&ColM, "ColM", "Minutes"},
          std::tuple{&ColS, "ColS", "Seconds"}}) {
        *button = new QPushButton(colours);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setAutoDefault(false);
        (*button)->setMinimumSize(3 * line, 2 * line);
        colLayout->addWidget(new QLabel(QString::fromLatin1(label), colours), 0, column,
                             Qt::AlignHCenter);
        colLayout->addWidget(*button, 1, column++, Qt::AlignHCenter);
    }

    auto* widths = new QGroupBox(QStringLiteral("Hands width"), this);
    auto* wiLayout = new QVBoxLayout(widths);
    WiH = widthSlider(widths, QStringLiteral("WiH"), 6);
    WiM = widthSlider(widths, QStringLiteral("WiM"), 4);
    WiS = widthSlider(widths, QStringLiteral("WiS"), 2);
    SwiSecs = new QCheckBox(QStringLiteral("Seconds"), widths);
    SwiSecs->setObjectName(QStringLiteral("SwiSecs"));
    SwiSecs->setChecked(true);
    wiLayout->addWidget(new QLabel(QStringLiteral("Hours"), widths));
    wiLayout->addWidget(WiH);
    wiLayout->addWidget(new QLabel(QStringLiteral("Minutes"), widths));
    wiLayout->addWidget(WiM);
    wiLayout->addWidget(SwiSecs);
    wiLayout->addWidget(WiS);

    SwiTra = new QCheckBox(QStringLiteral("Make Zintar transparent (beta)"), this);
    SwiTra->setObjectName(QStringLiteral("SwiTra"));
    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    Command5 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setAutoDefault(false);
    for (QPushButton* b : {cmdAdd, cmdDeleteStyle})
        b->setAutoDefault(false);

    auto* okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(cmdOk);
    okRow->addWidget(Command5);
    auto* right = new QVBoxLayout;
    right->addWidget(colours);
    right->addWidget(widths);
    right->addWidget(SwiTra);
    right->addStretch(1);
    right->addLayout(okRow);
    auto* middle = new QVBoxLayout;
    middle->addWidget(txNomeSkin);
    middle->addWidget(background);
    middle->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lvwModels);
    layout->addLayout(middle);
    layout->addLayout(right);

    mnuPop = new QMenu(QStringLiteral("(popup)"), this);
    connect(mnuPop->addAction(QStringLiteral("&Load image...")), &QAction::triggered, this,
            &frmCustom::mnuLoad_Click);
    connect(mnuPop->addAction(QStringLiteral("&Save image...")), &QAction::triggered, this,
            &frmCustom::mnuSave_Click);
    connect(mnuPop->addAction(QStringLiteral("Set &time...")), &QAction::triggered, this,
            &frmCustom::mnuSetTime_Click);
    ImgClk->onLeftPress = [this] { mnuLoad_Click(); };
    ImgClk->onRightPress = [this](QPoint at) { mnuPop->popup(at); };

    // Tab order follows the layout: list, name, preview buttons, colours, widths, OK.
    QWidget* const order[] = {lvwModels, txNomeSkin, cmdAdd, cmdDeleteStyle, ColH, ColM,
                              ColS,      WiH,        WiM,    SwiSecs,        WiS,  SwiTra,
                              cmdOk,     Command5};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(lvwModels, &QListWidget::currentRowChanged, this, &frmCustom::lvwModels_Choose);
    connect(lvwModels, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lvwModels_Choose(lvwModels->row(item)); });
    connect(lvwModels, &QListWidget::itemChanged, this, &frmCustom::lvwModels_AfterLabelEdit);
    connect(ColH, &QPushButton::clicked, this, [this] { chooseColour(Session.Hands.HCol); });
    connect(ColM, &QPushButton::clicked, this, [this] { chooseColour(Session.Hands.MCol); });
    connect(ColS, &QPushButton::clicked, this, [this] { chooseColour(Session.Hands.SCol); });
    for (QSlider* s : {WiH, WiM, WiS})
        connect(s, &QSlider::valueChanged, this, [this] {
            readHands();
            showPreview();
        });
    connect(SwiSecs, &QCheckBox::toggled, this, [this] {
        readHands();
        showPreview();
    });
    connect(txNomeSkin, &QLineEdit::textChanged, this,
            [this](const QString& t) { Session.Name = t; });
    connect(SwiTra, &QCheckBox::toggled, this, [this](bool on) { Session.Transparent = on; });
    connect(cmdAdd, &QPushButton::clicked, this, &frmCustom::cmdAdd_Click);
    connect(cmdDeleteStyle, &QPushButton::clicked, this, &frmCustom::cmdDeleteStyle_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmCustom::cmdOk_Click);
    connect(Command5, &QPushButton::clicked, this, &frmCustom::Command5_Click);
}

void frmCustom::Form_Load() {
    Session.Open(Options());
    filling_ = true;
    for (int row = 0; row < Session.Entries.size(); ++row)
        addListItem(row);
    {
        const QSignalBlocker quiet(lvwModels); // selecting is not choosing
        lvwModels->setCurrentRow(Session.Selected);
    }
    showControls();
    filling_ = false;
    lvwModels->setFocus();
}

void frmCustom::addListItem(int row) {
    const StyleSession::Entry& entry = Session.Entries.at(row);
    const QSignalBlocker quiet(lvwModels);
    auto* item =
        new QListWidgetItem(thumbIcon(Session.Preview.Thumbs.at(entry.Picture)), entry.Tag->Name);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setData(Qt::UserRole, entry.Key);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lvwModels->insertItem(row, item);
}

void frmCustom::showControls() {
    const bool wasFilling = filling_;
    filling_ = true;
    const PreviewHands& h = Session.Hands;
    for (auto [button, colour] :
         {std::pair{ColH, h.HCol}, std::pair{ColM, h.MCol}, std::pair{ColS, h.SCol}})
        button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                                  .arg(qtColour(colour).name()));
    for (auto [slider, width] :
         {std::pair{WiH, h.HW}, std::pair{WiM, h.MW}, std::pair{WiS, h.SW}}) {
        const QSignalBlocker quiet(slider);
        slider->setValue(width);
    }
    {
        const QSignalBlocker quiet(SwiSecs);
        SwiSecs->setChecked(h.Seconds);
    }
    {
        const QSignalBlocker quiet(SwiTra);
        SwiTra->setChecked(Session.Transparent);
    }
    txNomeSkin->setText(Session.Name);
    filling_ = wasFilling;
    showPreview();
}

void frmCustom::showPreview() {
    ImgClk->setPicture(Session.Preview.shown());
}

void frmCustom::readHands() {
    if (filling_)
        return;
    Session.Hands.HW = int16_t(WiH->value());
    Session.Hands.MW = int16_t(WiM->value());
    Session.Hands.SW = int16_t(WiS->value());
    Session.Hands.Seconds = SwiSecs->isChecked();
    Session.DrawPreview();
}

bool frmCustom::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        Session.LoadFace(); // a missing file leaves the face shown
        showPreview();
    }
    return QDialog::event(e);
}

void frmCustom::lvwModels_Choose(int row) {
    if (filling_ || row < 0)
        return;
    Session.Choose(row);
    showControls();
}

void frmCustom::lvwModels_AfterLabelEdit(QListWidgetItem* item) {
    if (filling_ || !item || Session.Selected < 0)
        return;
    const QString text = item->text();
    Session.Rename(text);
    // The name belongs to the selected entry's record: show every label as its record has it.
    const QSignalBlocker quiet(lvwModels);
    item->setText(Session.Entries.at(lvwModels->row(item)).Tag->Name);
    if (QListWidgetItem* selected = lvwModels->item(Session.Selected))
        selected->setText(text);
}

void frmCustom::chooseColour(int32_t& colour) {
    if (const auto chosen = dialogs_.color(colour))
        colour = *chosen;
    Session.DrawPreview();
    showControls();
}

void frmCustom::cmdAdd_Click() {
    Session.Name = txNomeSkin->text();
    const int row = Session.Save();
    if (row >= 0)
        addListItem(row);
}

void frmCustom::cmdDeleteStyle_Click() {
    switch (Session.DeleteRequest()) {
    case StyleSession::DeleteAnswer::Nothing:
        return;
    case StyleSession::DeleteAnswer::Refuse:
        dialogs_.refuseDelete();
        return;
    case StyleSession::DeleteAnswer::AskFirst:
        if (!dialogs_.confirmDelete())
            return;
        const int row = Session.Selected;
        Session.DeleteSelected();
        const QSignalBlocker quiet(lvwModels); // the next entry becomes current, not chosen
        delete lvwModels->takeItem(row);
        lvwModels->setCurrentRow(-1);
        return;
    }
}

void frmCustom::cmdOk_Click() {
    Session.Accept(Options());
    SaveOptions();
    SaveUserSkins();
    SwiOk = true;
    accept();
}

void frmCustom::Command5_Click() {
    SwiOk = false;
    reject();
}

void frmCustom::mnuLoad_Click() {
    const auto file = dialogs_.open(openFilter());
    if (!file || file->isEmpty())
        return;
    if (Session.Preview.LoadFace(*file, Session.Hands)) {
        Session.CurStyleFile = *file;
        showPreview();
    }
}

void frmCustom::mnuSave_Click() {
    const auto file = dialogs_.save(QStringLiteral("Images (*.bmp)"));
    QString error;
    if (file && !file->isEmpty() && !Session.Preview.SaveFace(*file, &error))
        TellUserOnce(QStringLiteral("face image ") + *file,
                     QStringLiteral("The face could not be saved as ") + *file +
                         QStringLiteral(": ") + error);
}

void frmCustom::mnuSetTime_Click() {
    Session.Preview.PreviewTime = dialogs_.askTime(Session.Preview.PreviewTime);
    Session.DrawPreview();
    showPreview();
}
