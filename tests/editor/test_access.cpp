// The access-code form: only the exact code opens the editor.

#include "editorharness.h"

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void wrongCodesAreRefusedWithTheTextSelected_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("other case") << QStringLiteral("Keeper42");
        QTest::newRow("trailing blank") << QStringLiteral("keeper42 ");
        QTest::newRow("leading blank") << QStringLiteral(" keeper42");
        QTest::newRow("prefix") << QStringLiteral("keeper4");
        QTest::newRow("empty") << QString();
    }
    void wrongCodesAreRefusedWithTheTextSelected()
    {
        QFETCH(QString, code);
        EditorHarness h;
        EditorLoginForm *login = h.app->login();
        login->show();
        auto *pw = field(login, "txtPassword");
        testkit::type(pw, code);
        testkit::click(button(login, "cmdOK"));

        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].text, QStringLiteral("Invalid code, try again!"));
        QCOMPARE(h.messages[0].title, QStringLiteral("Login"));
        QCOMPARE(h.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(h.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!login->loginSucceeded());
        QVERIFY(!h.app->hasEditor());
        QVERIFY(login->isVisible());
        QCOMPARE(h.endCount, 0);
        QCOMPARE(pw->selectedText(), code);

        // The whole wrong code is selected: typing the right one replaces it.
        testkit::type(pw, QStringLiteral("keeper42"));
        QCOMPARE(pw->text(), QStringLiteral("keeper42"));
        testkit::pressKey(pw, Qt::Key_Return);
        QCOMPARE(h.messages.size(), 1);
        QVERIFY(login->loginSucceeded());
        QVERIFY(h.app->editor()->isVisible());
        QVERIFY(!login->isVisible());
    }

    void triesAreUnlimitedAndTheCodeIsMasked()
    {
        EditorHarness h;
        EditorLoginForm *login = h.app->login();
        login->show();
        auto *pw = field(login, "txtPassword");
        QCOMPARE(pw->echoMode(), QLineEdit::Password);
        testkit::type(pw, QStringLiteral("ab"));
        QCOMPARE(pw->displayText(), QStringLiteral("$$"));
        pw->clear();
        for (int i = 0; i < 5; ++i) {
            testkit::type(pw, QStringLiteral("guess%1").arg(i));
            testkit::pressKey(pw, Qt::Key_Enter);
        }
        QCOMPARE(h.messages.size(), 5);
        QVERIFY(!h.app->hasEditor());
        testkit::type(pw, QStringLiteral("keeper42"));
        testkit::click(button(login, "cmdOK"));
        QVERIFY(login->loginSucceeded());
        QVERIFY(h.app->editor()->isVisible());
    }

    void escapeCancelAndClosingEndTheEditor()
    {
        {
            EditorHarness h;
            enterCode(h, QStringLiteral("keep"), Qt::Key_Escape);
            QCOMPARE(h.endCount, 1);
            QVERIFY(h.messages.isEmpty());
            QVERIFY(!h.app->hasEditor());
        }
        {
            EditorHarness h;
            h.app->login()->show();
            testkit::click(button(h.app->login(), "cmdCancel"));
            QCOMPARE(h.endCount, 1);
        }
        {
            EditorHarness h;
            h.app->login()->show();
            h.app->login()->close();
            QCOMPARE(h.endCount, 1);
        }
    }

    void theEditorOpensOnTheFirstLevelWithNothingToEdit()
    {
        EditorHarness h;
        enterCode(h, QStringLiteral("keeper42"), Qt::Key_Return);
        EditorForm *f = h.app->editor();
        QCOMPARE(f->objectName(), QStringLiteral("Form1"));
        QVERIFY(testkit::child<QRadioButton>(f, QStringLiteral("Option1"))->isChecked());
        QCOMPARE(f->chosenTable(), db::QuestionTable::Muc1);
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture3"))->isEnabled());
        QVERIFY(!button(f, "Command1")->isEnabled());
        QVERIFY(!button(f, "Command3")->isEnabled());
        QVERIFY(button(f, "Command9")->isEnabled());

        // Exit ends the editor at once; so does closing the form.
        testkit::click(button(f, "Command4"));
        QCOMPARE(h.endCount, 1);
        QVERIFY(!f->isVisible());

        EditorHarness h2;
        EditorForm *f2 = h2.form();
        f2->close();
        QCOMPARE(h2.endCount, 1);
        QVERIFY(h2.messages.isEmpty());
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
