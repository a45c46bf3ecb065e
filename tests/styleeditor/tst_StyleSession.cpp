#include "StyleFixture.h"
#include "styleeditor/StyleSession.h"

#include <QTest>

namespace {

QStringList keys(const StyleSession& s) {
    QStringList out;
    for (const auto& e : s.Entries)
        out << e.Key;
    return out;
}

QStringList userNames() {
    QStringList out;
    for (const auto& s : UserSkins())
        out << s->Name;
    return out;
}

} // namespace

class tst_StyleSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { StyleFixture::setUp(); }

    // A style whose picture cannot be loaded gets no entry and no picture number.
    void entriesAndPictureNumbers() {
        StyleSession s;
        s.Open(Options());
        QCOMPARE(keys(s), (QStringList{"d_1", "d_2", "u_3", "u_4"}));
        QCOMPARE(s.Entries.at(1).Tag, DefaultSkins().at(2)); // the record itself
        QCOMPARE(s.Entries.at(1).imageIndex(), 3);
        QCOMPARE(s.Selected, 0);
        QCOMPARE(s.Name, QStringLiteral("(Custom style)"));
    }

    // What the controls show at opening, and which entry is selected.
    void opening_data() {
        QTest::addColumn<int>("styleIdx");
        QTest::addColumn<int>("sw");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("seconds");
        QTest::newRow("first default") << 0 << 1 << 0 << false << true;
        QTest::newRow("catalogue position 2 is the second entry") << 2 << 1 << 1 << false << true;
        QTest::newRow("a broken default is not selected") << 1 << 1 << -1 << false << true;
        QTest::newRow("a user style's position selects nothing") << 3 << 1 << -1 << false << true;
        QTest::newRow("see-through") << 155 << 1 << -1 << true << true;
        QTest::newRow("no seconds hand") << 0 << 0 << 0 << false << false;
    }
    void opening() {
        QFETCH(int, styleIdx);
        QFETCH(int, sw);
        Options().StyleIdx = int16_t(styleIdx);
        Options().SW = int16_t(sw);
        StyleSession s;
        s.Open(Options());
        QTEST(s.Selected, "selected");
        QTEST(s.Transparent, "transparent");
        QTEST(s.Hands.Seconds, "seconds");
        QCOMPARE(s.Hands.SW, int16_t(sw ? sw : 2)); // the slider keeps its design value
        QCOMPARE(s.Hands.HCol, 0xAA);
        QCOMPARE(s.CurStyleFile, Options().StyleFile);
    }

    // Choosing changes the controls, never the options.
    void choosingLeavesTheOptions() {
        StyleSession s;
        s.Open(Options());
        const KOptions before = Options();
        s.Choose(3);
        QCOMPARE(s.Name, QStringLiteral("Mine"));
        QCOMPARE(s.CurStyleFile, UserSkins().at(1)->FileName);
        QCOMPARE(s.Hands.HCol, 0x50);
        QCOMPARE(s.Hands.SW, int16_t(9));
        QCOMPARE(s.Preview.face().pixel(10, 10), QColor(Qt::green).rgb());
        QCOMPARE(Options().StyleIdx, before.StyleIdx);
        QCOMPARE(Options().HCol, before.HCol);
        QCOMPARE(Options().StyleFile, before.StyleFile);
    }

    // Save: the first user style of the name in any letter case is written (and takes the
    // new case); default styles are not searched, so their names make new user styles.
    void save_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("newRow");
        QTest::addColumn<QStringList>("users");
        QTest::newRow("case only") << "BLUE" << -1 << QStringList{"BLUE", "Mine"};
        QTest::newRow("default's name") << "Classic" << 4 << QStringList{"Blue", "Mine", "Classic"};
        QTest::newRow("new name") << "Night" << 4 << QStringList{"Blue", "Mine", "Night"};
    }
    void save() {
        QFETCH(QString, name);
        StyleSession s;
        s.Open(Options());
        s.Choose(1);
        s.Name = name;
        s.Hands.Seconds = false;
        QTEST(s.Save(), "newRow");
        QTEST(userNames(), "users");
        const KSkinPtr& written = UserSkins().at(name == "BLUE" ? 0 : 2);
        QCOMPARE(written->FileName, DefaultSkins().at(2)->FileName);
        QCOMPARE(written->Hour, 0x30);
        QCOMPARE(written->HDM, 5);
        QCOMPARE(written->SDM, 0); // "Seconds" clear
        if (name != "BLUE")
            QCOMPARE(s.Entries.last().Key, QStringLiteral("u_5"));
        QCOMPARE(s.Entries.size(), name == "BLUE" ? 4 : 5);
    }

    void deleteRequests() {
        StyleSession s;
        s.Open(Options());
        s.Selected = -1;
        QCOMPARE(s.DeleteRequest(), StyleSession::DeleteAnswer::Nothing);
        s.Choose(1);
        QCOMPARE(s.DeleteRequest(), StyleSession::DeleteAnswer::Refuse);
        s.Choose(2);
        QCOMPARE(s.DeleteRequest(), StyleSession::DeleteAnswer::AskFirst);
        s.DeleteSelected();
        QCOMPARE(keys(s), (QStringList{"d_1", "d_2", "u_4"}));
        QCOMPARE(userNames(), (QStringList{"Blue", "Mine"})); // until OK
    }

    // OK: the face number of the selected entry (or 155), the controls' values, and the user
    // catalogue rebuilt from the list.
    void accept_data() {
        QTest::addColumn<int>("choose");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("deleteIt");
        QTest::addColumn<int>("styleIdx");
        QTest::addColumn<QStringList>("users");
        QTest::newRow("second default") << 1 << false << false << 1 << QStringList{"Blue", "Mine"};
        QTest::newRow("a user style") << 3 << false << false << 3 << QStringList{"Blue", "Mine"};
        QTest::newRow("see-through whatever is chosen")
            << 3 << true << false << 155 << QStringList{"Blue", "Mine"};
        QTest::newRow("deleted user style") << 2 << false << true << 0 << QStringList{"Mine"};
    }
    void accept() {
        QFETCH(int, choose);
        QFETCH(bool, transparent);
        QFETCH(bool, deleteIt);
        StyleSession s;
        s.Open(Options());
        s.Choose(choose);
        s.Transparent = transparent;
        s.Hands.SW = 11;
        if (deleteIt)
            s.DeleteSelected();
        s.Accept(Options());
        QTEST(int(Options().StyleIdx), "styleIdx");
        QTEST(userNames(), "users");
        QCOMPARE(Options().StyleFile, s.CurStyleFile);
        QCOMPARE(Options().HCol, s.Hands.HCol);
        QCOMPARE(Options().SW, int16_t(11));
    }

    // With "Seconds" clear OK stores no seconds hand whatever the slider shows.
    void acceptWithoutSeconds() {
        Options().SW = 0;
        StyleSession s;
        s.Open(Options());
        s.Hands.SW = 8;
        s.Accept(Options());
        QCOMPARE(Options().SW, int16_t(0));
    }

    // A rename goes to the selected entry's shared record at once.
    void renameChangesTheRecord() {
        StyleSession s;
        s.Open(Options());
        s.Rename(QStringLiteral("Old school"));
        QCOMPARE(DefaultSkins().at(0)->Name, QStringLiteral("Old school"));
        s.Selected = -1;
        s.Rename(QStringLiteral("nobody"));
        QCOMPARE(DefaultSkins().at(0)->Name, QStringLiteral("Old school"));
    }
};

QTEST_GUILESS_MAIN(tst_StyleSession)
#include "tst_StyleSession.moc"
