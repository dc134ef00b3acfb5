// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmTip.h"
#include "platform/HelpWindow.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_frmTip : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    /// Writes the tip file of the program folder; nullptr for none.
    void writeTips(const char* bytes)
    {
        const QString path = m_folder.filePath(QStringLiteral("TipofDay.txt"));
        QFile::remove(path);
        if (!bytes)
            return;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QString tipText(frmTip& tip)
    {
        return tip.findChild<QLabel*>(QStringLiteral("lblTipText"))->text();
    }

    static void nextTip(frmTip& tip)
    {
        QTest::mouseClick(tip.findChild<QPushButton*>(QStringLiteral("cmdNextTip")),
                          Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_folder.isValid());
        modMain::SetProgramFolder(m_folder.path());
    }
    void cleanup() { modMain::ResetProgramState(); }

    void oneTipShowsThatLineAndNextShowsItAgain()
    {
        writeTips("Press Show to run the show.\r\n");
        COptions options;
        frmTip tip;
        tip.setOptions(options);
        tip.show();
        QCOMPARE(tipText(tip), QStringLiteral("Press Show to run the show."));
        nextTip(tip);
        QCOMPARE(tipText(tip), QStringLiteral("Press Show to run the show."));
    }

    void nextGoesDownTheFileAndWrapsAfterTheLast()
    {
        // An empty line in the middle is a tip of its own; the last line
        // needs no line end.
        writeTips("one\r\n\r\nthree");
        frmTip tip;
        tip.show();
        for (int i = 0; i < 3 && tipText(tip) != QLatin1String("three"); ++i)
            nextTip(tip);
        QCOMPARE(tipText(tip), QStringLiteral("three"));
        nextTip(tip);
        QCOMPARE(tipText(tip), QStringLiteral("one"));
        nextTip(tip);
        QCOMPARE(tipText(tip), QString());
        nextTip(tip);
        QCOMPARE(tipText(tip), QStringLiteral("three"));
    }

    void firstTipIsChosenAtRandom()
    {
        writeTips("a\nb\nc\nd\ne\nf\ng\nh\n");
        QSet<QString> first;
        for (int i = 0; i < 60 && first.size() < 2; ++i) {
            frmTip tip;
            QVERIFY(tip.LoadTips(frmTip::tipFileName()));
            first.insert(tipText(tip));
        }
        QVERIFY(first.size() >= 2);
    }

    void tipsMadeOnTheOldSystemRead()
    {
        writeTips("Caf\xe9 and cr\xe8me.\r\n");
        frmTip tip;
        tip.show();
        QCOMPARE(tipText(tip), QStringLiteral("Café and crème."));
    }

    void emptyFileLoadsWithNoTip()
    {
        writeTips("");
        frmTip tip;
        QVERIFY(tip.LoadTips(frmTip::tipFileName()));
        tip.show();
        QCOMPARE(tipText(tip), QString());
        nextTip(tip);
        nextTip(tip);
        QCOMPARE(tipText(tip), QString());
    }

    void missingFileShowsTheInstructions()
    {
        writeTips(nullptr);
        frmTip tip;
        QVERIFY(!tip.LoadTips(frmTip::tipFileName()));
        QVERIFY(!tip.LoadTips(QString()));
        tip.show();
        QCOMPARE(tipText(tip),
                 QStringLiteral("That the TipofDay.txt file was not found? \r\n\r\n"
                                "Create a text file named TipofDay.txt using NotePad with 1 tip "
                                "per line. Then place it in the same directory as the "
                                "application. "));
        const QString instructions = tipText(tip);
        nextTip(tip);
        QCOMPARE(tipText(tip), instructions);
    }

    void checkBoxShowsAndSetsDisplayTips()
    {
        writeTips("tip\r\n");
        COptions options;
        options.DisplayTips = true;
        frmTip tip;
        tip.setOptions(options);
        tip.show();
        auto* box = tip.findChild<QCheckBox*>(QStringLiteral("chkLoadTipsAtStartup"));
        QVERIFY(box->isChecked());
        // Showing the tips changes no option.
        QVERIFY(!options.Changed);

        // On the box's square, at its left.
        const QPoint square(8, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(!box->isChecked());
        QVERIFY(!options.DisplayTips);
        QVERIFY(options.Changed);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(options.DisplayTips);
    }

    void firstActivationPlacesItTopmostAt250By100()
    {
        writeTips("tip\r\n");
        frmTip tip;
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QTRY_COMPARE(tip.pos(), QPoint(250, 100));
        QVERIFY(tip.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QSize size = tip.size();

        // Later activations leave the window where the user put it.
        tip.move(400, 300);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QCOMPARE(tip.pos(), QPoint(400, 300));
        QCOMPARE(tip.size(), size);
    }

    void shownBesideAnActiveWindowItIsAt250By100()
    {
        writeTips("tip\r\n");
        QWidget main;
        main.setGeometry(600, 400, 300, 200);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        frmTip tip;
        tip.setAttribute(Qt::WA_ShowWithoutActivating);
        tip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tip));
        QCOMPARE(tip.pos(), QPoint(250, 100));
    }

    void okClosesAndTheNextShowingReadsTheFileAgain()
    {
        writeTips("old tip\r\n");
        frmTip tip;
        tip.show();
        QTest::mouseClick(tip.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!tip.isVisible());
        QCOMPARE(tip.result(), int(QDialog::Accepted));
        writeTips("new tip\r\n");
        tip.show();
        QCOMPARE(tipText(tip), QStringLiteral("new tip"));
    }

    void shippedTipsLoadAndF1OpensTheirHelp()
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        frmTip tip;
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QVERIFY(!tipText(tip).isEmpty());
        QVERIFY(!tipText(tip).contains(QLatin1String("was not found")));
        QTest::keyClick(&tip, Qt::Key_F1);
        QVERIFY(Help::window());
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("tips.htm"));
        Help::Quit();
    }
};

QTEST_MAIN(tst_frmTip)
#include "tst_frmTip.moc"
