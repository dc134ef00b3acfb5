// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands (open, save, save as, the recent list,
// bookmarks, a single slide, the options file) and its close: the last
// window saves its layout and recent list, asks about settings only when
// that is due and ends the program; a copy closes quietly.
#include "MainWindowRig.h"

#include "browser/BrowserConnection.h"
#include "engine/ShowEngine.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/frmMain.h"
#include "platform/Prompts.h"
#include "startup/Main.h"
#include "startup/modMain.h"
#include "webshow/frmWebShow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using Prompts::vbCancel;
using Prompts::vbNo;
using Prompts::vbYes;

namespace {

const QString TitleSuffix = QStringLiteral(" - Vexilo Software Pagewheel");
const QString EndBanner =
    QStringLiteral("-------------------PAGEWHEEL Ends -------------------------");
const QString SettingsQuestion =
    QStringLiteral("Do you want to save any changes made to settings?");
const QString Overwrite = QStringLiteral("Do you want to overwrite this file?");

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

void tick(QWidget* window, const char* checkBox)
{
    QTest::mouseClick(window->findChild<QCheckBox*>(QLatin1String(checkBox)), Qt::LeftButton);
}

QString settingsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Settings"), QLatin1String(key));
}

QString optionsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Options"), QLatin1String(key));
}

int px(int twips)
{
    return Twips::toPixels(twips);
}

} // namespace

class tst_frmMainFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowRig> m_rig;

    QByteArray read(const QString& path) const { return MainWindowRig::readFile(path); }
    QList<CommonDialog::Request> requests() const { return m_rig->dialogs.requests(); }
    /// The number of end banners in the log.
    qsizetype endBanners() const { return m_rig->log->messages().count(EndBanner); }

private Q_SLOTS:
    void init() { m_rig = std::make_unique<MainWindowRig>(); }
    void cleanup() { m_rig.reset(); }

    void openLoadsAShowOffersToSaveEditsAndListsIt()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        m_rig->dialogs.cancel();
        trigger(window, "mnuFileOpen");
        QCOMPARE(window->Show().Count(), 3);
        QCOMPARE(window->Show().TrayFilename, m_rig->showFile());
        QCOMPARE(recentCaptions(window), QStringList{m_rig->showFile()});
        const CommonDialog::Request request = requests().first();
        QCOMPARE(request.kind, CommonDialog::Kind::Open);
        QCOMPARE(QDir(request.InitDir).canonicalPath(),
                 QDir(m_rig->program.filePath(QStringLiteral("data"))).canonicalPath());
        const QString other =
            m_rig->writeShow(QStringLiteral("Lobby.TXT"),
                             {"http://127.0.0.1:9/a.html", "http://127.0.0.1:9/b.html"});
        m_rig->dialogs.chooseFile(other);
        trigger(window, "mnuFileOpen");
        QCOMPARE(window->Show().Count(), 2);
        QCOMPARE(window->Options().CarouselFileName, other);
        QCOMPARE(window->windowTitle(), QStringLiteral("Lobby") + TitleSuffix);
        QCOMPARE(recentCaptions(window), (QStringList{m_rig->showFile(), other}));
        QVERIFY(window->Options().Changed);
        // The toolbar's Open: the dialog keeps the folder its first use set.
        m_rig->dialogs.cancel();
        trigger(window, "tbrCollectOpen");
        QCOMPARE(requests().size(), 3);
        QCOMPARE(requests().at(2).FileName, other);
        QCOMPARE(requests().at(2).InitDir, request.InitDir);
        // Edits: Cancel keeps the show and opens no dialog.
        window->Show().Changed = true;
        m_rig->prompts.answer(vbCancel);
        trigger(window, "mnuFileOpen");
        QCOMPARE(m_rig->prompts.shown().size(), 1);
        QVERIFY(m_rig->boxes().first().contains(other));
        QCOMPARE(requests().size(), 3);
        QVERIFY(window->Show().Changed);
        // No: the show is dropped unsaved and the new one comes without edits.
        const QString third =
            m_rig->writeShow(QStringLiteral("third.txt"), {"http://127.0.0.1:9/x"});
        const QByteArray before = read(other);
        m_rig->prompts.answer(vbNo);
        m_rig->dialogs.chooseFile(third);
        trigger(window, "mnuFileOpen");
        QCOMPARE(window->Show().TrayFilename, third);
        QVERIFY(!window->Show().Changed);
        QCOMPARE(read(other), before);
        // A show that cannot be read is not listed.
        m_rig->dialogs.chooseFile(m_rig->files.filePath(QStringLiteral("missing.txt")));
        trigger(window, "mnuFileOpen");
        QCOMPARE(recentCaptions(window), (QStringList{m_rig->showFile(), other, third}));
        QCOMPARE(window->Show().Count(), 0);
    }

    void saveWritesTheShowOrAsksForAName()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        window->Show().Item(2)->PauseTime = 42;
        window->Show().Changed = true;
        trigger(window, "mnuFileSave");
        QVERIFY(requests().isEmpty());
        QVERIFY(read(m_rig->showFile()).contains("\"http://127.0.0.1:9/two.html\",\"\",\"42\","));
        QVERIFY(!window->Show().Changed);
        // Save As under the same name asks nothing.
        window->Show().Item(1)->PauseTime = 7;
        m_rig->dialogs.chooseFile(m_rig->showFile());
        trigger(window, "mnuFileSaveAsFile");
        QVERIFY(m_rig->boxes().isEmpty());
        QVERIFY(read(m_rig->showFile()).contains(",\"7\","));
        // A new show is saved under a name asked for, then without asking.
        window->files().StartNewShow();
        QCOMPARE(window->Show().Count(), 0);
        window->Show().Add("http://127.0.0.1:9/new.html", QString(), 5, false);
        const QString target = m_rig->files.filePath(QStringLiteral("made.txt"));
        m_rig->dialogs.chooseFile(target);
        trigger(window, "mnuFileSave");
        QCOMPARE(requests().size(), 2);
        QCOMPARE(requests().at(1).FileName, window->files().newShowName(QDate::currentDate(), {}));
        QVERIFY(read(target).contains("new.html"));
        QCOMPARE(window->windowTitle(), QStringLiteral("made") + TitleSuffix);
        window->Show().Item(1)->PauseTime = 9;
        trigger(window, "mnuFileSave");
        QCOMPARE(requests().size(), 2);
        QVERIFY(read(target).contains(",\"9\","));
    }

    void saveAsAsksBeforeOverwriting_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<bool>("overwritten");
        QTest::addColumn<bool>("savedElsewhere");
        QTest::addRow("yes") << int(vbYes) << 1 << true << false;
        QTest::addRow("no, then another name") << int(vbNo) << 2 << false << true;
        QTest::addRow("cancel") << int(vbCancel) << 1 << false << false;
    }

    void saveAsAsksBeforeOverwriting()
    {
        QFETCH(int, answer);
        QFETCH(int, dialogs);
        QFETCH(bool, overwritten);
        QFETCH(bool, savedElsewhere);
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const QString existing = m_rig->writeFile(QStringLiteral("existing.txt"), "old\r\n");
        const QString fresh = m_rig->files.filePath(QStringLiteral("fresh.txt"));
        m_rig->prompts.answer(answer);
        m_rig->dialogs.chooseFile(existing);
        m_rig->dialogs.chooseFile(fresh);
        trigger(window, "mnuFileSaveAsFile");
        QCOMPARE(requests().size(), dialogs);
        QCOMPARE(requests().first().FileName, m_rig->showFile());
        QCOMPARE(m_rig->boxes(), QStringList{Overwrite});
        QCOMPARE(read(existing) != "old\r\n", overwritten);
        QCOMPARE(QFile::exists(fresh), savedElsewhere);
        const QString savedAs = overwritten ? existing : savedElsewhere ? fresh : m_rig->showFile();
        QCOMPARE(window->Show().TrayFilename, savedAs);
        QCOMPARE(window->Options().CarouselFileName, savedAs);
        QCOMPARE(recentCaptions(window).last(), savedAs);
    }

    void recentListKeepsFiveWithoutDuplicates()
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
        QCOMPARE(MainWindowRig::action(window, QStringLiteral("mnuFileArray5"))->text(),
                 QString(ampersand).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QCOMPARE(files.recentFiles().last(), ampersand);
        QVERIFY(m_rig->boxes().isEmpty());
        // An entry without a separator is flagged, and listed all the same;
        // either separator counts.
        files.UpdateMenu(QStringLiteral("plain.txt"));
        QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("MISSING A SLASH-> plain.txt")});
        QCOMPARE(recentCaptions(window).last(), QStringLiteral("plain.txt"));
        files.UpdateMenu(QStringLiteral("C:\\Shows\\old.txt"));
        files.UpdateMenu(QStringLiteral("shows/new.txt"));
        QCOMPARE(m_rig->boxes().size(), 1);
    }

    void recentEntryOpensItsShow()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const QString other =
            m_rig->writeShow(QStringLiteral("other.txt"), {"http://127.0.0.1:9/o"});
        window->files().UpdateMenu(other);
        trigger(window, "mnuFileArray2");
        QCOMPARE(window->Show().TrayFilename, other);
        QCOMPARE(window->Show().Count(), 1);
        // With edits: Cancel keeps the show, Yes saves it and opens the entry.
        window->Show().Changed = true;
        window->Show().Item(1)->PauseTime = 33;
        m_rig->prompts.answer(vbCancel);
        trigger(window, "mnuFileArray1");
        QCOMPARE(window->Show().TrayFilename, other);
        m_rig->prompts.answer(vbYes);
        trigger(window, "mnuFileArray1");
        QCOMPARE(window->Show().TrayFilename, m_rig->showFile());
        QVERIFY(read(other).contains(",\"33\","));
    }

    void importMakesANewShowExportWritesBookmarks()
    {
        const QDate day(2024, 3, 7);
        QCOMPARE(ShowFiles::newShowName(day, {}), QStringLiteral("Show03-07-24.txt"));
        const QStringList taken{QStringLiteral("/shows/Show03-07-24.txt"),
                                QStringLiteral("/shows/showa03-07-24.TXT")};
        QCOMPARE(ShowFiles::newShowName(day, taken.mid(0, 1)), QStringLiteral("ShowA03-07-24.txt"));
        QCOMPARE(ShowFiles::newShowName(day, taken), QStringLiteral("ShowB03-07-24.txt"));
        QCOMPARE(ShowFiles::newShowName(day, {QStringLiteral("/shows/Show03-08-24.txt")}),
                 QStringLiteral("Show03-07-24.txt"));
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const QString today = ShowFiles::newShowName(QDate::currentDate(), {});
        // A show of today's name is in the list: the new one takes a letter.
        window->files().UpdateMenu(m_rig->files.filePath(today));
        m_rig->dialogs.chooseFile(m_rig->writeFile(
            QStringLiteral("bookmarks.htm"),
            "<DL><p>\r\n<DT><A HREF=\"http://127.0.0.1:9/first.html\" ADD_DATE=\"0\">First</A>\r\n"
            "<DT><A HREF=\"http://127.0.0.1:9/second.html\" "
            "ADD_DATE=\"0\">Second</A>\r\n</DL><p>"));
        trigger(window, "mnuFileImportAndExportImportBookmarks");
        QCOMPARE(window->Show().Count(), 2);
        QCOMPARE(window->Show().Item(1)->HREF, "http://127.0.0.1:9/first.html");
        QVERIFY(window->Show().Changed);
        QCOMPARE(window->Show().TrayFilename, QStringLiteral("ShowA") + today.mid(4));
        const QString exported = m_rig->files.filePath(QStringLiteral("out.htm"));
        m_rig->dialogs.chooseFile(exported);
        trigger(window, "mnuFileImportAndExportExportBookmarks");
        QVERIFY(read(exported).contains("http://127.0.0.1:9/second.html"));
    }

    void slideOpenShowsTheChosenFile()
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

    void optionsSaveToFile()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        window->Options().ReloadInterval = 60;
        const QString target = m_rig->files.filePath(QStringLiteral("mine.txt"));
        m_rig->dialogs.chooseFile(target);
        trigger(window, "mnuOptionsSaveToFile");
        QVERIFY(read(target).startsWith("\"ReloadInterval\",60\r\n"));
        QCOMPARE(statusOf(window), QStringLiteral("Options saved to file."));
        QVERIFY(m_rig->boxes().isEmpty());
        // An existing file: No asks for another name, Cancel stops.
        window->Options().ReloadInterval = 120;
        m_rig->prompts.answer(vbNo);
        m_rig->prompts.answer(vbCancel);
        m_rig->dialogs.chooseFile(target);
        m_rig->dialogs.chooseFile(target);
        trigger(window, "mnuOptionsSaveToFile");
        QCOMPARE(requests().size(), 3);
        QCOMPARE(m_rig->boxes(), (QStringList{Overwrite, Overwrite}));
        QVERIFY(read(target).startsWith("\"ReloadInterval\",60\r\n"));
        // Yes writes over it.
        m_rig->prompts.answer(vbYes);
        m_rig->dialogs.chooseFile(target);
        trigger(window, "mnuOptionsSaveToFile");
        QVERIFY(read(target).startsWith("\"ReloadInterval\",120\r\n"));
        // A file that cannot be written.
        m_rig->dialogs.chooseFile(m_rig->files.filePath(QStringLiteral("no/such/options.txt")));
        trigger(window, "mnuOptionsSaveToFile");
        QCOMPARE(statusOf(window), QStringLiteral("Options not saved to file."));
    }

    void saveAsWebShowMakesThePagesOfTheShow()
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
        QVERIFY(read(m_rig->program.filePath(QStringLiteral("data/WebShow.htm")))
                    .contains(window->Show().Item(1)->HREF.toUtf8()));
        QVERIFY(QFileInfo::exists(m_rig->program.filePath(QStringLiteral("data/StrtShow.htm"))));
    }

    void lastWindowSavesLayoutAndRecentList()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const QString second = m_rig->files.filePath(QStringLiteral("second.txt"));
        window->files().UpdateMenu(second);
        window->move(px(600), px(750));
        window->resize(px(6300), px(5250));
        trigger(window, "mnuViewSlide");
        trigger(window, "mnuViewOptions");
        trigger(window, "mnuFileExit");
        QCOMPARE(m_rig->programEnds, 1);
        QTRY_VERIFY(!window);
        const QList<std::pair<const char*, QString>> saved = {
            {"frmMainMainLeft", "600"},          {"frmMainMainTop", "750"},
            {"frmMainMainWidth", "6300"},        {"frmMainMainHeight", "5250"},
            {"frmMainBarSlideOn", "False"},      {"frmMainBarNavOn", "True"},
            {"frmMainFile1", m_rig->showFile()}, {"frmMainFile2", second},
            {"frmMainFile3", QString()}};
        for (const auto& [key, value] : saved)
            QCOMPARE(settingsKey(key), value);
        // Nothing changed: nothing asked, the options stay as stored.
        QVERIFY(m_rig->boxes().isEmpty());
        QCOMPARE(optionsKey("AutoStart"), QString());
        QCOMPARE(m_rig->log->messages().last(), EndBanner);
        QCOMPARE(endBanners(), 1);
        // The next window comes back the same way.
        const QPointer<frmMain> next = m_rig->open(m_rig->options());
        QCOMPARE(next->pos(), QPoint(px(600), px(750)));
        QCOMPARE(next->size(), QSize(px(6300), px(5250)));
        QVERIFY(!MainWindowRig::action(next, QStringLiteral("mnuViewOptions"))->isChecked());
        QCOMPARE(MainWindowRig::action(next, QStringLiteral("mnuFileArray2"))->text(), second);
    }

    void settingsQuestionOnlyWhenDue_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("storedAutoStart");
        QTest::addColumn<bool>("layoutSaved");
        QTest::addRow("nothing changed") << "" << 0 << false << "" << true;
        QTest::addRow("changed, yes") << "auto start" << int(vbYes) << true << "True" << true;
        QTest::addRow("changed, no") << "auto start" << int(vbNo) << true << "False" << true;
        QTest::addRow("changed, options file") << "options file" << 0 << false << "" << true;
        QTest::addRow("changed, minimised") << "minimised" << 0 << false << "" << false;
        QTest::addRow("another show than at start")
            << "show" << int(vbYes) << true << "False" << true;
    }

    void settingsQuestionOnlyWhenDue()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(QString, storedAutoStart);
        QFETCH(bool, layoutSaved);
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        if (!change.isEmpty() && change != QLatin1String("show"))
            tick(window, "chkAutoStart");
        if (change == QLatin1String("options file"))
            modMain::UseOptionsFile = true;
        if (change == QLatin1String("minimised")) {
            window->showMinimized();
            QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
        }
        if (change == QLatin1String("show"))
            modMain::SavedOptions.CarouselFileName = m_rig->files.filePath(QStringLiteral("x.txt"));
        QCOMPARE(window->Options().Changed, !change.isEmpty() && change != QLatin1String("show"));
        window->findChild<QComboBox*>(QStringLiteral("cboAddress"))
            ->setEditText(QStringLiteral("http://127.0.0.1:9/last.html"));
        if (answer)
            m_rig->prompts.answer(answer);
        window->close();
        modMain::UseOptionsFile = false;
        QCOMPARE(m_rig->programEnds, 1);
        QCOMPARE(m_rig->boxes(), asked ? QStringList{SettingsQuestion} : QStringList());
        QCOMPARE(optionsKey("AutoStart"), storedAutoStart);
        if (answer == vbYes)
            QCOMPARE(optionsKey("StartingAddress"), QStringLiteral("http://127.0.0.1:9/last.html"));
        if (answer == vbNo)
            QCOMPARE(optionsKey("StartingAddress"), modMain::SavedOptions.StartingAddress);
        QCOMPARE(!settingsKey("frmMainMainLeft").isEmpty(), layoutSaved);
        QCOMPARE(!settingsKey("frmMainFile1").isEmpty(), layoutSaved);
        QCOMPARE(endBanners(), 1);
    }

    void showEditsAreOfferedAtExit_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addRow("yes") << int(vbYes);
        QTest::addRow("no") << int(vbNo);
    }

    void showEditsAreOfferedAtExit()
    {
        QFETCH(int, answer);
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        window->Show().Item(1)->PauseTime = 21;
        window->Show().Changed = true;
        m_rig->prompts.answer(answer);
        window->close();
        QCOMPARE(m_rig->boxes().size(), 1);
        QCOMPARE(read(m_rig->showFile()).contains(",\"21\","), answer == vbYes);
        QCOMPARE(m_rig->programEnds, 1);
    }

    void runningModeAndEditedIntervalAreKeptForTheNextStart()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCollect")),
                          Qt::LeftButton);
        QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeShow);
        QLineEdit* interval =
            window->findChild<QComboBox*>(QStringLiteral("cboReloadInterval"))->lineEdit();
        interval->selectAll();
        QTest::keyClicks(interval, QStringLiteral(" 5 sec"));
        QVERIFY(window->engine().bIntervalDirty());
        m_rig->prompts.answer(vbYes);
        window->close();
        QCOMPARE(m_rig->boxes(), QStringList{SettingsQuestion});
        QCOMPARE(optionsKey("ReloadMode"), QStringLiteral("3"));
        QCOMPARE(optionsKey("ReloadInterval"), QStringLiteral("5"));
    }

    void copyWindowClosesQuietly()
    {
        const QPointer<frmMain> first = m_rig->open(m_rig->options());
        trigger(first, "mnuFileNewPagewheelWindow");
        QList<frmMain*> copies;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* main = qobject_cast<frmMain*>(window);
            if (main && main->IsCopy)
                copies.append(main);
        }
        QCOMPARE(copies.size(), 1);
        const QPointer<frmMain> copy = copies.first();
        QCOMPARE(copy->Show().Count(), 3);
        // Its own records: a change in the copy stays there.
        tick(copy, "chkAutoStart");
        QVERIFY(copy->Options().AutoStart);
        QVERIFY(!first->Options().AutoStart);
        copy->close();
        QVERIFY(m_rig->boxes().isEmpty());
        QCOMPARE(m_rig->programEnds, 0);
        QCOMPARE(endBanners(), 0);
        QCOMPARE(frmMain::mainWindowCount(), 1);
        QTRY_VERIFY(!copy);
        QCOMPARE(settingsKey("frmMainMainLeft"), QString());
        first->close();
        QCOMPARE(m_rig->programEnds, 1);
        QCOMPARE(endBanners(), 1);
    }

    void missingBrowser_data()
    {
        QTest::addColumn<int>("goOn");
        QTest::addRow("refused") << int(vbNo);
        QTest::addRow("going on") << int(vbYes);
    }

    void missingBrowser()
    {
        QFETCH(int, goOn);
        COptions options = m_rig->options();
        // The automation browser, but its program is nowhere.
        options.AutoMode = 2;
        auto* window = new frmMain(options);
        window->setAttribute(Qt::WA_DeleteOnClose);
        const QPointer<frmMain> watched = window;
        window->browserConnection().setBrowserProgram(
            m_rig->files.filePath(QStringLiteral("none")));
        window->browserConnection().setProfileFolder(
            m_rig->files.filePath(QStringLiteral("profile")));
        m_rig->prompts.answer(Prompts::vbOK);
        m_rig->prompts.answer(goOn);
        window->Form_Load();
        QVERIFY(window->UseOLE);
        QCOMPARE(
            m_rig->boxes(),
            (QStringList{QStringLiteral("Error in loading IEXPLORE.\r\nPagewheel cannot "
                                        "function correctly without Browser"),
                         QStringLiteral("There was a problem loading your browser, "
                                        "IEXPLORE\r\nDo you want to continue with Pagewheel?")}));
        if (goOn == vbNo) {
            QTRY_COMPARE(m_rig->programEnds, 1);
            QTRY_VERIFY(!watched);
            return;
        }
        QVERIFY(window->isVisible());
        QCOMPARE(m_rig->programEnds, 0);
        auto* address = window->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        address->setEditText(QStringLiteral("http://127.0.0.1:9/page.html"));
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QCOMPARE(address->count(), 2);
        // The watcher finds no browser and counts, silently, up to its limit.
        QTRY_VERIFY(window->engine().TerminateCount() > 0);
        QCOMPARE(m_rig->boxes().size(), 2);
        delete window;
    }
};

QTEST_MAIN(tst_frmMainFiles)
#include "tst_frmMainFiles.moc"
