#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;
class ToolTip;

// "About Zintar...": name, version, copyright, the home page and a donation button. Not
// modal, owned by the clock, and kept above a clock that stays on top.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(QWidget* owner, const QIcon& programIcon);
    ~frmAbout() override;

    // Shows the one About window, built when none is open.
    static frmAbout* Open(QWidget* owner, const QIcon& programIcon);
    static frmAbout* Current();
    // Hands an address to the desktop; tests replace it. The result is not examined.
    static std::function<void(const QUrl&)> OpenUrl;

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
    ToolTip* Image2Tip = nullptr;

protected:
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Form_Load();
    void Form_Activate();

    static QPointer<frmAbout> current_;
};
