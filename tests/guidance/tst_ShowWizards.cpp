// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/WindowPlace.h"
#include "guidance/ShowWizards.h"
#include "guidance/cWizard.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "TestWizardHost.h"
#include "WizardDriver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "webshow/frmWebShow.h"

class tst_ShowWizards : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QTemporaryDir m_folder;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        modMain::SetProgramFolder(m_folder.path());
    }

    void flowsEndAsAnswered_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastLabel");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("prompts");

        const QString where = QStringLiteral("Where will this show be run from?");
        QTest::newRow("by me, No, No, No")
            << "1 2 2 2 n" << 1
            << "Your requirements can not be handled by this wizard. Returning to the main screen."
            << QStringList() << QStringList();
        QTest::newRow("web, No, Yes goes on to the new show wizard")
            << "2 2 n 1 c" << 2
            << "Are all slides for this show made up of image files, web pages or documents on "
               "this computer?"
            << QStringList() << QStringList();
        QTest::newRow("Back on the new show wizard's first question")
            << "1 b c" << 2 << where << QStringList() << QStringList();
        QTest::newRow("Back on the web show wizard's first question")
            << "2 b c" << 2 << where << QStringList() << QStringList();
        // Yes on the first question counts as the folder question's Yes:
        // a choice made stays made.
        QTest::newRow("one folder, choice kept") << "1 1 n n" << 2
                                                 << "In the next screen you can select the "
                                                    "directory to make the show from.\r\n(You can "
                                                    "access this directly from File->New->Make "
                                                    "Show from Directory menu.)"
                                                 << QStringList{"directory"} << QStringList();
        QTest::newRow("bookmarks, Back and on")
            << "1 2 1 b 1 n" << 2
            << "In the next screen you can select a bookmark file to import. \r\n(You can access "
               "this directly from File->Import and Export->Import Bookmark.)"
            << QStringList{"bookmarks"} << QStringList();
        QTest::newRow("from scratch") << "1 2 2 1 n" << 2
                                      << "In the next screen the show editor will let you create "
                                         "a new show one slide at a time. \r\n(You can access this "
                                         "directly from File->New->New Show)"
                                      << QStringList{"blank"} << QStringList();
        QTest::newRow("Next without a choice")
            << "n 1 c" << 2
            << "Are all slides for this show made up of image "
               "files, web pages or documents on this computer?"
            << QStringList() << QStringList{"Please pick one of the choices."};
        // The frame after a Next: a Cancel, not that Next again.
        QTest::newRow("frame closes as Cancel") << "1 x" << 2
                                                << "Are all slides for this show made up of image "
                                                   "files, web pages or documents on this "
                                                   "computer?"
                                                << QStringList() << QStringList();
    }
    void flowsEndAsAnswered()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, lastLabel);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, prompts);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        WizardDriver driver(script);
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), code);
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(driver.labels.last(), lastLabel);
        QCOMPARE(host.calls, calls);
        QCOMPARE(asked.texts(), prompts);
    }

    void shortQuestionsSitLower()
    {
        // Under 100 characters a question moves down to 800 twips; an
        // information screen sits at 1200 twips.
        WizardDriver driver("c c c");
        gWizard.owner = nullptr;
        QCOMPARE(int(gWizard.do_YesNo(QString(99, QLatin1Char('q')))), 2);
        QCOMPARE(int(gWizard.do_YesNo(QString(100, QLatin1Char('q')))), 2);
        QCOMPARE(int(gWizard.do_Inform(QStringLiteral("Done."))), 0);
        QCOMPARE(driver.tops.size(), 3);
        QVERIFY(qAbs(driver.tops.at(0) - WindowPlace::toPixels(800)) <= 1);
        QVERIFY(driver.tops.at(1) < driver.tops.at(0));
        QVERIFY(qAbs(driver.tops.at(2) - WindowPlace::toPixels(1200)) <= 1);
    }

    void webShowDialogIsFilledFromTheAnswers()
    {
        ScriptedPrompts prompts;
        TestWizardHost host;
        COptions options;
        colURLs show;
        show.TrayFilename = m_folder.filePath(QStringLiteral("Holiday.txt"));
        const QString pages = m_folder.filePath(QStringLiteral("pages"));
        // Web, an existing show (the current one), posted, with local paths
        // to change; the start page browsed as a full path; an empty field
        // refused once.
        WizardDriver driver("2 1 cur 1 1 n 1 t:/home/me/show|http://example.com/show "
                            "f:/home/me/show/Begin.htm t: t:" +
                            pages + " n 1 2 n");
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), 2);
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(prompts.texts(), QStringList{"Please enter something in the field."});

        auto* dialog = host.window.findChild<frmWebShow*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->findChild<QRadioButton*>("optShowType1")->isChecked());
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPathLcl")->text(), "/home/me/show");
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPathWeb")->text(), "http://example.com/show");
        QCOMPARE(dialog->findChild<QLineEdit*>("txtStartFile")->text(), "Begin.htm");
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPath")->text(), pages);
        QVERIFY(dialog->findChild<QCheckBox*>("chkAutoStart")->isChecked());
        QVERIFY(!dialog->findChild<QCheckBox*>("chkUseSnd")->isChecked());
        delete dialog;
    }

    void localShowSkipsTheRelocation()
    {
        // Not posted: no relocation, the folder question offers the
        // default folder, and the dialog makes a local show.
        ScriptedPrompts prompts;
        TestWizardHost host;
        COptions options;
        colURLs show;
        show.TrayFilename = m_folder.filePath(QStringLiteral("Holiday.txt"));
        WizardDriver driver("2 1 cur 2 n n 2 1 n");
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), 2);
        QCOMPARE(driver.left, QStringList());
        auto* dialog = host.window.findChild<frmWebShow*>();
        QVERIFY(dialog);
        QVERIFY(dialog->findChild<QRadioButton*>("optShowType0")->isChecked());
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPathLcl")->text(), QString());
        QCOMPARE(dialog->findChild<QLineEdit*>("txtStartFile")->text(), "StrtShow.htm");
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPath")->text(), frmWebShow::DefaultFolder());
        QVERIFY(!dialog->findChild<QCheckBox*>("chkAutoStart")->isChecked());
        QVERIFY(dialog->findChild<QCheckBox*>("chkUseSnd")->isChecked());
        delete dialog;
    }
};

QTEST_MAIN(tst_ShowWizards)
#include "tst_ShowWizards.moc"
