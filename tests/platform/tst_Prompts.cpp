// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBoxPrompts.h"
#include "platform/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>

using namespace Prompts;

class tst_Prompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultAnswers_data();
    void defaultAnswers();
    void scriptedRecordsEveryBox();
    void messageBoxShowsAndAnswers_data();
    void messageBoxShowsAndAnswers();
    void selfClosingBoxCountsDownToItsDefault();
};

void tst_Prompts::defaultAnswers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK only") << vbOKOnly << vbOK;
    QTest::newRow("yes/no") << vbYesNo + vbExclamation << vbYes;
    QTest::newRow("yes/no, No default") << vbYesNo + vbDefaultButton2 << vbNo;
    QTest::newRow("yes/no/cancel third") << vbYesNoCancel + vbDefaultButton3 << vbCancel;
    QTest::newRow("retry/cancel") << vbRetryCancel << vbRetry;
}

void tst_Prompts::defaultAnswers()
{
    QFETCH(int, buttons);
    QFETCH(int, answer);
    QCOMPARE(defaultAnswer(buttons), answer);
}

void tst_Prompts::scriptedRecordsEveryBox()
{
    ScriptedPrompts script;
    script.answer(vbNo);
    QCOMPARE(MsgBox(QStringLiteral("Save?"), vbYesNo + vbExclamation, QStringLiteral("Q")), vbNo);
    // Script used up: the box's default button answers.
    QCOMPARE(MsgBox(QStringLiteral("Done")), vbOK);
    QCOMPARE(script.shown().size(), 2);
    QCOMPARE(script.shown()[0].title, QStringLiteral("Q"));
    QCOMPARE(script.shown()[0].buttons, vbYesNo + vbExclamation);
    QCOMPARE(script.shown()[1].title, QStringLiteral("Pagewheel"));
    QCOMPARE(script.texts(), (QStringList{"Save?", "Done"}));
}

void tst_Prompts::messageBoxShowsAndAnswers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("icon");
    QTest::newRow("yes/no, click No")
        << vbYesNo + vbExclamation << int(QMessageBox::No) << vbNo << int(QMessageBox::Warning);
    QTest::newRow("yes/no/cancel, click Cancel")
        << vbYesNoCancel + vbQuestion << int(QMessageBox::Cancel) << vbCancel
        << int(QMessageBox::Question);
    QTest::newRow("OK") << vbOKOnly << int(QMessageBox::Ok) << vbOK << int(QMessageBox::NoIcon);
}

void tst_Prompts::messageBoxShowsAndAnswers()
{
    QFETCH(int, buttons);
    QFETCH(int, click);
    QFETCH(int, answer);
    QFETCH(int, icon);
    MessageBoxPrompts real;
    setBackend(&real);
    QString seenTitle;
    QString seenText;
    int seenIcon = -1;
    QTimer::singleShot(50, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        box->button(QMessageBox::StandardButton(click))->click();
    });
    const int reply = MsgBox(QStringLiteral("Question text"), buttons);
    setBackend(nullptr);
    QCOMPARE(reply, answer);
    QCOMPARE(seenTitle, QStringLiteral("Pagewheel"));
    QCOMPARE(seenText, QStringLiteral("Question text"));
    QCOMPARE(seenIcon, icon);
}

void tst_Prompts::selfClosingBoxCountsDownToItsDefault()
{
    MessageBoxPrompts real;
    setBackend(&real);
    setSelfClosingSeconds(2);
    QStringList countdown;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (!countdown.contains(box->informativeText()))
                countdown << box->informativeText();
        }
    });
    watch.start(100);
    QElapsedTimer shown;
    shown.start();
    // A question keeps its default answer; nobody clicks.
    const int reply = MsgBox(QStringLiteral("Restart?"), vbYesNo + vbDefaultButton2);
    const qint64 elapsed = shown.elapsed();
    setSelfClosingSeconds(0);
    setBackend(nullptr);
    QCOMPARE(reply, vbNo);
    QVERIFY2(elapsed >= 1900 && elapsed < 4000, qPrintable(QString::number(elapsed)));
    QCOMPARE(countdown, (QStringList{"This message closes by itself in 2 s.",
                                     "This message closes by itself in 1 s."}));
}

QTEST_MAIN(tst_Prompts)
#include "tst_Prompts.moc"
