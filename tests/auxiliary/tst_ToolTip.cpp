#include "auxiliary/ToolTip.h"
#include "auxiliary/ctlSelector.h"

#include <QSignalSpy>
#include <QTest>

class tst_ToolTip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createWithoutParentMakesNoTip() {
        ToolTip tip;
        QWidget owner;
        QWidget* tool = &owner;
        tip.Create(tool);
        QVERIFY(!tip.Window());
        // A tip made earlier is dropped by a Create that makes none.
        tip.ParentControl(&owner);
        tip.Create(tool);
        QPointer<ToolTipWindow> old = tip.Window();
        QVERIFY(old);
        tip.ParentControl(nullptr);
        tip.Create(tool);
        QVERIFY(!old);
        QVERIFY(!tip.Window());
    }

    void colourZeroIsDefaultOnlyInCreate() {
        QWidget owner;
        QWidget* tool = &owner;
        ToolTip tip;
        tip.ParentControl(&owner);
        tip.ForeColor(0);
        tip.BackColor(0x0000FF); // red, as 0x00BBGGRR
        tip.Create(tool);
        QVERIFY(!tip.Window()->TextColor().isValid());
        QCOMPARE(tip.Window()->BackColor(), QColor(255, 0, 0));
        // The setters send what they are given, 0 being black.
        tip.ForeColor(0);
        tip.BackColor(0);
        QCOMPARE(tip.Window()->TextColor(), QColor(0, 0, 0));
        QCOMPARE(tip.Window()->BackColor(), QColor(0, 0, 0));
    }

    void titleWithIconZeroWaitsForAnIcon() {
        QWidget owner;
        QWidget* tool = &owner;
        ToolTip tip;
        tip.ParentControl(&owner);
        tip.Create(tool);
        tip.Title(QStringLiteral("Note"));
        QVERIFY(tip.Window()->Title().isEmpty());
        tip.Icon(2);
        QCOMPARE(tip.Window()->Title(), QStringLiteral("Note"));
        QCOMPARE(tip.Window()->TitleIcon(), 2);
    }

    void selectorTellsEveryClickButNotTheSetter() {
        ctlSelector selector;
        selector.resize(60, 60);
        QSignalSpy changed(&selector, &ctlSelector::PressedChanged);
        QTest::mouseClick(&selector, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseClick(&selector, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(changed.count(), 2);
        QVERIFY(selector.Pressed());
        QCOMPARE(selector.frameShadow(), QFrame::Sunken);
        selector.Pressed(false);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(selector.frameShape(), QFrame::NoFrame);
    }
};

QTEST_MAIN(tst_ToolTip)
#include "tst_ToolTip.moc"
