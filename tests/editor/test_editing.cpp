// Composing and saving questions, removing them with or without a trash copy,
// the renumbering after a removal, and bringing questions back from the trash.

#include "editorharness.h"
#include "editorwidgets.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <chrono>
#include <future>
#include <thread>

using db::QuestionTable;

namespace {

const QString kAskTrash = QStringLiteral("Baûn coï muäún  læu vaìo thuìng raïc khäng ?");
const QString kSavedTrash =
    QStringLiteral("Baûn âaî læu vaìo thuìng raïc,báy giåì vui loìng xoaï trong danh muc naìy !");

QString command6Caption(QWidget *f)
{
    return testkit::child<LegacyButton>(f, QStringLiteral("Command6"))->caption();
}

QStringList texts(const QList<db::Question> &rows)
{
    QStringList out;
    for (const db::Question &r : rows)
        out.append(r.cauhoi);
    return out;
}

QList<qint64> selectedIds(const QList<db::Question> &rows)
{
    QList<qint64> out;
    for (const db::Question &r : rows)
        if (r.selected)
            out.append(r.id);
    return out;
}

void clearSelectedFlags(EditorHarness &h, QuestionTable t)
{
    // (1 = 0): false on both stores
    QVERIFY(testkit::execAll(*h.database, {QStringLiteral("UPDATE %1 SET selected = (1 = 0)").arg(db::tableName(t))}));
}

// Types one question into the editing panel.
void typeQuestion(QWidget *f, const QStringList &fields)
{
    const char *names[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    for (int i = 0; i < 6; ++i)
        testkit::type(field(f, names[i]), fields.value(i));
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void composeTakesTheNextIdAndEachSaveAdvancesIt()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc1, 20);
        clickLine(f, 4);
        testkit::click(button(f, "Command9"));

        QVERIFY(!testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Picture3"))->isEnabled());
        QVERIFY(button(f, "Command1")->isEnabled());
        QVERIFY(!button(f, "Command3")->isEnabled());
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("21"));
        // The shown question is kept: saving it unchanged stores its bytes again.
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 5"));
        testkit::click(button(f, "Command1"));
        for (const char *name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"})
            QVERIFY2(field(f, name)->text().isEmpty(), name);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("22"));

        // Typed Unicode Vietnamese (the last answer typed decomposed) is stored as VNI.
        typeQuestion(f, {QStringLiteral("Sông nào dài nhất Việt Nam?"), QStringLiteral("Sông Hồng"),
                         QStringLiteral("Sông Cửu Long"), QStringLiteral("Sông Đà"),
                         QStringLiteral("So\u0302ng Ma\u0303"), QStringLiteral("B")});
        testkit::click(button(f, "Command1"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("23"));
        QVERIFY(h.messages.isEmpty());

        const QList<db::Question> rows = h.rows(QuestionTable::Muc1);
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(22));
        const db::Question &copy = rows[20];
        QCOMPARE(copy.cauhoi, QStringLiteral("Caâu hoûi soá 5"));
        QCOMPARE(copy.a, QStringLiteral("Ñaùp aùn A5"));
        const db::Question &typed = rows[21];
        QCOMPARE(typed.cauhoi, QStringLiteral("Soâng naøo daøi nhaát Vieät Nam?"));
        QCOMPARE(typed.a, QStringLiteral("Soâng Hoàng"));
        QCOMPARE(typed.b, QStringLiteral("Soâng Cöûu Long"));
        QCOMPARE(typed.c, QStringLiteral("Soâng Ñaø"));
        QCOMPARE(typed.d, QStringLiteral("Soâng Maõ"));
        QCOMPARE(typed.traloi, QStringLiteral("B"));
        // New rows leave selected unset.
        QVERIFY(!copy.selected && !typed.selected);

        // The saved question lists and shows as typed.
        testkit::click(button(f, "Command2"));
        QCOMPARE(lineCount(f), 22);
        QCOMPARE(listLines(f).last(), QStringLiteral("Sông nào dài nhất Việt Nam?"));
        clickLine(f, 21);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("22"));
        QCOMPARE(field(f, "Text3")->text(), QStringLiteral("Sông Cửu Long"));
        QCOMPARE(field(f, "Text5")->text(), QStringLiteral("Sông Mã"));
    }

    void composeNeverKeepsAStaleId()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 20);
        EditorForm *f = h.form();
        testkit::click(button(f, "Command9"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("21"));
        bool renamed = false;
        h.database->withConnection(
                [&](QSqlDatabase c) { renamed = QSqlQuery(c).exec(QStringLiteral("ALTER TABLE muc1 RENAME TO muc1_gone")); });
        QVERIFY(renamed);
        testkit::click(button(f, "Command9"));
        QVERIFY(field(f, "Text7")->text().isEmpty());
        QCOMPARE(h.messages.size(), 1);
    }

    void textWithoutAVniFormIsNotStored()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc2, 3);
        EditorForm *f = h.form();
        chooseOption(f, 2);
        testkit::click(button(f, "Command9"));
        typeQuestion(f, {QStringLiteral("Giá vé là bao nhiêu?"), QStringLiteral("5 €"), QStringLiteral("6"),
                         QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("A")});
        testkit::click(button(f, "Command1"));

        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].icon, QMessageBox::Warning);
        QVERIFY2(h.lastMessage().contains(QStringLiteral("\u201C€\u201D (U+20AC)")), qPrintable(h.lastMessage()));
        QVERIFY(h.lastMessage().contains(QStringLiteral("chưa được lưu")));
        QCOMPARE(h.ids(QuestionTable::Muc2), EditorHarness::range(3));
        // Nothing typed is lost.
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("5 €"));
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Giá vé là bao nhiêu?"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("4"));

        // Fixed, it saves with the ID shown.
        field(f, "Text2")->clear();
        testkit::type(field(f, "Text2"), QStringLiteral("5 đô"));
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.ids(QuestionTable::Muc2), EditorHarness::range(4));
        QCOMPARE(h.rows(QuestionTable::Muc2)[3].a, QStringLiteral("5 ñoâ"));
    }

    void composeOnAnEmptyTableStartsAtOneAndTheTrashTakesNoNewQuestions()
    {
        EditorHarness h;
        h.setRows(QuestionTable::Thuthach, {});
        EditorForm *f = h.form();
        chooseOption(f, 4);
        testkit::click(button(f, "Command9"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("1"));
        typeQuestion(f, {QStringLiteral("Xếp theo thứ tự"), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("DCBA")});
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.ids(QuestionTable::Thuthach), EditorHarness::range(1));
        QCOMPARE(h.rows(QuestionTable::Thuthach)[0].traloi, QStringLiteral("DCBA"));

        // Compose with the trash chosen leaves the ID; a save there stores nothing
        // and keeps what was typed.
        chooseOption(f, 5);
        testkit::click(button(f, "Command9"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("2"));
        testkit::type(field(f, "Text1"), QStringLiteral("Câu mới"));
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.database->questionCount(QuestionTable::Thungrac), 0);
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu mới"));
    }

    void closingTheListPanelPreparesAnEmptyQuestion()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc3, 6);
        clickLine(f, 2);
        testkit::click(button(f, "Command8"));
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Picture3"))->isEnabled());
        QVERIFY(!button(f, "Command1")->isEnabled());
        QVERIFY(!button(f, "Command3")->isEnabled());
        QCOMPARE(field(f, "Text1")->text(), QString());
        QCOMPARE(field(f, "Text6")->text(), QString());
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("7"));
    }

    void removingLineThreeOfFive_data() { testkit::twoCases("copy", "without trash copy", "with trash copy"); }
    void removingLineThreeOfFive()
    {
        QFETCH(bool, copy);
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 5);
        clearSelectedFlags(h, QuestionTable::Muc1);
        EditorForm *f = h.form();
        testkit::click(button(f, "Command2"));
        clickLine(f, 2);
        testkit::click(button(f, "Command3"));

        QWidget *picture2 = testkit::widget(f, QStringLiteral("Picture2"));
        QVERIFY(picture2->isVisible());
        QVERIFY(!list1(f)->isEnabled());
        QVERIFY(button(f, "Command10")->isEnabled());
        QCOMPARE(testkit::caption(f, QStringLiteral("Label1(7)")), kAskTrash);
        QCOMPARE(command6Caption(f), QStringLiteral("Khäng læu"));
        QCOMPARE(f->nextTrashId(), QStringLiteral("1")); // the trash is empty

        if (copy) {
            testkit::click(button(f, "Command10"));
            QCOMPARE(testkit::caption(f, QStringLiteral("Label1(7)")), kSavedTrash);
            QVERIFY(!button(f, "Command10")->isEnabled());
            QCOMPARE(command6Caption(f), QStringLiteral("Xoaï cáu hoíi"));
            QCOMPARE(field(f, "Text1")->text(), QString());
            const QList<db::Question> trash = h.rows(QuestionTable::Thungrac);
            QCOMPARE(trash.size(), 1);
            QCOMPARE(trash[0].id, 1);
            QCOMPARE(trash[0].cauhoi, QStringLiteral("Caâu hoûi soá 3"));
            QCOMPARE(trash[0].a, QStringLiteral("Ñaùp aùn A3"));
            QCOMPARE(trash[0].d, QStringLiteral("D3"));
            QCOMPARE(trash[0].traloi, QStringLiteral("B"));
            QVERIFY(!trash[0].selected);
            // Still in its own table until removed there.
            QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(5));
        }
        testkit::click(button(f, "Command6"));

        QVERIFY(!picture2->isVisible());
        QVERIFY(list1(f)->isEnabled());
        const QList<db::Question> rows = h.rows(QuestionTable::Muc1);
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(4));
        QCOMPARE(texts(rows), (QStringList{QStringLiteral("Caâu hoûi soá 1"), QStringLiteral("Caâu hoûi soá 2"),
                                           QStringLiteral("Caâu hoûi soá 4"), QStringLiteral("Caâu hoûi soá 5")}));
        QCOMPARE(rows[2].a, QStringLiteral("Ñaùp aùn A4"));
        QCOMPARE(selectedIds(rows), EditorHarness::range(4));
        QCOMPARE(h.database->questionCount(QuestionTable::Thungrac), copy ? 1 : 0);
        // The list is reloaded and shows its first question.
        QCOMPARE(lineCount(f), 4);
        QCOMPARE(currentLine(f), 0);
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("1"));
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 1"));
        QVERIFY(h.messages.isEmpty());
    }

    void copyThenCancelKeepsBothAndTheTrashCountsOn()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc2, 3);
        h.fill(QuestionTable::Thungrac, 7);
        EditorForm *f = h.form();
        chooseOption(f, 2);
        testkit::click(button(f, "Command2"));
        clickLine(f, 1);
        testkit::click(button(f, "Command3"));
        QCOMPARE(f->nextTrashId(), QStringLiteral("8"));
        testkit::click(button(f, "Command10"));
        testkit::click(button(f, "Command7"));

        QVERIFY(!testkit::widget(f, QStringLiteral("Picture2"))->isVisible());
        QVERIFY(list1(f)->isEnabled());
        QCOMPARE(h.ids(QuestionTable::Muc2), EditorHarness::range(3));
        QCOMPARE(h.ids(QuestionTable::Thungrac), EditorHarness::range(8));
        QCOMPARE(h.rows(QuestionTable::Thungrac)[7].cauhoi, QStringLiteral("Caâu hoûi soá 2"));
    }

    void renumberingSetsSelectedBelowOneHundredAtAnySize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("line");
        QTest::newRow("121 rows, first line") << 121 << 0;
        QTest::newRow("300 rows, line 260") << 300 << 260;
    }
    void renumberingSetsSelectedBelowOneHundredAtAnySize()
    {
        QFETCH(int, size);
        QFETCH(int, line);
        EditorHarness h;
        h.fill(QuestionTable::Muc3, size);
        clearSelectedFlags(h, QuestionTable::Muc3);
        EditorForm *f = h.form();
        chooseOption(f, 3);
        testkit::click(button(f, "Command2"));
        clickLine(f, line);
        QCOMPARE(field(f, "Text7")->text(), QString::number(line + 1));
        testkit::click(button(f, "Command3"));
        testkit::click(button(f, "Command6"));

        const QList<db::Question> rows = h.rows(QuestionTable::Muc3);
        QCOMPARE(h.ids(QuestionTable::Muc3), EditorHarness::range(size - 1));
        QCOMPARE(selectedIds(rows), EditorHarness::range(99));
        QCOMPARE(rows[line].cauhoi, QStringLiteral("Caâu hoûi soá %1").arg(line + 2));
        QCOMPARE(rows.last().cauhoi, QStringLiteral("Caâu hoûi soá %1").arg(size));
        QCOMPARE(lineCount(f), size - 1);
    }

    void renumberingClosesGapsAndDuplicatesLeftByOthers()
    {
        EditorHarness h;
        QList<db::Question> rows;
        for (qint64 id : {2, 5, 5, 9, 120})
            rows.append(EditorHarness::question(id, QStringLiteral("Caâu %1").arg(rows.size() + 1)));
        h.setRows(QuestionTable::Thuthach, rows);
        EditorForm *f = h.form();
        QVERIFY(f->Sapxeptt());
        const QList<db::Question> after = h.rows(QuestionTable::Thuthach);
        QCOMPARE(h.ids(QuestionTable::Thuthach), EditorHarness::range(5));
        QCOMPARE(texts(after), (QStringList{QStringLiteral("Caâu 1"), QStringLiteral("Caâu 2"),
                                            QStringLiteral("Caâu 3"), QStringLiteral("Caâu 4"),
                                            QStringLiteral("Caâu 5")}));
        QCOMPARE(selectedIds(after), EditorHarness::range(5));
    }

    void aFailedRemovalLeavesTheTableAsItWas()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 120);
        // Something refuses the renumbering half-way through.
        QVERIFY(testkit::refuseWrites(*h.database, QStringLiteral("muc1"), QStringLiteral("UPDATE OF ID"), true,
                                      QStringLiteral("NEW.ID = 60")));
        const QList<db::Question> before = h.rows(QuestionTable::Muc1);
        EditorForm *f = h.form();
        testkit::click(button(f, "Command2"));
        clickLine(f, 9);
        testkit::click(button(f, "Command3"));
        testkit::click(button(f, "Command6"));

        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].icon, QMessageBox::Critical);
        const QList<db::Question> after = h.rows(QuestionTable::Muc1);
        QCOMPARE(after.size(), 120);
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(120));
        QCOMPARE(texts(after), texts(before));
        QCOMPARE(selectedIds(after), selectedIds(before));
        QCOMPARE(lineCount(f), 120);

        QVERIFY(testkit::refuseWrites(*h.database, QStringLiteral("muc1"), QStringLiteral("UPDATE"), false));
        clickLine(f, 9);
        testkit::click(button(f, "Command3"));
        testkit::click(button(f, "Command6"));
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(119));
        QCOMPARE(h.rows(QuestionTable::Muc1)[9].cauhoi, QStringLiteral("Caâu hoûi soá 11"));
    }

    void aQuestionChangedElsewhereIsNotRemoved()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc2, 4);
        clickLine(f, 1);
        testkit::click(button(f, "Command3"));
        // Another program removes that question (and renumbers) meanwhile.
        QVERIFY(h.database->deleteAndRenumber(QuestionTable::Muc2, 2));
        testkit::click(button(f, "Command6"));

        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(texts(h.rows(QuestionTable::Muc2)),
                 (QStringList{QStringLiteral("Caâu hoûi soá 1"), QStringLiteral("Caâu hoûi soá 3"),
                              QStringLiteral("Caâu hoûi soá 4")}));
        QCOMPARE(lineCount(f), 3);
    }

    void aRemovalWaitsForAnotherWriterAndLeavesNoGap()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc1, 5);
        clickLine(f, 2);
        testkit::click(button(f, "Command3"));

        // A second program holds the write lock while it appends question 6.
        std::promise<bool> locked;
        std::thread other([&h, &locked] {
            const auto d = h.another();
            db::Question six = EditorHarness::question(6, QStringLiteral("Caâu hoûi soá 6"));
            const bool ok = d && testkit::holdWriteLock(*d) && d->appendQuestion(QuestionTable::Muc1, six);
            locked.set_value(ok);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (d)
                d->commit();
        });
        QVERIFY(locked.get_future().get());
        testkit::click(button(f, "Command6"));
        other.join();

        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(5));
        QCOMPARE(texts(h.rows(QuestionTable::Muc1)),
                 (QStringList{QStringLiteral("Caâu hoûi soá 1"), QStringLiteral("Caâu hoûi soá 2"),
                              QStringLiteral("Caâu hoûi soá 4"), QStringLiteral("Caâu hoûi soá 5"),
                              QStringLiteral("Caâu hoûi soá 6")}));
    }

    void aQuestionComesBackFromTheTrash()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc2, 8);
        db::Question kept = EditorHarness::question(2, QStringLiteral("Ai laø taùc giaû 'Truyeän Kieàu'?"));
        kept.a = QStringLiteral("Nguyeãn Du");
        kept.traloi = QStringLiteral("A");
        db::Question other = EditorHarness::question(1, QStringLiteral("Caâu khaùc"));
        h.setRows(QuestionTable::Thungrac, {other, kept});
        EditorForm *f = h.form();
        chooseOption(f, 5);
        testkit::click(button(f, "Command2"));
        clickLine(f, 1);
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("Nguyễn Du"));
        chooseOption(f, 2);
        testkit::click(button(f, "Command9"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("9"));
        testkit::click(button(f, "Command1"));

        const QList<db::Question> level = h.rows(QuestionTable::Muc2);
        QCOMPARE(h.ids(QuestionTable::Muc2), EditorHarness::range(9));
        QCOMPARE(level[8].cauhoi, kept.cauhoi);
        QCOMPARE(level[8].a, kept.a);
        QCOMPARE(level[8].b, kept.b);
        QCOMPARE(level[8].traloi, QStringLiteral("A"));
        QCOMPARE(h.database->questionCount(QuestionTable::Thungrac), 2);
    }

    void theTrashRemovesItsOwnQuestionsWithoutCopying()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Thungrac, 3);
        clickLine(f, 1);
        testkit::click(button(f, "Command3"));
        QCOMPARE(f->nextTrashId(), QString()); // not asked for the trash itself
        testkit::click(button(f, "Command10"));
        QCOMPARE(command6Caption(f), QStringLiteral("Xoaï cáu hoíi"));
        QCOMPARE(h.ids(QuestionTable::Thungrac), EditorHarness::range(3));
        // No copy was made, so the shown question stays.
        QCOMPARE(field(f, "Text1")->text(), QStringLiteral("Câu hỏi số 2"));
        testkit::click(button(f, "Command6"));

        QCOMPARE(h.ids(QuestionTable::Thungrac), EditorHarness::range(2));
        QCOMPARE(texts(h.rows(QuestionTable::Thungrac)),
                 (QStringList{QStringLiteral("Caâu hoûi soá 1"), QStringLiteral("Caâu hoûi soá 3")}));
        QCOMPARE(lineCount(f), 2);
    }

    void deleteFollowsViewEvenOnAnEmptyTable()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 4);
        h.setRows(QuestionTable::Muc3, {});
        EditorForm *f = h.form();
        QWidget *picture2 = testkit::widget(f, QStringLiteral("Picture2"));
        testkit::click(button(f, "Command2"));
        QVERIFY(button(f, "Command3")->isEnabled());
        chooseOption(f, 3);
        QVERIFY(!button(f, "Command3")->isEnabled());

        // View offers Delete on an empty table too: its removal deletes nothing.
        testkit::click(button(f, "Command2"));
        QCOMPARE(lineCount(f), 0);
        QVERIFY(button(f, "Command3")->isEnabled());
        testkit::click(button(f, "Command3"));
        QVERIFY(picture2->isVisible());
        testkit::click(button(f, "Command6"));
        QVERIFY(!picture2->isVisible());
        QCOMPARE(h.database->questionCount(QuestionTable::Muc3), 0);
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(4));
        testkit::click(button(f, "Command9"));
        QVERIFY(!button(f, "Command3")->isEnabled());
        QVERIFY(h.messages.isEmpty());
    }

    void theTrashCopyIsWhatTheFieldsShow()
    {
        // After Compose the fields stay editable while browsing: the copy is
        // of the question as shown, the removal of the selected line.
        EditorHarness h;
        h.fill(QuestionTable::Muc2, 3);
        EditorForm *f = h.form();
        chooseOption(f, 2);
        testkit::click(button(f, "Command9"));
        testkit::click(button(f, "Command2"));
        clickLine(f, 1);
        field(f, "Text1")->clear();
        testkit::type(field(f, "Text1"), QStringLiteral("Câu đã sửa"));
        testkit::click(button(f, "Command3"));
        testkit::click(button(f, "Command10"));
        const QList<db::Question> trash = h.rows(QuestionTable::Thungrac);
        QCOMPARE(trash.size(), 1);
        QCOMPARE(trash[0].cauhoi, vn::encode(QStringLiteral("Câu đã sửa"), vn::Encoding::Vni).value());
        QCOMPARE(trash[0].a, QStringLiteral("Ñaùp aùn A2"));
        testkit::click(button(f, "Command6"));
        QCOMPARE(texts(h.rows(QuestionTable::Muc2)),
                 (QStringList{QStringLiteral("Caâu hoûi soá 1"), QStringLiteral("Caâu hoûi soá 3")}));
    }

    void whatTheImportRefusesSaveRefuses()
    {
        EditorHarness h;
        h.fill(QuestionTable::Muc1, 2);
        EditorForm *f = h.form();
        testkit::click(button(f, "Command9"));
        QCOMPARE(field(f, "Text7")->text(), QStringLiteral("3"));

        // Blank fields and an answer no player can get right, said as the
        // import says them; the first faulty field takes the focus.
        typeQuestion(f, {QStringLiteral("  "), QStringLiteral("Một"), QString(), QStringLiteral("Ba"),
                         QStringLiteral("Bốn"), QStringLiteral("E")});
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.messages.size(), 1);
        QVERIFY2(h.lastMessage().contains(QStringLiteral("chưa được lưu")), qPrintable(h.lastMessage()));
        QVERIFY(h.lastMessage().contains(QStringLiteral("Ô \u201CCâu hỏi\u201D: trống\nÔ \u201CB\u201D: trống\n"
                                                        "Ô \u201CĐáp án\u201D: \u201CE\u201D không phải một trong "
                                                        "các chữ A, B, C, D")));
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(field(f, "Text1")));
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(2));

        // Apostrophes and quotes, and text pasted over several lines (decomposed
        // Vietnamese, CR LF, a tab): one line, stored as VNI. A text longer
        // than the column holds is refused; 255 stored characters fit.
        auto paste = [](QLineEdit *e, const QString &text) {
            QGuiApplication::clipboard()->setText(text);
            e->setFocus();
            e->selectAll();
            QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        };
        paste(field(f, "Text1"), QStringLiteral("It's \"Kiều\"?"));
        paste(field(f, "Text2"), QStringLiteral("Nguye\u0302\u0303n\r\nDu\tx"));
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("Nguye\u0302\u0303n Du x"));
        paste(field(f, "Text3"), QString(128, QChar(0x1EBF))); // "ế", two characters stored
        paste(field(f, "Text6"), QStringLiteral("A"));
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.messages.size(), 2);
        QVERIFY2(h.lastMessage().contains(QStringLiteral("Ô \u201CB\u201D: quá dài: 256 ký tự")), qPrintable(h.lastMessage()));
        const QString fits = QString(127, QChar(0x1EBF)) + QLatin1Char('x');
        paste(field(f, "Text3"), fits);
        testkit::click(button(f, "Command1"));
        QCOMPARE(h.messages.size(), 2);
        const db::Question saved = h.rows(QuestionTable::Muc1).last();
        QCOMPARE(saved.id, 3);
        QCOMPARE(saved.cauhoi, QStringLiteral("It's \"Kieàu\"?"));
        QCOMPARE(saved.a, QStringLiteral("Nguyeãn Du x"));
        QCOMPARE(saved.b.size(), 255);

        // The qualifying round wants an order of A, B, C, D once each.
        chooseOption(f, 4);
        testkit::click(button(f, "Command9"));
        typeQuestion(f, {QStringLiteral("Xếp?"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                         QStringLiteral("4"), QStringLiteral("ABCC")});
        const qsizetype before = h.rows(QuestionTable::Thuthach).size();
        testkit::click(button(f, "Command1"));
        QVERIFY2(h.lastMessage().contains(QStringLiteral("\u201CABCC\u201D không phải một thứ tự của bốn chữ A, B, C, D")),
                 qPrintable(h.lastMessage()));
        QCOMPARE(h.rows(QuestionTable::Thuthach).size(), before);

        // Chinese has no VNI form: refused with the character named, nothing lost.
        chooseOption(f, 1);
        testkit::click(button(f, "Command9"));
        typeQuestion(f, {QStringLiteral("Đâu?"), QStringLiteral("1"), QStringLiteral("2"), QString(),
                         QStringLiteral("4"), QStringLiteral("C")});
        paste(field(f, "Text4"), QStringLiteral("北京"));
        testkit::click(button(f, "Command1"));
        QVERIFY2(h.lastMessage().contains(QStringLiteral("Ô \u201CC\u201D: ký tự \u201C北\u201D (U+5317)")),
                 qPrintable(h.lastMessage()));
        QCOMPARE(field(f, "Text4")->text(), QStringLiteral("北京"));
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(3));
    }

    void storedTextsGoBackByteForByte()
    {
        // Texts the editor would not produce itself (with line breaks) are
        // copied unchanged when a shown question is saved again.
        EditorHarness h;
        db::Question odd = EditorHarness::question(1, QString(255, QLatin1Char('x')));
        odd.a = QStringLiteral("hai\r\ndoøng");
        h.setRows(QuestionTable::Thungrac, {odd});
        h.fill(QuestionTable::Muc2, 1);
        EditorForm *f = h.form();
        chooseOption(f, 5);
        testkit::click(button(f, "Command2"));
        QCOMPARE(field(f, "Text2")->text(), QStringLiteral("hai dòng"));
        chooseOption(f, 2);
        testkit::click(button(f, "Command9"));
        testkit::click(button(f, "Command1"));
        const db::Question copy = h.rows(QuestionTable::Muc2).last();
        QCOMPARE(copy.id, 2);
        QCOMPARE(copy.cauhoi, odd.cauhoi);
        QCOMPARE(copy.a, odd.a);
    }

    void aReloadDropsAWaitingConfirmation()
    {
        EditorHarness h;
        EditorForm *f = listed(h, QuestionTable::Muc1, 5);
        clickLine(f, 3);
        testkit::click(button(f, "Command3"));
        testkit::click(button(f, "Command9"));
        testkit::click(button(f, "Command2"));
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture2"))->isVisible());
        QVERIFY(list1(f)->isEnabled());
        QCOMPARE(h.ids(QuestionTable::Muc1), EditorHarness::range(5));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
