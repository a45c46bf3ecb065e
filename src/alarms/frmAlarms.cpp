#include "alarms/frmAlarms.h"

#include "alarms/AlarmIcons.h"
#include "alarms/AlarmRow.h"
#include "alarms/frmAlarm.h"
#include "settings/KOptions.h"
#include "shell/frmError.h"
#include "shell/mdlStartup.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <exception>

namespace {
constexpr int ListLeft = 4; // pixels between the window's edges and the list
constexpr int PanelMargin = 8;
} // namespace

frmAlarms::frmAlarms(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAlarms"));
    setWindowTitle(QStringLiteral("Alarms"));

    // The icon view is made first so that it goes before the rows it shows.
    iconView = new QListView(this);
    iconView->setObjectName(QStringLiteral("lstAlarmIcons"));
    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("lstAlarm"));
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Message")});
    list->setColumnWidth(0, pTwips(1152));
    list->setColumnWidth(1, pTwips(2880));
    list->header()->setStretchLastSection(false);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setIconSize(QSize(16, 16));
    connect(list, &QTreeWidget::itemDoubleClicked, this, &frmAlarms::DoEdit);

    // Large icons: the same rows and selection, the time under each picture.
    iconView->setModel(list->model());
    iconView->setSelectionModel(list->selectionModel());
    iconView->setModelColumn(0);
    iconView->setViewMode(QListView::IconMode);
    iconView->setIconSize(QSize(32, 32));
    iconView->setMovement(QListView::Static);
    iconView->setResizeMode(QListView::Adjust);
    iconView->setGridSize(QSize(72, 64));
    iconView->setSelectionMode(QAbstractItemView::SingleSelection);
    iconView->hide();
    connect(iconView, &QListView::doubleClicked, this, &frmAlarms::DoEdit);

    pBuildToolbar();
    pBuildButtons();
    pFill();
    pSetView(1);

    setMinimumSize(PulAdd->width() + PulRem->width() + 2 * PulOk->width() + 4 * PanelMargin,
                   Toolbar1->height() + Picture1->height() + 60);
    resize(std::max({pTwips(1152 + 2880) + 48, minimumWidth(), 420}), 320);
}

frmAlarms::~frmAlarms() = default;

void frmAlarms::pBuildToolbar() {
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setMovable(false);

    QAction* add = Toolbar1->addAction(AlarmIcons::ToolImage(AlarmIcons::Tool::Add),
                                       QStringLiteral("Add new"));
    add->setObjectName(QStringLiteral("FAdd"));
    add->setToolTip(QStringLiteral("Add a new alarm/event"));
    connect(add, &QAction::triggered, this, &frmAlarms::PulAdd_Click);

    QAction* rem = Toolbar1->addAction(AlarmIcons::ToolImage(AlarmIcons::Tool::Remove),
                                       QStringLiteral("Remove"));
    rem->setObjectName(QStringLiteral("FRem"));
    rem->setToolTip(QStringLiteral("Removes the selected alarm"));
    connect(rem, &QAction::triggered, this, &frmAlarms::PulRem_Click);

    QAction* edit =
        Toolbar1->addAction(AlarmIcons::ToolImage(AlarmIcons::Tool::Edit), QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("FEdit"));
    connect(edit, &QAction::triggered, this, &frmAlarms::DoEdit);

    auto* menu = new QMenu(this);
    QAction* v1 = menu->addAction(QStringLiteral("List"));
    v1->setObjectName(QStringLiteral("V1"));
    connect(v1, &QAction::triggered, this, [this] { pSetView(1); });
    QAction* v2 = menu->addAction(QStringLiteral("Icons"));
    v2->setObjectName(QStringLiteral("V2"));
    connect(v2, &QAction::triggered, this, [this] { pSetView(2); });

    FView = Toolbar1->addAction(AlarmIcons::ToolImage(AlarmIcons::Tool::ViewList),
                                QStringLiteral("View"));
    FView->setObjectName(QStringLiteral("FView"));
    FView->setToolTip(QStringLiteral("Change display appearance"));
    FView->setMenu(menu);
    connect(FView, &QAction::triggered, this, &frmAlarms::FView_Click);
    if (auto* button = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(FView)))
        button->setPopupMode(QToolButton::MenuButtonPopup);

    // "Edit" has no tooltip; Qt would show its caption.
    editButton = Toolbar1->widgetForAction(edit);
    if (editButton)
        editButton->installEventFilter(this);

    Toolbar1->adjustSize();
}

bool frmAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editButton && event->type() == QEvent::ToolTip)
        return true;
    return QDialog::eventFilter(watched, event);
}

void frmAlarms::pBuildButtons() {
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, Picture1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    PulAdd = button("PulAdd", QStringLiteral("&Add"));
    PulRem = button("PulRem", QStringLiteral("&Remove"));
    PulOk = button("PulOk", QStringLiteral(" &OK "));
    cmdCancel = button("cmdCancel", QStringLiteral(" Cancel "));
    connect(PulAdd, &QPushButton::clicked, this, &frmAlarms::PulAdd_Click);
    connect(PulRem, &QPushButton::clicked, this, &frmAlarms::PulRem_Click);
    connect(PulOk, &QPushButton::clicked, this, &frmAlarms::PulOk_Click);
    // QDialog answers Esc and the close box with reject() as well.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    const int height = PulOk->sizeHint().height();
    const int wide = std::max({80, PulOk->sizeHint().width(), cmdCancel->sizeHint().width()});
    PulAdd->setGeometry(PanelMargin, PanelMargin, wide, height);
    PulRem->setGeometry(2 * PanelMargin + wide, PanelMargin, wide, height);
    PulOk->resize(wide, height);
    cmdCancel->resize(wide, height);
    Picture1->resize(Picture1->width(), height + 2 * PanelMargin);
}

void frmAlarms::pFill() {
    for (const KAlarmPtr& alarm : std::as_const(Options().Alarms))
        list->addTopLevelItem(AlarmListRow::ForAlarm(alarm));
}

int frmAlarms::pTwips(int twips) const {
    return qRound(twips * logicalDpiX() / 1440.0);
}

void frmAlarms::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    pResize();
}

void frmAlarms::pResize() {
    const int inner = width();
    const int innerHeight = height();
    Toolbar1->setGeometry(0, 0, inner, Toolbar1->sizeHint().height());
    Picture1->setGeometry(0, innerHeight - Picture1->height(), inner, Picture1->height());

    const int top = Toolbar1->height();
    const QRect area(ListLeft, top, std::max(0, inner - 2 * ListLeft),
                     std::max(0, innerHeight - top - Picture1->height()));
    list->setGeometry(area);
    iconView->setGeometry(area);

    cmdCancel->move(inner - (pTwips(24) + PulOk->width()), PanelMargin);
    PulOk->move(cmdCancel->x() - (pTwips(48) + PulOk->width()), PanelMargin);
}

AlarmListRow* frmAlarms::Row(int index) const {
    return static_cast<AlarmListRow*>(list->topLevelItem(index));
}

int frmAlarms::RowCount() const {
    return list->topLevelItemCount();
}

AlarmListRow* frmAlarms::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<AlarmListRow*>(selected.constFirst());
}

bool frmAlarms::IsIconView() const {
    return !iconView->isHidden();
}

void frmAlarms::pSetView(int image) {
    viewImage = image;
    FView->setIcon(AlarmIcons::ToolImage(image == 2 ? AlarmIcons::Tool::ViewIcons
                                                    : AlarmIcons::Tool::ViewList));
    iconView->setVisible(image == 2);
    list->setVisible(image != 2);
}

void frmAlarms::FView_Click() {
    pSetView(viewImage == 1 ? 2 : 1);
}

void frmAlarms::PulAdd_Click() {
    pOpenEditor(nullptr);
}

void frmAlarms::DoEdit() {
    if (AlarmListRow* row = SelectedRow())
        pOpenEditor(row);
}

void frmAlarms::pOpenEditor(AlarmListRow* row) {
    try {
        frmAlarm editor(this);
        editor.Parent(this);
        if (row)
            editor.SetAlarm(row->Tag());
        pShowEditor(editor);
    } catch (const std::exception& error) {
        pShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        pShowError(QStringLiteral("Unknown error"));
    }
}

void frmAlarms::pShowEditor(frmAlarm& editor) {
    editor.exec();
}

void frmAlarms::pShowError(const QString& description) {
    frmError window;
    window.Display(description);
}

void frmAlarms::PulRem_Click() {
    // The alarm leaves the options' collection only at OK.
    delete SelectedRow();
}

void frmAlarms::PulOk_Click() {
    QList<KAlarmPtr>& alarms = Options().Alarms;
    alarms.clear();
    for (int i = 0; i < RowCount(); ++i)
        alarms.append(Row(i)->Tag());
    SaveOptions();
    accept();
}
