#pragma once

#include <QWidget>

class ctlSelector;

// "Options": holds the one selector. Nothing in the program opens it yet.
class frmOptions : public QWidget {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    ctlSelector* ctlSelector1 = nullptr;
};
