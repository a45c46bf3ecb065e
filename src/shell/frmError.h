#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// Tells the user that an operation failed with a run-time error, shows the error's
// description and points to where the library files the program needs can be had.
class frmError : public QDialog {
    Q_OBJECT

public:
    explicit frmError(QWidget* parent = nullptr);

    // Shows the description and waits until the user closes the window.
    void Display(const QString& parText);
    // Shows a problem with the user's files without waiting: the text only, no hint at
    // missing libraries.
    void Announce(const QString& text);

    static QString DownloadAddress();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void labUrl_Click();

    QPlainTextEdit* Text1 = nullptr;
    QLabel* labUrl = nullptr;
    QLabel* hint = nullptr;
};
