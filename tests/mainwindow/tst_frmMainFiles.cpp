// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: open, save, save as, the recent list,
// bookmarks, a single slide and the options file.
#include "MainWindowRig.h"

#include "mainwindow/ShowFiles.h"
#include "mainwindow/frmMain.h"
#include "webshow/frmWebShow.h"
#include "platform/Prompts.h"
#include "startup/modMain.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using Prompts::vbCancel;
using Prompts::vbNo;
using Prompts::vbYes;

namespace {

const QString TitleSuffix = QStringLiteral(" - Vexilo Software Pagewheel");

QStringList recentCaptions(QWidget* window)
{
    QStringList captions;
    for (int i = 1; i <= 5; ++i) {
        QAction* entry = MainWindowRig::action(window, QStringLiteral("mnuFileArray%1").arg(i));
        if (entry->isVisible())
            captions.append(entry->text());
    }
    return captions;
}

QString statusOf(QWidget* window)
{
    return window->findChild<QLabel*>(QStringLiteral("pnlStatus"))->text();
}

void trigger(QWidget* window, const char* name)
{
    MainWindowRig::action(window, QLatin1String(name))->trigger();
}

} // namespace

class tst_frmMainFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void openLoadsAShowAndListsIt();
    void openCancelledOrFailedChangesNothing();
    void openOffersToSaveEdits();
    void saveWritesTheShowItCameFrom();
    void saveAsAsksBeforeOverwriting_data();
    void saveAsAsksBeforeOverwriting();
    void saveAsUnderTheSameNameAsksNothing();
    void newShowIsSavedUnderANameAskedFor();
    void recentListKeepsFiveWithoutDuplicates();
    void recentEntryWithoutASeparatorIsFlagged();
    void recentEntryOpensItsShow();
    void newShowNameTakesALetter();
    void importMakesANewShowExportWritesBookmarks();
    void slideOpenShowsTheChosenFile();
    void optionsSaveToFile();
    void saveAsWebShowMakesThePagesOfTheShow();

private:
    std::unique_ptr<MainWindowRig> m_rig;
};

void tst_frmMainFiles::init()
{
    m_rig = std::make_unique<MainWindowRig>();
}

void tst_frmMainFiles::cleanup()
{
    m_rig.reset();
}

void tst_frmMainFiles::openLoadsAShowAndListsIt()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QString other = m_rig->writeShow(
        QStringLiteral("Lobby.TXT"), {"http://127.0.0.1:9/a.html", "http://127.0.0.1:9/b.html"});
    m_rig->dialogs.chooseFile(other);
    trigger(window, "mnuFileOpen");

    const CommonDialog::Request request = m_rig->dialogs.requests().first();
    QCOMPARE(request.kind, CommonDialog::Kind::Open);
    QCOMPARE(QDir(request.InitDir).canonicalPath(),
             QDir(m_rig->program.filePath(QStringLiteral("data"))).canonicalPath());

    QCOMPARE(window->Show().Count(), 2);
    QCOMPARE(window->Options().CarouselFileName, other);
    QCOMPARE(window->windowTitle(), QStringLiteral("Lobby") + TitleSuffix);
    QCOMPARE(recentCaptions(window), (QStringList{m_rig->showFile(), other}));
    QVERIFY(window->Options().Changed);

    // The toolbar's Open: the dialog keeps the folder its first use set.
    m_rig->dialogs.cancel();
    trigger(window, "tbrCollectOpen");
    QCOMPARE(m_rig->dialogs.requests().size(), 2);
    QCOMPARE(m_rig->dialogs.requests().at(1).FileName, other);
    QCOMPARE(m_rig->dialogs.requests().at(1).InitDir, request.InitDir);
}

void tst_frmMainFiles::openCancelledOrFailedChangesNothing()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    m_rig->dialogs.cancel();
    trigger(window, "mnuFileOpen");
    QCOMPARE(window->Show().Count(), 3);
    QCOMPARE(window->Show().TrayFilename, m_rig->showFile());
    QCOMPARE(recentCaptions(window), QStringList{m_rig->showFile()});

    // A show that cannot be read is not listed.
    const QString missing = m_rig->files.filePath(QStringLiteral("missing.txt"));
    m_rig->dialogs.chooseFile(missing);
    trigger(window, "mnuFileOpen");
    QCOMPARE(recentCaptions(window), QStringList{m_rig->showFile()});
    QCOMPARE(window->Show().Count(), 0);
}

void tst_frmMainFiles::openOffersToSaveEdits()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Show().Changed = true;
    m_rig->prompts.answer(vbCancel);
    trigger(window, "mnuFileOpen");
    QCOMPARE(m_rig->prompts.shown().size(), 1);
    QVERIFY(m_rig->boxes().first().contains(m_rig->showFile()));
    // Cancel: no dialog, the show stays.
    QVERIFY(m_rig->dialogs.requests().isEmpty());
    QVERIFY(window->Show().Changed);

    // No: the show is dropped unsaved and the new one comes without edits.
    const QString other = m_rig->writeShow(QStringLiteral("other.txt"), {"http://127.0.0.1:9/x"});
    const QByteArray before = MainWindowRig::readFile(m_rig->showFile());
    m_rig->prompts.answer(vbNo);
    m_rig->dialogs.chooseFile(other);
    trigger(window, "mnuFileOpen");
    QCOMPARE(window->Show().TrayFilename, other);
    QVERIFY(!window->Show().Changed);
    QCOMPARE(MainWindowRig::readFile(m_rig->showFile()), before);
}

void tst_frmMainFiles::saveWritesTheShowItCameFrom()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Show().Item(2)->PauseTime = 42;
    window->Show().Changed = true;
    trigger(window, "mnuFileSave");
    QVERIFY(m_rig->dialogs.requests().isEmpty());
    QVERIFY(MainWindowRig::readFile(m_rig->showFile())
                .contains("\"http://127.0.0.1:9/two.html\",\"\",\"42\","));
    QVERIFY(!window->Show().Changed);
    QVERIFY(m_rig->boxes().isEmpty());
}

void tst_frmMainFiles::saveAsAsksBeforeOverwriting_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<bool>("overwritten");
    QTest::addColumn<bool>("savedElsewhere");
    QTest::addRow("yes") << QList<int>{vbYes} << 1 << true << false;
    QTest::addRow("no, then another name") << QList<int>{vbNo} << 2 << false << true;
    QTest::addRow("cancel") << QList<int>{vbCancel} << 1 << false << false;
}

void tst_frmMainFiles::saveAsAsksBeforeOverwriting()
{
    QFETCH(QList<int>, answers);
    QFETCH(int, dialogs);
    QFETCH(bool, overwritten);
    QFETCH(bool, savedElsewhere);
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QString existing = m_rig->writeFile(QStringLiteral("existing.txt"), "old\r\n");
    const QString fresh = m_rig->files.filePath(QStringLiteral("fresh.txt"));
    for (int answer : answers)
        m_rig->prompts.answer(answer);
    m_rig->dialogs.chooseFile(existing);
    m_rig->dialogs.chooseFile(fresh);

    trigger(window, "mnuFileSaveAsFile");

    QCOMPARE(m_rig->dialogs.requests().size(), dialogs);
    QCOMPARE(m_rig->dialogs.requests().first().FileName, m_rig->showFile());
    QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("Do you want to overwrite this file?")});

    QCOMPARE(MainWindowRig::readFile(existing) != "old\r\n", overwritten);
    QCOMPARE(QFile::exists(fresh), savedElsewhere);
    const QString savedAs = overwritten ? existing : savedElsewhere ? fresh : m_rig->showFile();
    QCOMPARE(window->Show().TrayFilename, savedAs);
    QCOMPARE(window->Options().CarouselFileName, savedAs);
    QCOMPARE(recentCaptions(window).last(), savedAs);
}

void tst_frmMainFiles::saveAsUnderTheSameNameAsksNothing()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Show().Item(1)->PauseTime = 7;
    m_rig->dialogs.chooseFile(m_rig->showFile());
    trigger(window, "mnuFileSaveAsFile");
    QVERIFY(m_rig->boxes().isEmpty());
    QVERIFY(MainWindowRig::readFile(m_rig->showFile()).contains(",\"7\","));
}

void tst_frmMainFiles::newShowIsSavedUnderANameAskedFor()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->files().StartNewShow();
    QCOMPARE(window->Show().Count(), 0);
    window->Show().Add("http://127.0.0.1:9/new.html", QString(), 5, false);

    const QString target = m_rig->files.filePath(QStringLiteral("made.txt"));
    m_rig->dialogs.chooseFile(target);
    trigger(window, "mnuFileSave");
    QCOMPARE(m_rig->dialogs.requests().size(), 1);
    QCOMPARE(m_rig->dialogs.requests().first().FileName,
             window->files().newShowName(QDate::currentDate(), {}));
    QVERIFY(MainWindowRig::readFile(target).contains("new.html"));
    QCOMPARE(window->windowTitle(), QStringLiteral("made") + TitleSuffix);
    // From now on Save writes it without asking.
    window->Show().Item(1)->PauseTime = 9;
    trigger(window, "mnuFileSave");
    QCOMPARE(m_rig->dialogs.requests().size(), 1);
    QVERIFY(MainWindowRig::readFile(target).contains(",\"9\","));
}

void tst_frmMainFiles::recentListKeepsFiveWithoutDuplicates()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    ShowFiles& files = window->files();
    QStringList paths{m_rig->showFile()};
    for (int i = 2; i <= 6; ++i) {
        paths.append(m_rig->files.filePath(QStringLiteral("show%1.txt").arg(i)));
        files.UpdateMenu(paths.last());
    }
    // The sixth drops the oldest.
    QCOMPARE(recentCaptions(window), paths.mid(1));
    QCOMPARE(files.RecentCount(), qint16(5));

    // The same show in other letters is already there.
    files.UpdateMenu(paths.at(3).toUpper());
    QCOMPARE(recentCaptions(window), paths.mid(1));

    // An ampersand in a path is shown, not taken as an access key.
    const QString ampersand = m_rig->files.filePath(QStringLiteral("rock&roll.txt"));
    files.UpdateMenu(ampersand);
    QAction* last = MainWindowRig::action(window, QStringLiteral("mnuFileArray5"));
    QCOMPARE(last->text(), QString(ampersand).replace(QStringLiteral("&"), QStringLiteral("&&")));
    QCOMPARE(files.recentFiles().last(), ampersand);
    QVERIFY(m_rig->boxes().isEmpty());
}

void tst_frmMainFiles::recentEntryWithoutASeparatorIsFlagged()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->files().UpdateMenu(QStringLiteral("plain.txt"));
    QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("MISSING A SLASH-> plain.txt")});
    // It is listed all the same.
    QCOMPARE(recentCaptions(window).last(), QStringLiteral("plain.txt"));

    // Either separator counts.
    window->files().UpdateMenu(QStringLiteral("C:\\Shows\\old.txt"));
    window->files().UpdateMenu(QStringLiteral("shows/new.txt"));
    QCOMPARE(m_rig->boxes().size(), 1);
}

void tst_frmMainFiles::recentEntryOpensItsShow()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QString other = m_rig->writeShow(QStringLiteral("other.txt"), {"http://127.0.0.1:9/o"});
    window->files().UpdateMenu(other);
    trigger(window, "mnuFileArray2");
    QCOMPARE(window->Show().TrayFilename, other);
    QCOMPARE(window->Show().Count(), 1);

    // With edits: Cancel keeps the show, Yes saves it and opens the entry.
    window->Show().Changed = true;
    window->Show().Item(1)->PauseTime = 33;
    QAction* first = MainWindowRig::action(window, QStringLiteral("mnuFileArray1"));
    m_rig->prompts.answer(vbCancel);
    first->trigger();
    QCOMPARE(window->Show().TrayFilename, other);
    m_rig->prompts.answer(vbYes);
    first->trigger();
    QCOMPARE(window->Show().TrayFilename, m_rig->showFile());
    QVERIFY(MainWindowRig::readFile(other).contains(",\"33\","));
}

void tst_frmMainFiles::newShowNameTakesALetter()
{
    const QDate day(2024, 3, 7);
    QCOMPARE(ShowFiles::newShowName(day, {}), QStringLiteral("Show03-07-24.txt"));
    const QStringList taken{QStringLiteral("/shows/Show03-07-24.txt"),
                            QStringLiteral("/shows/showa03-07-24.TXT")};
    QCOMPARE(ShowFiles::newShowName(day, taken.mid(0, 1)), QStringLiteral("ShowA03-07-24.txt"));
    QCOMPARE(ShowFiles::newShowName(day, taken), QStringLiteral("ShowB03-07-24.txt"));
    QCOMPARE(ShowFiles::newShowName(day, {QStringLiteral("/shows/Show03-08-24.txt")}),
             QStringLiteral("Show03-07-24.txt"));
}

void tst_frmMainFiles::importMakesANewShowExportWritesBookmarks()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QString today = ShowFiles::newShowName(QDate::currentDate(), {});
    // A show of today's name is in the list: the new one takes a letter.
    window->files().UpdateMenu(m_rig->files.filePath(today));
    const QString bookmarks = m_rig->writeFile(
        QStringLiteral("bookmarks.htm"),
        "<DL><p>\r\n"
        "<DT><A HREF=\"http://127.0.0.1:9/first.html\" ADD_DATE=\"0\">First</A>\r\n"
        "<DT><A HREF=\"http://127.0.0.1:9/second.html\" ADD_DATE=\"0\">Second</A>\r\n"
        "</DL><p>\r\n");
    m_rig->dialogs.chooseFile(bookmarks);
    trigger(window, "mnuFileImportAndExportImportBookmarks");
    QCOMPARE(window->Show().Count(), 2);
    QCOMPARE(window->Show().Item(1)->HREF, "http://127.0.0.1:9/first.html");
    QVERIFY(window->Show().Changed);
    QCOMPARE(window->Show().TrayFilename, QStringLiteral("ShowA") + today.mid(4));

    const QString exported = m_rig->files.filePath(QStringLiteral("out.htm"));
    m_rig->dialogs.chooseFile(exported);
    trigger(window, "mnuFileImportAndExportExportBookmarks");
    QVERIFY(MainWindowRig::readFile(exported).contains("http://127.0.0.1:9/second.html"));
}

void tst_frmMainFiles::slideOpenShowsTheChosenFile()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* address = window->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    const QString page = m_rig->writeFile(QStringLiteral("page.htm"), "<p>hi</p>");
    m_rig->dialogs.chooseFile(page);
    trigger(window, "mnuSlideOpen");
    QCOMPARE(address->currentText(), page);
    QCOMPARE(m_rig->browser.navigations(), QStringList{page});

    // Cancelled: the box is emptied and nothing is sent.
    m_rig->dialogs.cancel();
    trigger(window, "tbrSlideOpen");
    QCOMPARE(address->currentText(), QString());
    QCOMPARE(m_rig->browser.navigations().size(), 1);
}

void tst_frmMainFiles::optionsSaveToFile()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Options().ReloadInterval = 60;
    const QString target = m_rig->files.filePath(QStringLiteral("mine.txt"));
    m_rig->dialogs.chooseFile(target);
    trigger(window, "mnuOptionsSaveToFile");
    QVERIFY(MainWindowRig::readFile(target).startsWith("\"ReloadInterval\",60\r\n"));
    QCOMPARE(statusOf(window), QStringLiteral("Options saved to file."));
    QVERIFY(m_rig->boxes().isEmpty());

    // An existing file: No asks for another name, Cancel stops.
    window->Options().ReloadInterval = 120;
    m_rig->prompts.answer(vbNo);
    m_rig->prompts.answer(vbCancel);
    m_rig->dialogs.chooseFile(target);
    m_rig->dialogs.chooseFile(target);
    trigger(window, "mnuOptionsSaveToFile");
    QCOMPARE(m_rig->dialogs.requests().size(), 3);
    QCOMPARE(m_rig->boxes(), (QStringList{QStringLiteral("Do you want to overwrite this file?"),
                                          QStringLiteral("Do you want to overwrite this file?")}));
    QVERIFY(MainWindowRig::readFile(target).startsWith("\"ReloadInterval\",60\r\n"));

    // Yes writes over it.
    m_rig->prompts.answer(vbYes);
    m_rig->dialogs.chooseFile(target);
    trigger(window, "mnuOptionsSaveToFile");
    QVERIFY(MainWindowRig::readFile(target).startsWith("\"ReloadInterval\",120\r\n"));

    // A file that cannot be written.
    const QString nowhere = m_rig->files.filePath(QStringLiteral("no/such/folder/options.txt"));
    m_rig->dialogs.chooseFile(nowhere);
    trigger(window, "mnuOptionsSaveToFile");
    QCOMPARE(statusOf(window), QStringLiteral("Options not saved to file."));
}

void tst_frmMainFiles::saveAsWebShowMakesThePagesOfTheShow()
{
    for (const char* name : {"NAV.txt", "STRTTOUR.txt"})
        QVERIFY(QFile::copy(QStringLiteral(PW_APP_FOLDER "/") + QLatin1String(name),
                            m_rig->program.filePath(QLatin1String(name))));
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    trigger(window, "mnuFileSaveAsWebShow");
    auto* dialog = window->findChild<frmWebShow*>();
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(),
             QStringLiteral("Make Web Show from ") + QFileInfo(m_rig->showFile()).baseName());
    // Into the program's data folder, with the show's own slides.
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(m_rig->prompts.shown().last().title, QStringLiteral("Show Created"));
    const QByteArray page =
        MainWindowRig::readFile(m_rig->program.filePath(QStringLiteral("data/WebShow.htm")));
    QVERIFY(page.contains(window->Show().Item(1)->HREF.toUtf8()));
    QVERIFY(QFileInfo::exists(m_rig->program.filePath(QStringLiteral("data/StrtShow.htm"))));
}

QTEST_MAIN(tst_frmMainFiles)
#include "tst_frmMainFiles.moc"
