// SPDX-License-Identifier: GPL-3.0-or-later
// The ways into the show editors, answered as a user would, the file
// commands and the close, which ends the program.
#include "MainWindowRig.h"
#include "../guidance/WizardDriver.h"

class tst_frmMainFiles : public MainWindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_rig = std::make_unique<MainWindowRig>(); }
    void cleanup() { m_rig.reset(); }

    void editorsOpenOnTheSlideAndTheShow()
    {
        COptions options = m_rig->options();
        options.StartingSlide = 2;
        const QPointer<frmMain> window = m_rig->open(options);
        // Slide > Edit: a pause too large for 16 bits goes in unchanged.
        whenModal<frmSlideEdit>([](frmSlideEdit* editor) {
            QCOMPARE(control<QLineEdit>(editor, "txtURL")->text(),
                     QStringLiteral("http://127.0.0.1:9/two.html"));
            control<QLineEdit>(editor, "txtPause")->setText(QStringLiteral("40000"));
            press(editor, "cmdOK");
        });
        trigger(window, "mnuSlideEdit");
        QCOMPARE(window->Show().Item(2)->PauseTime, 40000);
        QVERIFY(window->Show().Changed);
        QCOMPARE(control<QLabel>(window, "lblSlidePause")->text(), QStringLiteral("40000"));
        // The slide's sound and the slide bar's key open it too; File > Edit and
        // the show bar's key open the list on the show.
        QStringList opened;
        const auto look = [&opened](QDialog* editor) {
            auto* list = qobject_cast<frmListEdit*>(editor);
            opened << (list ? QString::number(list->model().rowCount()) : QStringLiteral("slide"));
            press(editor, "cmdCancel");
        };
        whenModal<frmSlideEdit>(look);
        press(window, "lblSlideSound");
        whenModal<frmSlideEdit>(look);
        trigger(window, "tbrSlideEdit");
        whenModal<frmListEdit>(look);
        trigger(window, "mnuFileEdit");
        whenModal<frmListEdit>(look);
        trigger(window, "tbrCollectEdit");
        // New Show: the list editor on an empty show under a new name.
        whenModal<frmListEdit>(look);
        trigger(window, "mnuFileNewNewShow");
        QCOMPARE(opened, (QStringList{"slide", "slide", "3", "3", "0"}));
        QCOMPARE(window->Show().Count(), 0);
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));
        // No current slide: no editor, a beep and a log line.
        window->ShowState().NumCurrentSlide = 0;
        trigger(window, "mnuSlideEdit");
        QVERIFY(m_rig->log->messages().contains(QStringLiteral("doEditSlide: Not a record.")));
    }

    void startupChooserLeadsThroughTheWizardToTheListEditor()
    {
        COptions options = m_rig->options();
        options.DisplayWizard = true;
        const QPointer<frmMain> window = m_rig->open(options);
        QPointer<frmWizMain> chooser = window->wizardStart();
        QVERIFY(chooser);
        QTRY_VERIFY(chooser->isVisible());
        QCOMPARE(control<QTreeWidget>(chooser, "ListView1")->topLevelItem(0)->text(0),
                 m_rig->showFile());
        // New Show: by me, not all local, no bookmarks, from scratch.
        WizardDriver driver(QStringLiteral("1 2 2 1 n p:cmdCancel"));
        control<QPushButton>(chooser, "cmdNewShow")->click();
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(driver.labels.last(), QStringLiteral("frmListEdit"));
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));
        QTRY_VERIFY(!chooser);
        // The Wizard menu opens the chooser again.
        trigger(window, "mnuWizard");
        QVERIFY(window->wizardStart() && window->wizardStart()->isVisible());
    }

    void openLoadsAShowOffersToSaveEditsAndListsIt()
    {
        const QPointer<frmMain> window = m_rig->open();
        // The show's slide count and file, then the recent list.
        const auto loaded = [&window] {
            return QStringList{QString::number(window->Show().Count()),
                               window->Show().TrayFilename} +
                   recentCaptions(window);
        };
        const QString show = m_rig->showFile();
        withFiles(window, "mnuFileOpen", {});
        QCOMPARE(loaded(), (QStringList{"3", show, show}));
        const CommonDialog::Request request = requests().first();
        QCOMPARE(request.kind, CommonDialog::Kind::Open);
        QCOMPARE(QDir(request.InitDir).canonicalPath(),
                 QDir(m_rig->program.filePath(QStringLiteral("data"))).canonicalPath());
        const QString other =
            m_rig->writeShow(QStringLiteral("Lobby.TXT"),
                             {"http://127.0.0.1:9/a.html", "http://127.0.0.1:9/b.html"});
        withFiles(window, "mnuFileOpen", {other});
        QCOMPARE(loaded(), (QStringList{"2", other, show, other}));
        QCOMPARE(window->Options().CarouselFileName, other);
        QCOMPARE(window->windowTitle(), QStringLiteral("Lobby") + TitleSuffix);
        QVERIFY(window->Options().Changed);
        // The toolbar's Open: the dialog keeps the folder its first use set.
        withFiles(window, "tbrCollectOpen", {});
        QCOMPARE(requests().size(), 3);
        QCOMPARE((QStringList{requests().at(2).FileName, requests().at(2).InitDir}),
                 (QStringList{other, request.InitDir}));
        // Edits: Cancel keeps the show and opens no dialog.
        window->Show().Changed = true;
        m_rig->prompts.answer(vbCancel);
        trigger(window, "mnuFileOpen");
        QVERIFY(m_rig->boxes().size() == 1 && m_rig->boxes().first().contains(other));
        QVERIFY(requests().size() == 3 && window->Show().Changed);
        // No: the show is dropped unsaved and the new one comes without edits.
        const QString third =
            m_rig->writeShow(QStringLiteral("third.txt"), {"http://127.0.0.1:9/x"});
        const QByteArray before = read(other);
        m_rig->prompts.answer(vbNo);
        withFiles(window, "mnuFileOpen", {third});
        QCOMPARE(loaded(), (QStringList{"1", third, show, other, third}));
        QVERIFY(!window->Show().Changed && read(other) == before);
        // A show that cannot be read is not listed.
        withFiles(window, "mnuFileOpen", {m_rig->files.filePath(QStringLiteral("missing.txt"))});
        QCOMPARE(loaded().mid(2), (QStringList{show, other, third}));
        QCOMPARE(window->Show().Count(), 0);
    }

    void saveWritesTheShowOrAsksForAName()
    {
        const QPointer<frmMain> window = m_rig->open();
        window->Show().Item(2)->PauseTime = 42;
        window->Show().Changed = true;
        trigger(window, "mnuFileSave");
        QVERIFY(requests().isEmpty());
        QVERIFY(read(m_rig->showFile()).contains("\"http://127.0.0.1:9/two.html\",\"\",\"42\","));
        QVERIFY(!window->Show().Changed);
        // Save As under the same name asks nothing.
        window->Show().Item(1)->PauseTime = 7;
        withFiles(window, "mnuFileSaveAsFile", {m_rig->showFile()});
        QVERIFY(m_rig->boxes().isEmpty() && read(m_rig->showFile()).contains(",\"7\","));
        // A new show is saved under a name asked for, then without asking.
        window->files().StartNewShow();
        QCOMPARE(window->Show().Count(), 0);
        window->Show().Add("http://127.0.0.1:9/new.html", QString(), 5, false);
        const QString target = m_rig->files.filePath(QStringLiteral("made.txt"));
        withFiles(window, "mnuFileSave", {target});
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
        const QPointer<frmMain> window = m_rig->open();
        const QString existing = m_rig->writeFile(QStringLiteral("existing.txt"), "old\r\n");
        const QString fresh = m_rig->files.filePath(QStringLiteral("fresh.txt"));
        m_rig->prompts.answer(answer);
        withFiles(window, "mnuFileSaveAsFile", {existing, fresh});
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

    void recentListKeepsFiveWithoutDuplicatesImportMakesANewShow()
    {
        const QDate day(2024, 3, 7);
        QCOMPARE(ShowFiles::newShowName(day, {}), QStringLiteral("Show03-07-24.txt"));
        const QStringList taken{QStringLiteral("/shows/Show03-07-24.txt"),
                                QStringLiteral("/shows/showa03-07-24.TXT")};
        QCOMPARE(ShowFiles::newShowName(day, taken.mid(0, 1)), QStringLiteral("ShowA03-07-24.txt"));
        QCOMPARE(ShowFiles::newShowName(day, taken), QStringLiteral("ShowB03-07-24.txt"));
        QCOMPARE(ShowFiles::newShowName(day, {QStringLiteral("/shows/Show03-08-24.txt")}),
                 QStringLiteral("Show03-07-24.txt"));
        const QPointer<frmMain> window = m_rig->open();
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
        QCOMPARE(act(window, "mnuFileArray5")->text(),
                 QString(ampersand).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QCOMPARE(files.recentFiles().last(), ampersand);
        QVERIFY(m_rig->boxes().isEmpty());
        // An entry without a separator is flagged and listed; either separator counts.
        files.UpdateMenu(QStringLiteral("plain.txt"));
        QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("MISSING A SLASH-> plain.txt")});
        QCOMPARE(recentCaptions(window).last(), QStringLiteral("plain.txt"));
        files.UpdateMenu(QStringLiteral("C:\\Shows\\old.txt"));
        files.UpdateMenu(QStringLiteral("shows/new.txt"));
        QCOMPARE(m_rig->boxes().size(), 1);
        // An entry opens its show; with edits, Cancel keeps the show, Yes saves it.
        const QString other =
            m_rig->writeShow(QStringLiteral("other.txt"), {"http://127.0.0.1:9/o"});
        files.UpdateMenu(m_rig->showFile());
        files.UpdateMenu(other);
        trigger(window, "mnuFileArray5");
        QVERIFY(window->Show().TrayFilename == other && window->Show().Count() == 1);
        window->Show().Changed = true;
        window->Show().Item(1)->PauseTime = 33;
        m_rig->prompts.answer(vbCancel);
        trigger(window, "mnuFileArray4");
        QCOMPARE(window->Show().TrayFilename, other);
        m_rig->prompts.answer(vbYes);
        trigger(window, "mnuFileArray4");
        QCOMPARE(window->Show().TrayFilename, m_rig->showFile());
        QVERIFY(read(other).contains(",\"33\","));
        // Import: a show of today's name is in the list, the new one takes a letter.
        const QString today = ShowFiles::newShowName(QDate::currentDate(), {});
        window->files().UpdateMenu(m_rig->files.filePath(today));
        m_rig->dialogs.chooseFile(m_rig->writeFile(
            QStringLiteral("bookmarks.htm"),
            "<DL><p>\r\n<DT><A HREF=\"http://127.0.0.1:9/first.html\" ADD_DATE=\"0\">First</A>\r\n"
            "<DT><A HREF=\"http://127.0.0.1:9/second.html\" "
            "ADD_DATE=\"0\">Second</A>\r\n</DL><p>"));
        trigger(window, "mnuFileImportAndExportImportBookmarks");
        QVERIFY(window->Show().Count() == 2 && window->Show().Changed);
        QCOMPARE(window->Show().Item(1)->HREF, "http://127.0.0.1:9/first.html");
        QCOMPARE(window->Show().TrayFilename, QStringLiteral("ShowA") + today.mid(4));
        const QString exported = m_rig->files.filePath(QStringLiteral("out.htm"));
        withFiles(window, "mnuFileImportAndExportExportBookmarks", {exported});
        QVERIFY(read(exported).contains("http://127.0.0.1:9/second.html"));
    }

    void slideOpenOptionsSaveToFileAndWebShow()
    {
        for (const char* name : {"NAV.txt", "STRTTOUR.txt"})
            QVERIFY(QFile::copy(QStringLiteral(PW_APP_FOLDER "/") + QLatin1String(name),
                                m_rig->program.filePath(QLatin1String(name))));
        const QPointer<frmMain> window = m_rig->open();
        auto* address = control<QComboBox>(window, "cboAddress");
        const QString page = m_rig->writeFile(QStringLiteral("page.htm"), "<p>hi</p>");
        withFiles(window, "mnuSlideOpen", {page});
        QCOMPARE(address->currentText(), page);
        QCOMPARE(navigations(), QStringList{page});
        // Cancelled: the box is emptied and nothing is sent.
        withFiles(window, "tbrSlideOpen", {});
        QCOMPARE(address->currentText(), QString());
        QCOMPARE(navigations().size(), 1);
        // Options > Save to File; over an existing file No asks again, Cancel stops.
        m_rig->dialogs.clear();
        window->Options().ReloadInterval = 60;
        const QString target = m_rig->files.filePath(QStringLiteral("mine.txt"));
        withFiles(window, "mnuOptionsSaveToFile", {target});
        QVERIFY(read(target).startsWith("\"ReloadInterval\",60\r\n"));
        QCOMPARE(statusOf(window), QStringLiteral("Options saved to file."));
        QVERIFY(m_rig->boxes().isEmpty());
        window->Options().ReloadInterval = 120;
        m_rig->prompts.answer(vbNo);
        m_rig->prompts.answer(vbCancel);
        withFiles(window, "mnuOptionsSaveToFile", {target, target});
        QCOMPARE(requests().size(), 3);
        QCOMPARE(m_rig->boxes(), (QStringList{Overwrite, Overwrite}));
        QVERIFY(read(target).startsWith("\"ReloadInterval\",60\r\n"));
        m_rig->prompts.answer(vbYes);
        withFiles(window, "mnuOptionsSaveToFile", {target});
        QVERIFY(read(target).startsWith("\"ReloadInterval\",120\r\n"));
        withFiles(window, "mnuOptionsSaveToFile",
                  {m_rig->files.filePath(QStringLiteral("no/such/options.txt"))});
        QCOMPARE(statusOf(window), QStringLiteral("Options not saved to file."));
        // Save as Web Show: into the program's data folder, with the show's own slides.
        trigger(window, "mnuFileSaveAsWebShow");
        auto* dialog = window->findChild<frmWebShow*>();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->windowTitle(),
                 QStringLiteral("Make Web Show from ") + QFileInfo(m_rig->showFile()).baseName());
        press(dialog, "cmdOK");
        QCOMPARE(m_rig->prompts.shown().last().title, QStringLiteral("Show Created"));
        QVERIFY(read(m_rig->program.filePath(QStringLiteral("data/WebShow.htm")))
                    .contains(window->Show().Item(1)->HREF.toUtf8()));
        QVERIFY(QFileInfo::exists(m_rig->program.filePath(QStringLiteral("data/StrtShow.htm"))));
    }

    void copyClosesQuietlyTheLastWindowSavesLayoutAndRecentList()
    {
        const QPointer<frmMain> window = m_rig->open();
        trigger(window, "mnuFileNewPagewheelWindow");
        QPointer<frmMain> copy;
        for (QWidget* other : QApplication::topLevelWidgets()) {
            auto* main = qobject_cast<frmMain*>(other);
            if (main && main->IsCopy) {
                QVERIFY(!copy);
                copy = main;
            }
        }
        QVERIFY(copy && copy->Show().Count() == 3);
        // Its own records: a change in the copy stays there; it closes asking nothing.
        press(copy, "chkAutoStart");
        QVERIFY(copy->Options().AutoStart && !window->Options().AutoStart);
        copy->close();
        QCOMPARE(frmMain::mainWindowCount(), 1);
        QTRY_VERIFY(!copy);
        QVERIFY(m_rig->boxes().isEmpty() && m_rig->programEnds == 0 && endBanners() == 0);
        QCOMPARE(settingsKey("frmMainMainLeft"), QString());
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
        const QPointer<frmMain> next = m_rig->open();
        QCOMPARE(next->pos(), QPoint(px(600), px(750)));
        QCOMPARE(next->size(), QSize(px(6300), px(5250)));
        QVERIFY(!ticked(next, "mnuViewOptions"));
        QCOMPARE(act(next, "mnuFileArray2")->text(), second);
    }

    void closeAsksOnlyWhatIsDue_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("box"); // the start of the one box asked, if any
        QTest::addColumn<QString>("storedAutoStart");
        QTest::addColumn<bool>("layoutSaved");
        const QString settings = SettingsQuestion;
        const QString edits = QStringLiteral("Do you want to save changes made to");
        const QString none;
        QTest::addRow("nothing changed") << none << 0 << none << none << true;
        QTest::addRow("changed, yes") << "auto start" << int(vbYes) << settings << "True" << true;
        QTest::addRow("changed, no") << "auto start" << int(vbNo) << settings << "False" << true;
        QTest::addRow("changed, options file") << "options file" << 0 << none << none << true;
        QTest::addRow("changed, minimised") << "minimised" << 0 << none << none << false;
        QTest::addRow("another show") << "show" << int(vbYes) << settings << "False" << true;
        QTest::addRow("running mode") << "mode" << int(vbYes) << settings << "False" << true;
        QTest::addRow("show edits, yes") << "edits" << int(vbYes) << edits << "" << true;
        QTest::addRow("show edits, no") << "edits" << int(vbNo) << edits << "" << true;
    }

    void closeAsksOnlyWhatIsDue()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(QString, box);
        QFETCH(QString, storedAutoStart);
        QFETCH(bool, layoutSaved);
        const QPointer<frmMain> window = m_rig->open();
        const auto is = [&change](const char* what) { return change == QLatin1String(what); };
        const bool optionsChanged = is("auto start") || is("options file") || is("minimised");
        if (optionsChanged)
            press(window, "chkAutoStart");
        if (is("options file"))
            modMain::UseOptionsFile = true;
        if (is("minimised")) {
            window->showMinimized();
            QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
        }
        if (is("show"))
            modMain::SavedOptions.CarouselFileName = m_rig->files.filePath(QStringLiteral("x.txt"));
        if (is("mode")) {
            // The running mode and an edited interval are kept for the next start.
            press(window, "cmdCollect");
            QLineEdit* interval = control<QComboBox>(window, "cboReloadInterval")->lineEdit();
            interval->selectAll();
            QTest::keyClicks(interval, QStringLiteral(" 5 sec"));
        }
        if (is("edits")) {
            window->Show().Item(1)->PauseTime = 21;
            window->Show().Changed = true;
        }
        if (!is("mode"))
            QCOMPARE(window->Options().Changed, optionsChanged);
        control<QComboBox>(window, "cboAddress")
            ->setEditText(QStringLiteral("http://127.0.0.1:9/last.html"));
        if (answer)
            m_rig->prompts.answer(answer);
        window->close();
        modMain::UseOptionsFile = false;
        QVERIFY(m_rig->programEnds == 1 && endBanners() == 1);
        QCOMPARE(m_rig->boxes().size(), box.isEmpty() ? 0 : 1);
        QVERIFY(box.isEmpty() || m_rig->boxes().first().startsWith(box));
        QCOMPARE(optionsKey("AutoStart"), storedAutoStart);
        if (box == SettingsQuestion)
            QCOMPARE(optionsKey("StartingAddress"),
                     answer == vbYes ? QStringLiteral("http://127.0.0.1:9/last.html")
                                     : modMain::SavedOptions.StartingAddress);
        QCOMPARE(!settingsKey("frmMainMainLeft").isEmpty(), layoutSaved);
        QCOMPARE(!settingsKey("frmMainFile1").isEmpty(), layoutSaved);
        if (is("mode"))
            QCOMPARE((QStringList{optionsKey("ReloadMode"), optionsKey("ReloadInterval")}),
                     (QStringList{"3", "5"}));
        if (is("edits"))
            QCOMPARE(read(m_rig->showFile()).contains(",\"21\","), answer == vbYes);
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
        options.AutoMode = 2; // the automation browser, but its program is nowhere
        const QPointer<frmMain> window = m_rig->open(options, false, true);
        window->browserConnection().setBrowserProgram(
            m_rig->files.filePath(QStringLiteral("none")));
        window->browserConnection().setProfileFolder(m_rig->files.filePath(QStringLiteral("pro")));
        m_rig->prompts.answer(Prompts::vbOK);
        m_rig->prompts.answer(goOn);
        window->Form_Load();
        QVERIFY(window->UseOLE);
        QCOMPARE(m_rig->boxes(),
                 (QStringList{"Error in loading IEXPLORE.\r\nPagewheel cannot function correctly "
                              "without Browser",
                              "There was a problem loading your browser, IEXPLORE\r\nDo you "
                              "want to continue with Pagewheel?"}));
        if (goOn == vbNo) {
            QTRY_COMPARE(m_rig->programEnds, 1);
            QTRY_VERIFY(!window);
            return;
        }
        QVERIFY(window->isVisible() && m_rig->programEnds == 0);
        auto* address = control<QComboBox>(window, "cboAddress");
        address->setEditText(QStringLiteral("http://127.0.0.1:9/page.html"));
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QCOMPARE(address->count(), 2);
        // The watcher finds no browser and counts, silently, up to its limit.
        QTRY_VERIFY(window->engine().TerminateCount() > 0);
        QCOMPARE(m_rig->boxes().size(), 2);
    }
};

QTEST_MAIN(tst_frmMainFiles)
#include "tst_frmMainFiles.moc"
