#pragma once

#include <QDialog>

class frmAlarm;
class AlarmListRow;
class QAction;
class QListView;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QWidget;

// The alarm list: one row per alarm; rows are added and removed here only, and the options'
// Alarms are rebuilt from the rows (and saved) when the user presses OK. Edits of existing
// alarms act at once on the shared alarm objects.
class frmAlarms : public QDialog {
    Q_OBJECT

public:
    explicit frmAlarms(QWidget* parent = nullptr);
    ~frmAlarms() override;

    // Edits the alarm of the selected row; nothing happens when no row is selected.
    void DoEdit();

    // The rows (AlarmListRow), in the report view; the large-icon view shows the same rows.
    QTreeWidget* lstAlarm() const { return list; }
    AlarmListRow* Row(int index) const;
    int RowCount() const;
    AlarmListRow* SelectedRow() const;

    // Image of the toolbar's "View" button: 1 in the report view, 2 in the large-icon view.
    int ViewImage() const { return viewImage; }
    bool IsIconView() const;

protected:
    // Shows the editor modally. Tests answer the editor here.
    virtual void pShowEditor(frmAlarm& editor);
    // Tells the user that the editor could not be opened.
    virtual void pShowError(const QString& description);

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pBuildToolbar();
    void pBuildButtons();
    void pFill();
    void pResize();
    void pSetView(int image);
    void pOpenEditor(AlarmListRow* row);
    int pTwips(int twips) const;

    void PulAdd_Click();
    void PulRem_Click();
    void PulOk_Click();
    void FView_Click();

    QToolBar* Toolbar1 = nullptr;
    QAction* FView = nullptr;
    QWidget* editButton = nullptr;
    QTreeWidget* list = nullptr;
    QListView* iconView = nullptr;
    QWidget* Picture1 = nullptr;
    QPushButton* PulAdd = nullptr;
    QPushButton* PulRem = nullptr;
    QPushButton* PulOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    int viewImage = 1;
};
