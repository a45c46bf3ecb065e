#include "StyleFixture.h"
#include "styleeditor/PreviewBox.h"
#include "styleeditor/frmCustom.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <memory>

namespace {

struct Answers {
    bool confirm = true;
    int confirmations = 0, refusals = 0;
    std::optional<QString> openFile;
};

std::unique_ptr<frmCustom> openEditor(Answers& a) {
    StyleDialogs d;
    d.confirmDelete = [&a] {
        ++a.confirmations;
        return a.confirm;
    };
    d.refuseDelete = [&a] { ++a.refusals; };
    d.color = [](int32_t) { return std::optional<int32_t>(0x123456); };
    d.open = [&a](const QString&) { return a.openFile; };
    auto w = std::make_unique<frmCustom>(std::move(d));
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the editor did not become active");
    return w;
}

QString skinsFile() {
    return AppDataFolder() + QStringLiteral("myskins.ini");
}

} // namespace

class tst_frmCustom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { StyleFixture::setUp(); }

    void opening() {
        Options().SW = 0;
        Answers a;
        auto w = openEditor(a);
        QCOMPARE(w->windowTitle(), QStringLiteral("Custom Style"));
        QCOMPARE(w->lvwModels->count(), 4);
        QCOMPARE(w->lvwModels->currentRow(), 0);
        QVERIFY(w->lvwModels->hasFocus());
        QCOMPARE(w->txNomeSkin->text(), QStringLiteral("(Custom style)"));
        QVERIFY(!w->SwiSecs->isChecked());
        QCOMPARE(w->WiS->value(), 2);
        QCOMPARE(w->WiH->value(), 5);
        QCOMPARE(w->ImgClk->size(), QSize(257, 257));
        QCOMPARE(w->ImgClk->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(w->cmdOk->isDefault());
    }

    // Arrow keys, Home and End choose as a click does: controls and preview follow, the
    // options stay.
    void keyboardChoosesLikeAClick_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::newRow("down") << int(Qt::Key_Down) << 1;
        QTest::newRow("end") << int(Qt::Key_End) << 3;
    }
    void keyboardChoosesLikeAClick() {
        QFETCH(int, key);
        QFETCH(int, row);
        Answers a;
        auto byKey = openEditor(a);
        QTest::keyClick(byKey->lvwModels, Qt::Key(key));
        QCOMPARE(byKey->lvwModels->currentRow(), row);

        auto byClick = openEditor(a);
        QListWidget* list = byClick->lvwModels;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        for (frmCustom* w : {byKey.get(), byClick.get()}) {
            QCOMPARE(w->Session.Selected, row);
            QCOMPARE(w->txNomeSkin->text(), w->Session.Entries.at(row).Tag->Name);
            QCOMPARE(w->WiH->value(), w->Session.Entries.at(row).Tag->HDM);
        }
        QCOMPARE(byKey->ImgClk->picture(), byClick->ImgClk->picture());
        QCOMPARE(Options().HW, int16_t(5));
    }

    // Enter is OK and Esc is Cancel from anywhere in the window.
    void enterAcceptsEscapeCancels() {
        Answers a;
        auto w = openEditor(a);
        QTest::keyClick(w->WiH, Qt::Key_Return);
        QCOMPARE(w->result(), int(QDialog::Accepted));
        auto again = openEditor(a);
        QTest::keyClick(again->txNomeSkin, Qt::Key_Escape);
        QCOMPARE(again->result(), int(QDialog::Rejected));
        QVERIFY(!again->isVisible());
    }

    // Deleting lives only in the list: Cancel keeps the style, OK drops it from the file.
    void deleteThenCancelOrOk_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("cancel") << false;
        QTest::newRow("ok") << true;
    }
    void deleteThenCancelOrOk() {
        QFETCH(bool, ok);
        Answers a;
        auto w = openEditor(a);
        QTest::mouseClick(w->cmdDeleteStyle, Qt::LeftButton); // a default style
        QCOMPARE(a.refusals, 1);
        QCOMPARE(w->lvwModels->count(), 4);
        w->lvwModels->setCurrentRow(2); // "Blue"
        QTest::mouseClick(w->cmdDeleteStyle, Qt::LeftButton);
        QCOMPARE(a.confirmations, 1);
        QCOMPARE(w->lvwModels->count(), 3);
        w->SwiTra->setChecked(true); // no entry selected any more
        QTest::keyClick(w.get(), ok ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->SwiOk, ok);
        if (ok) {
            QCOMPARE(UserSkins().size(), 1);
            QVERIFY(!TestSupport::readFile(skinsFile()).contains("Blue"));
            QCOMPARE(Options().StyleIdx, KOptions::SeeThroughStyle);
        } else {
            QCOMPARE(UserSkins().size(), 2);
            QVERIFY(!QFile::exists(skinsFile()));
            QCOMPARE(Options().StyleIdx, int16_t(0));
        }
    }

    // myskins.ini after OK, byte for byte, and read back into the same records.
    void userFileAfterOk() {
        Answers a;
        auto w = openEditor(a);
        w->lvwModels->setCurrentRow(3); // "Mine"
        w->txNomeSkin->setText(QStringLiteral("Night"));
        QTest::mouseClick(w->ColH, Qt::LeftButton); // answered 123456
        w->SwiSecs->setChecked(false);
        QTest::mouseClick(w->cmdAdd, Qt::LeftButton);
        QCOMPARE(w->lvwModels->count(), 5);
        QTest::mouseClick(w->cmdOk, Qt::LeftButton);
        QVERIFY(w->SwiOk);

        const QByteArray blue = UserSkins().at(0)->FileName.toUtf8();
        const QByteArray mine = UserSkins().at(1)->FileName.toUtf8();
        const QByteArray expected = "[Skins]\r\nCount=3\r\n"
                                    "\r\n[Skin1]\r\nName=Blue\r\nBitmap=" +
                                    blue +
                                    "\r\nHour = 40\r\nMinute = 41\r\nSecond = 42\r\n"
                                    "HourSize = 6\r\nMinuteSize = 7\r\nSecondSize = 8\r\n"
                                    "\r\n[Skin2]\r\nName=Mine\r\nBitmap=" +
                                    mine +
                                    "\r\nHour = 50\r\nMinute = 51\r\nSecond = 52\r\n"
                                    "HourSize = 7\r\nMinuteSize = 8\r\nSecondSize = 9\r\n"
                                    "\r\n[Skin3]\r\nName=Night\r\nBitmap=" +
                                    mine +
                                    "\r\nHour = 123456\r\nMinute = 51\r\nSecond = 52\r\n"
                                    "HourSize = 7\r\nMinuteSize = 8\r\nSecondSize = 0\r\n";
        QCOMPARE(TestSupport::readFile(skinsFile()), expected);
        SkinList back;
        LoadSkinFile(skinsFile(), back);
        QCOMPARE(back.size(), 3);
        QCOMPARE(back.at(2)->Name, QStringLiteral("Night"));
        QCOMPARE(back.at(2)->Hour, 0x123456);
        QCOMPARE(back.at(2)->SDM, 0);
        QCOMPARE(Options().StyleIdx, int16_t(3)); // "Mine" stays selected
        QCOMPARE(Options().HCol, 0x123456);
        QCOMPARE(Options().SW, int16_t(0));
    }

    // A rename and a save into an existing record are not undone by Cancel.
    void cancelKeepsSharedRecords() {
        Answers a;
        auto w = openEditor(a);
        w->lvwModels->setCurrentRow(2);
        w->lvwModels->item(2)->setText(QStringLiteral("Sky")); // the committed in-place edit
        QCOMPARE(UserSkins().at(0)->Name, QStringLiteral("Sky"));
        w->txNomeSkin->setText(QStringLiteral("MINE"));
        QTest::mouseClick(w->cmdAdd, Qt::LeftButton);
        QCOMPARE(w->lvwModels->count(), 4);
        QTest::mouseClick(w->Command5, Qt::LeftButton);
        QVERIFY(!w->SwiOk);
        QCOMPARE(UserSkins().at(1)->Name, QStringLiteral("MINE"));
        QCOMPARE(UserSkins().at(1)->Hour, 0x40);
    }

    // F2 opens the in-place editor on the chosen entry; Return commits the new name into its
    // record, Esc leaves it as it was.
    void renameWithKeys() {
        Answers a;
        auto w = openEditor(a);
        w->lvwModels->setFocus();
        w->lvwModels->setCurrentRow(2);
        QTest::keyClick(w->lvwModels, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QVERIFY(editor != w->txNomeSkin);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Dawn"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(w->lvwModels->item(2)->text(), QStringLiteral("Dawn"));
        QCOMPARE(UserSkins().at(0)->Name, QStringLiteral("Dawn"));
        // Return ended the edit, not the dialog.
        QVERIFY(w->isVisible());
        QVERIFY(!w->SwiOk);

        QTest::keyClick(w->lvwModels, Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("zzz"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_COMPARE(QApplication::focusWidget(), w->lvwModels);
        QCOMPARE(UserSkins().at(0)->Name, QStringLiteral("Dawn"));
        QVERIFY(w->isVisible()); // Esc ended the edit, not the dialog
    }

    // Load image: a file that cannot be loaded, or a cancelled dialog, changes nothing.
    void loadImage() {
        Answers a;
        auto w = openEditor(a);
        const QString before = w->Session.CurStyleFile;
        a.openFile = TestSupport::scratchFolder("broken") + QStringLiteral("/x.bmp");
        QTest::mouseClick(w->ImgClk, Qt::LeftButton);
        QCOMPARE(w->Session.CurStyleFile, before);
        a.openFile.reset();
        w->mnuLoad_Click();
        QCOMPARE(w->Session.CurStyleFile, before);
        a.openFile = UserSkins().at(1)->FileName;
        QTest::mouseClick(w->ImgClk, Qt::LeftButton);
        QCOMPARE(w->Session.CurStyleFile, *a.openFile);
        QCOMPARE(w->ImgClk->picture().pixel(5, 5), QColor(Qt::green).rgb());
    }
};

QTEST_MAIN(tst_frmCustom)
#include "tst_frmCustom.moc"
