// Browsing the question tables: the list, the fields and the preview line.

#include "editorharness.h"
#include "editorwidgets.h"

using db::QuestionTable;

class TestBrowser : public QObject {
    Q_OBJECT
private slots:
    void viewListsEveryRowDecodedAndShowsTheFirst()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc2, 7);

        QVERIFY(testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QVERIFY(button(f, "Command3")->isEnabled());
        const QStringList lines = listLines(f);
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QStringLiteral("Câu hỏi số 1"));
        QCOMPARE(lines[6], QStringLiteral("Câu hỏi số 7"));
        QCOMPARE(currentLine(f), 0);
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 1"));
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("Đáp án A1"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("1"));

        // Line i stands for ID i + 1; arrow keys move the selection as clicks do.
        clickLine(f, 4);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("5"));
        QCOMPARE(field(f, "Text5")->text(), QStringLiteral("D5"));
        testkit::pressKey(list1(f), Qt::Key_Down);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("6"));
        QCOMPARE(field(f, "Text6")->text(), QStringLiteral("B"));
    }

    void viewOfAnEmptyTableKeepsTheFields()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc1, 3);
        clickLine(f, 2);
        chooseOption(f, 5); // the trash starts empty
        testkit::click(button(f, "Command2"));
        QCOMPARE(lineCount(f), 0);
        QCOMPARE(currentLine(f), -1);
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 3"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("3"));
        QCOMPARE(f->listedTable(), QuestionTable::Thungrac);
        QVERIFY(h.messages.isEmpty());
    }

    void sameTextAndApostrophesShowTheirOwnRow()
    {
        EditorHarness h;
        QList<db::Question> rows;
        rows << EditorHarness::question(1, QStringLiteral("Thuû ñoâ cuûa Phaùp?"))
             << EditorHarness::question(2, QStringLiteral("Ai vieát 'Truyeän Kieàu'?"))
             << EditorHarness::question(3, QStringLiteral("Thuû ñoâ cuûa Phaùp?"))
             << EditorHarness::question(4, QStringLiteral("THUÛ ÑOÂ CUÛA PHAÙP?"));
        rows[1].a = QStringLiteral("Nguyeãn Du");
        h.setRows(QuestionTable::Muc1, rows);
        EditorForm *f = h.form();
        testkit::click(button(f, "Command2"));

        QCOMPARE(listLines(f)[1], QStringLiteral("Ai viết 'Truyện Kiều'?"));
        clickLine(f, 1);
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("Nguyễn Du"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("2"));
        // Same text (and same text in other letter case): each line is its own question.
        clickLine(f, 2);
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Thủ đô của Pháp?"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("3"));
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("Đáp án A3"));
        clickLine(f, 3);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("4"));
        clickLine(f, 0);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("1"));
        QVERIFY(h.messages.isEmpty());
    }

    void previewJoinsTheFieldsWithTheExactSeparators()
    {
        EditorHarness h;
        db::Question q = EditorHarness::question(1, QStringLiteral("Con gì keâu \"meo meo\"?"));
        q.a = QStringLiteral("Choù");
        q.b = QStringLiteral("Meøo");
        q.c = QStringLiteral("Gaø");
        q.d = QStringLiteral("Vòt");
        h.setRows(QuestionTable::Thuthach, {q, EditorHarness::question(2, QStringLiteral("Hai"))});
        EditorForm *f = h.form();
        chooseOption(f, 4);
        testkit::click(button(f, "Command2"));
        QLineEdit *text8 = field(f, "Text8");
        QVERIFY(!text8->isVisible());

        clickLine(f, 1);
        doubleClickLine(f, 0);
        QVERIFY(text8->isVisible());
        QCOMPARE(f->previewLegacy(), QStringLiteral("???: Con gì keâu \"meo meo\"?   Da A: Choù   Da B: Meøo  Da  C: "
                                                    "Gaø   Da  D: VòtÑ   Dung: B"));
        QCOMPARE(text8->text(), QStringLiteral("???: Con gì kêu \"meo meo\"?   Da A: Chó   Da B: Mèo  Da  C: "
                                               "Gà   Da  D: VịtĐ   Dung: B"));
        // Another Click hides the preview again.
        clickLine(f, 1);
        QVERIFY(!text8->isVisible());
    }

    void choosingATableLocksEditingUntilViewOrCompose()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 2);
        h.fill(QuestionTable::Muc3, 4);
        EditorForm *f = h.form();
        QWidget *picture3 = testkit::widget(f, QStringLiteral("Picture3"));
        testkit::click(button(f, "Command9"));
        QVERIFY(picture3->isEnabled());
        QVERIFY(button(f, "Command1")->isEnabled());

        chooseOption(f, 3);
        QVERIFY(!picture3->isEnabled());
        QVERIFY(!button(f, "Command1")->isEnabled());
        QVERIFY(!button(f, "Command3")->isEnabled());
        // The fields cannot be typed into while the editing panel is locked.
        const QString before = field(f, "Text1")->text();
        testkit::type(field(f, "Text1"), QStringLiteral("xyz"));
        QCOMPARE(field(f, "Text1")->text(), before);

        testkit::click(button(f, "Command2"));
        QCOMPARE(lineCount(f), 4);
        QVERIFY(button(f, "Command3")->isEnabled());
        QVERIFY(!picture3->isEnabled());

        // Compose is the default button: Enter in the list composes.
        testkit::pressKey(list1(f), Qt::Key_Return);
        QVERIFY(picture3->isEnabled());
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("5"));
    }

    void thousandsOfQuestionsLoadAsOneLineEach()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc1, 3000);
        QCOMPARE(lineCount(f), 3000);
        QVERIFY(list1(f)->uniformItemSizes());
        clickLine(f, 2999);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("3000"));
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 3000"));
        // Lines are read as they are shown: a few blocks are held, not the table.
        list1(f)->scrollToBottom();
        clickLine(f, 1500);
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 1501"));
        QVERIFY(f->listModel()->rowsHeld() <= QuestionListModel::kBlockRows * QuestionListModel::kBlocksKept);
        // A gap left by another tool: lines still follow record order.
        QVERIFY(h.database->deleteQuestionsWithId(QuestionTable::Muc1, 2));
        testkit::click(button(f, "Command2"));
        QCOMPARE(lineCount(f), 2999);
        clickLine(f, 1);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestBrowser)
#include "test_browser.moc"
