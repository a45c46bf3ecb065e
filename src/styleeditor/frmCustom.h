#pragma once

#include "styleeditor/StyleSession.h"

#include <QDateTime>
#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSlider;
class PreviewBox;

// The dialogs the editor borrows from the clock window (its common dialog), or from a test.
struct StyleDialogs {
    std::function<std::optional<int32_t>(int32_t initial)> color;
    // A file to open or save, given a Qt name filter; nothing when cancelled.
    std::function<std::optional<QString>(const QString&filter)> open, save;
    // "Really delete this style?" answered Yes; the refusal for a default style.
    std::function<bool()> confirmDelete;
    std::function<void()> refuseDelete;
    // The preview time dialog.
    std::function<QDateTime(const QDateTime&)> askTime;
};

// "Custom Style": choose, edit, save and delete styles with a live preview. One window per
// opening; SwiOk tells the opener whether it ended with OK.
class frmCustom : public QDialog {
    Q_OBJECT

public:
    explicit frmCustom(StyleDialogs dialogs = {}, QWidget* parent = nullptr);

    bool SwiOk = false;
    StyleSession Session;

    QListWidget* lvwModels = nullptr;
    QLineEdit* txNomeSkin = nullptr;
    PreviewBox* ImgClk = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDeleteStyle = nullptr;
    QPushButton *ColH = nullptr, *ColM = nullptr, *ColS = nullptr;
    QSlider *WiH = nullptr, *WiM = nullptr, *WiS = nullptr;
    QCheckBox* SwiSecs = nullptr;
    QCheckBox* SwiTra = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* Command5 = nullptr;
    QMenu* mnuPop = nullptr;

    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuSetTime_Click();

protected:
    bool event(QEvent* e) override;

private:
    void buildControls();
    void Form_Load();
    void addListItem(int row);
    void showControls(); // the controls from the session's values
    void showPreview();
    void readHands(); // the session's hands from the controls
    void lvwModels_Choose(int row);
    void lvwModels_AfterLabelEdit(QListWidgetItem* item);
    void chooseColour(int32_t& colour);
    void cmdAdd_Click();
    void cmdDeleteStyle_Click();
    void cmdOk_Click();
    void Command5_Click();

    StyleDialogs dialogs_;
    bool filling_ = false; // the list and the controls are being set, not edited
};
