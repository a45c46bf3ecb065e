#include "auxiliary/frmOptions.h"

#include "auxiliary/ctlSelector.h"

frmOptions::frmOptions(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Options"));
    resize(320, 240);
    ctlSelector1 = new ctlSelector(this);
    ctlSelector1->setGeometry(8, 8, 64, 64);
}
