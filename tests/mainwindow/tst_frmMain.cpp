// SPDX-License-Identifier: GPL-3.0-or-later
// The main window through its real controls: load, bars, options, full
// screen, activation; the floating control bar without a browser (as with
// a DDE browser) or with one that never started, and an owner that records
// its calls.
#include "MainWindowRig.h"
#include "RecordingOwner.h"

class tst_frmMain : public MainWindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_rig = std::make_unique<MainWindowRig>(); }
    void cleanup() { m_rig.reset(); }

    void loadAppliesLayoutOptionsAndShow()
    {
        const QString a = m_rig->files.filePath(QStringLiteral("a.txt"));
        // The show itself is in the list already, in other letters.
        const QString sameShow = m_rig->showFile().toUpper();
        const QList<std::pair<const char*, QString>> stored = {{"frmMainBarSlideOn", "False"},
                                                               {"frmMainBarStatusOn", "False"},
                                                               {"frmMainFile1", a},
                                                               {"frmMainFile2", sameShow}};
        for (const auto& [key, value] : stored)
            MainWindowRig::saveSetting(QStringLiteral("Settings"), QString(key), value);
        COptions options = m_rig->options();
        options.CarouselOperation = 2;
        options.CarouselMode = 2;
        options.BusyWait = true;
        options.ToolTips = false;
        options.ReloadInterval = 30;
        options.StartingSlide = 2;
        const QPointer<frmMain> window = m_rig->open(options);
        QCOMPARE(window->windowTitle(), QStringLiteral("demo") + TitleSuffix);
        // The starting slide went through the number box.
        auto* slider = control<QSlider>(window, "sldCollect");
        QCOMPARE((QList<int>{
                     slider->maximum(), slider->value(), window->ShowState().NumCurrentSlide,
                     control<QLineEdit>(window, "txtCollectSlide")->text().toInt(),
                     window->ShowState().ShowRepeatMode, window->ShowState().SlideSelectionMode}),
                 (QList<int>{3, 2, 2, 2, 2, 2}));
        QVERIFY(control<QRadioButton>(window, "optCarOp1")->isChecked());
        for (const char* item : {"mnuOptionsOperation1", "mnuOptionsOrder1",
                                 "mnuOptionsLoadingWaitTillDone", "mnuOptionsToolTipsOff"})
            QVERIFY2(ticked(window, item), item);
        QCOMPARE(control<QComboBox>(window, "cboReloadInterval")->currentText(),
                 QStringLiteral("30 sec"));
        QVERIFY(!window->engine().bIntervalDirty());
        // Normal mode, and nothing left to ask about at exit.
        QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
        QVERIFY(!window->Options().Changed && !window->bShowEdited && m_rig->boxes().isEmpty());
        // The recent list: the stored two, the show not a second time.
        QCOMPARE(recentCaptions(window), (QStringList{a, sameShow}));
        QCOMPARE(control(window, "picSlide")->height(), px(135));
        QCOMPARE(control(window, "picStatus")->height(), px(135));
    }

    void loadSendsTheStartingAddressThenRunsTheSavedMode_data()
    {
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<qint16>("reloadMode");
        QTest::addColumn<QString>("checkedItem");
        QTest::addColumn<QStringList>("expected");
        const QString start = QStringLiteral("http://127.0.0.1:9/start.html");
        const QString one = QStringLiteral("http://127.0.0.1:9/one.html");
        QTest::addRow("normal") << false << qint16(2) << "mnuModeNormal" << QStringList{start};
        QTest::addRow("show") << true << qint16(3) << "mnuModeShow" << QStringList{start, one};
        QTest::addRow("reload") << true << qint16(2) << "mnuModeAutoReload"
                                << QStringList{start, start};
    }

    void loadSendsTheStartingAddressThenRunsTheSavedMode()
    {
        QFETCH(bool, autoStart);
        QFETCH(qint16, reloadMode);
        QFETCH(QString, checkedItem);
        QFETCH(QStringList, expected);
        COptions options = m_rig->options();
        options.AutoStart = autoStart;
        options.ReloadMode = reloadMode;
        options.ReloadInterval = 60;
        options.StartingAddress = expected.first();
        options.DisplayTips = true;
        const QPointer<frmMain> window = m_rig->open(options);
        QCOMPARE(window->engine().CurrentMode(), autoStart ? reloadMode : ShowEngine::ModeNormal);
        for (const char* item : {"mnuModeNormal", "mnuModeShow", "mnuModeAutoReload"})
            QCOMPARE(ticked(window, item), checkedItem == QLatin1String(item));
        QCOMPARE(control<QCheckBox>(window, "chkAutoStart")->isChecked(), autoStart);
        // After the starting address, the mode's first step.
        QCOMPARE(navigations(), expected);
        // The tips show at load unless the show runs at once.
        const QPointer<QDialog> tip = window->findChild<QDialog*>(QStringLiteral("frmTip"));
        QCOMPARE(tip && tip->isVisible(), !autoStart);
        if (!autoStart) {
            auto* address = control<QComboBox>(window, "cboAddress");
            QCOMPARE(address->currentText(), expected.first());
            QCOMPARE(address->count(), 1);
            trigger(window, "mnuHelpAbout");
            QVERIFY(window->findChild<QDialog*>(QStringLiteral("frmAbout")));
        }
    }

    void barsMenusAndNavigationControls()
    {
        const QPointer<frmMain> window = m_rig->open();
        window->resize(px(9000), px(5000));
        const int right = window->centralWidget()->width() - px(200);
        QVERIFY(qAbs(control(window, "sldCollect")->geometry().right() + 1 - right) <= 2);
        // The status panel starts after the whole "Status" caption.
        const QRect status = control(window, "pnlStatus")->geometry();
        QVERIFY(status.left() > control(window, "cmdStatus")->geometry().right());
        QVERIFY(qAbs(status.right() + 1 - right) <= 2);
        // A click on a bar's strip collapses it to a thin strip across; its View item
        // brings it back.
        const auto flags = [&window] {
            const cScreenSettings& layout = window->ScreenSettings();
            return QList<bool>{layout.BarSlideOn, layout.BarCollectOn, layout.BarNavOn,
                               layout.BarStatusOn, layout.BarOptOn};
        };
        const QList<std::pair<QString, const char*>> bars = {{"picSlide", "mnuViewSlide"},
                                                             {"picCollect", "mnuViewShow"},
                                                             {"picNav", "mnuViewControl"},
                                                             {"picStatus", "mnuViewStatus"},
                                                             {"picOpt", "mnuViewOptions"}};
        for (const auto& [bar, viewItem] : bars) {
            auto* container = control<CollapsibleBar>(window, bar);
            QWidget* strip = control(window, bar + QStringLiteral("Bar"));
            const int expanded = container->height();
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(2, 2));
            QCOMPARE(container->height(), px(135));
            QCOMPARE(strip->width(), window->centralWidget()->width());
            QVERIFY2(!ticked(window, viewItem) && flags().count(false) == 1, viewItem);
            trigger(window, viewItem);
            QCOMPARE(container->height(), expanded);
            QVERIFY(container->content()->isVisible() && !flags().contains(false));
        }
        // With the menu bar hidden, the menus pop up from the window's own
        // background below the bars; a click on a bar is the bar's.
        trigger(window, "mnuViewMenu");
        QVERIFY(!window->menuBar()->isVisible());
        QWidget* background = window->centralWidget();
        const QPoint bare(5, background->height() - 3);
        QCOMPARE(background->childAt(bare), nullptr);
        for (const auto& [button, menu] :
             {std::pair{Qt::RightButton, "mnuView"}, std::pair{Qt::LeftButton, "mnuControl"}}) {
            QTest::mousePress(background, button, {}, bare);
            QTRY_COMPARE(QApplication::activePopupWidget(), control<QMenu>(window, menu));
            QApplication::activePopupWidget()->close();
        }
        QTest::mousePress(control(window, "picNav"), Qt::RightButton, {}, QPoint(px(3000), 2));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        trigger(window, "mnuViewMenu");
        QVERIFY(window->menuBar()->isVisible());
        auto* slider = control<QSlider>(window, "sldCollect");
        auto* number = control<QLineEdit>(window, "txtCollectSlide");
        auto* address = control<QComboBox>(window, "cboAddress");
        auto* upDown = control<UpDown>(window, "updwnCollect");
        // The user's move of the slider: the slide's fields, nothing sent.
        slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(number->text(), QStringLiteral("1"));
        QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/one.html"));
        QVERIFY(window->engine().bShowCurrent());
        // The up-down stops at the show's end.
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
        QCOMPARE(number->text(), QStringLiteral("3"));
        QCOMPARE(slider->value(), 3);
        QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/three.html"));
        number->selectAll();
        QTest::keyClicks(number, QStringLiteral("1"));
        QCOMPARE(slider->value(), 1);
        // "Slide" sends the box's slide.
        press(window, "cmdSlide");
        QCOMPARE(navigations(), QStringList{"http://127.0.0.1:9/one.html"});
        QVERIFY(!control(window, "cmdNavKey0")->isEnabled());
        press(window, "cmdNavKey3");
        QCOMPARE(m_rig->browser.count(QStringLiteral("GoForward")), 1);
        QVERIFY(window->engine().pageWatcherActive());
        // "Control": left Back, middle Pause, right Forward.
        QWidget* controlButton = control(window, "cmdNav");
        QTest::mousePress(controlButton, Qt::LeftButton);
        QCOMPARE(m_rig->browser.count(QStringLiteral("GoBack")), 1);
        QTest::mousePress(controlButton, Qt::RightButton);
        QCOMPARE(m_rig->browser.count(QStringLiteral("GoForward")), 2);
        // In Show mode the middle button pauses the show.
        press(window, "cmdCollect");
        QVERIFY(ticked(window, "mnuModeShow"));
        QTest::mousePress(controlButton, Qt::MiddleButton);
        QVERIFY(window->ShowState().IsPaused && ticked(window, "mnuControlPause"));
        trigger(window, "mnuControlStop");
        QVERIFY(!window->ShowState().IsPaused && !ticked(window, "mnuControlPause"));
        QVERIFY(ticked(window, "mnuModeNormal"));
    }

    void addressBoxSendsWhatIsConfirmed()
    {
        const QPointer<frmMain> window = m_rig->open();
        QApplication::setActiveWindow(window);
        auto* address = control<QComboBox>(window, "cboAddress");
        // A dropped file is put into the box, not sent until confirmed.
        const QString picture = m_rig->writeFile(QStringLiteral("picture.jpg"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(picture),
                      QUrl::fromLocalFile(m_rig->writeFile(QStringLiteral("other.jpg")))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(address->lineEdit(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(address->lineEdit(), &drop);
        QCOMPARE(address->currentText(), picture);
        const QString typed = "http://127.0.0.1:9/typed.html";
        address->setEditText(QString());
        QTest::keyClicks(address->lineEdit(), typed);
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QCOMPARE(navigations(), QStringList{typed});
        QCOMPARE(statusOf(window), QStringLiteral("Working..."));
        QTRY_COMPARE(statusOf(window), QStringLiteral("Ready."));
        // The same address again is listed again; a list entry chosen is sent.
        QTest::keyClick(address->lineEdit(), Qt::Key_Enter);
        QCOMPARE(address->count(), 2);
        address->setEditText(QString());
        Q_EMIT address->activated(0);
        QCOMPARE(navigations(), (QStringList{typed, typed, typed}));
        QCOMPARE(address->currentText(), typed);
        // An empty box sends nothing.
        address->setEditText(QString());
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QCOMPARE(navigations().size(), 3);
        // The text of a list entry typed, then the user clicks elsewhere: nothing.
        address->lineEdit()->setFocus();
        QTRY_VERIFY(address->lineEdit()->hasFocus());
        address->setEditText(typed);
        control(window, "cmdSlide")->setFocus();
        QTRY_VERIFY(!address->lineEdit()->hasFocus());
        QCOMPARE(navigations().size(), 3);
    }

    void optionsBarAndMenuStayInStep()
    {
        COptions options = m_rig->options();
        options.UseDefault = false;
        options.ToolTips = true;
        const QPointer<frmMain> window = m_rig->open(options);
        QVERIFY(QTest::qWaitForWindowActive(window));
        // The default pause is checked when the user leaves its box; the box
        // takes the focus back.
        auto* interval = control<QComboBox>(window, "cboReloadInterval");
        const auto typeAndLeave = [&](const QString& text) {
            interval->setFocus();
            interval->lineEdit()->selectAll();
            QTest::keyClicks(interval->lineEdit(), text);
            control(window, "cmdSlide")->setFocus();
        };
        typeAndLeave(QStringLiteral("2 min"));
        QCOMPARE(m_rig->boxes(), QStringList{"Choose a setting from the pull down"});
        QCOMPARE(window->Options().ReloadInterval, 15);
        QVERIFY(window->engine().bIntervalDirty());
        QTRY_VERIFY(interval->hasFocus());
        typeAndLeave(QStringLiteral(" 2 min"));
        QCOMPARE(window->Options().ReloadInterval, 120);
        QVERIFY(!window->engine().bIntervalDirty());
        QCOMPARE(m_rig->boxes().size(), 1);
        auto* useDefault = control<QCheckBox>(window, "chkUseDefault");
        auto* pauseLabel = control<QLabel>(window, "lblSlidePause");
        QVERIFY(pauseLabel->isVisible());
        QTest::mouseClick(useDefault, Qt::LeftButton);
        QVERIFY(window->Options().UseDefault && ticked(window, "mnuOptionsPauseUseDefault"));
        QVERIFY(!pauseLabel->isVisible() && window->Options().Changed);
        trigger(window, "mnuOptionsPauseUseDefault");
        QVERIFY(!window->Options().UseDefault && !useDefault->isChecked());
        QVERIFY(pauseLabel->isVisible());
        trigger(window, "mnuOptionsLoadingAutoStart");
        QVERIFY(control<QCheckBox>(window, "chkAutoStart")->isChecked());
        press(window, "chkBusyWait");
        QVERIFY(window->Options().BusyWait && ticked(window, "mnuOptionsLoadingWaitTillDone"));
        // Order and operation: menu item, option button and records together;
        // the checked item chosen again stays checked.
        trigger(window, "mnuOptionsOrder1");
        trigger(window, "mnuOptionsOrder1");
        QVERIFY(ticked(window, "mnuOptionsOrder1"));
        QVERIFY(control<QRadioButton>(window, "optCarMode1")->isChecked());
        QCOMPARE(window->ShowState().SlideSelectionMode, qint16(2));
        press(window, "optCarOp1");
        QCOMPARE(window->ShowState().ShowRepeatMode, qint16(2));
        QVERIFY(ticked(window, "mnuOptionsOperation1"));
        // The show toolbar's keys switch each option to its other choice.
        trigger(window, "tbrCollectMode");
        QVERIFY(control<QRadioButton>(window, "optCarMode0")->isChecked());
        trigger(window, "tbrCollectOperation");
        QCOMPARE(window->Options().CarouselOperation, qint16(1));
        QVERIFY(ticked(window, "mnuOptionsOperation0"));
        // A second Auto-Reload returns to Normal; Pause in Normal does nothing.
        trigger(window, "mnuModeAutoReload");
        trigger(window, "mnuModeAutoReload");
        QVERIFY(ticked(window, "mnuModeNormal"));
        QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
        trigger(window, "mnuControlPause");
        QVERIFY(!ticked(window, "mnuControlPause"));
        QWidget* address = control(window, "cboAddress");
        QCOMPARE(address->toolTip(), AddressTip);
        trigger(window, "mnuOptionsToolTipsOff");
        QVERIFY(address->toolTip().isEmpty() && !window->Options().ToolTips);
        trigger(window, "mnuOptionsToolTipsOn");
        QCOMPARE(address->toolTip(), AddressTip);
    }

    void fullScreenAndBrowserCallsWithoutBrowser()
    {
        COptions options = m_rig->options();
        BrowserConnection connection(options);
        MainBrowser browser(connection, options);
        QVERIFY(!browser.useOLE() && !browser.useDDE());
        // Automation with no instance: every call fails as on no object.
        connection.UseOLE = true;
        VbError error;
        QVERIFY(!browser.Navigate(QStringLiteral("http://127.0.0.1:9/"), &error));
        QCOMPARE(error.number, 91);
        error = {};
        QCOMPARE(browser.LocationURL(&error), QString());
        QCOMPARE(error.number, 91);
        // The link with no browser running answers that none is there.
        connection.UseOLE = false;
        connection.UseDDE = true;
        options.AutoDDEapp = QStringLiteral("NETSCAPE");
        options.AutoDDEexe = QStringLiteral("no-such-browser-here.exe");
        QCOMPARE(browser.DDEOpenURL(QStringLiteral("http://127.0.0.1:9/")), DdeLink::NoServer);
        browser.NotifierTerminate();
        QVERIFY(m_rig->boxes().isEmpty());
        // Full screen with the window's own (recording) browser.
        const QPointer<frmMain> window = m_rig->open();
        window->move(40, 0);
        QAction* fullScreen = act(window, "mnuViewFullScreen");
        QAction* onTop = act(window, "mnuViewAlwaysOnTop");
        fullScreen->trigger();
        QVERIFY(window->FullScreenOn);
        QPointer<frmControlBar> bar = window->controlBar();
        QVERIFY(bar && bar->isVisible());
        // Entered from the menu: the window is kept on top instead of minimised.
        QVERIFY(onTop->isChecked() && (window->windowFlags() & Qt::WindowStaysOnTopHint) &&
                !(window->windowState() & Qt::WindowMinimized));
        // The bar across the top leaves the window's menu uncovered.
        QVERIFY(!bar->frameGeometry().intersects(window->frameGeometry()));
        fullScreen->trigger();
        QVERIFY(!window->FullScreenOn);
        QTRY_VERIFY(!bar);
        // "Always on top" stays until it is chosen again.
        QVERIFY(onTop->isChecked());
        onTop->trigger();
        QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint) && window->isVisible());
        // Leaving from the bar's "Normal Size" unticks the item as well.
        fullScreen->trigger();
        trigger(window->controlBar(), "mnuViewNormalSize");
        QVERIFY(!window->FullScreenOn && !fullScreen->isChecked());
        QCOMPARE(window->controlBar(), nullptr);
        // So does leaving in the browser itself (Esc), as the browser reports it.
        fullScreen->trigger();
        // Still on its way into full screen, the window may read normal.
        Q_EMIT window->browserConnection().browserFullScreen(false);
        QVERIFY(window->controlBar());
        Q_EMIT window->browserConnection().browserFullScreen(true);
        Q_EMIT window->browserConnection().browserFullScreen(false);
        QVERIFY(!window->FullScreenOn && !fullScreen->isChecked());
        QTRY_COMPARE(window->controlBar(), nullptr);
        // From the command line: not on top, so the bar gets the window out of the way.
        modMain::FullScreenMode = true;
        const QPointer<frmMain> started = m_rig->open();
        modMain::FullScreenMode = false;
        QVERIFY(started->FullScreenOn && started->controlBar());
        QVERIFY(!ticked(started, "mnuViewAlwaysOnTop"));
        QTRY_VERIFY(started->windowState() & Qt::WindowMinimized);
        trigger(started, "mnuViewFullScreen");
        QVERIFY(!(started->windowState() & Qt::WindowMinimized));
        trigger(started, "mnuViewFullScreen");
        QVERIFY(ticked(started, "mnuViewAlwaysOnTop"));
    }

    void activationShowsTheSlideUnlessAnAddressIsTyped()
    {
        const QPointer<frmMain> window = m_rig->open();
        auto* address = control<QComboBox>(window, "cboAddress");
        // An edited show is shown anew.
        window->Show().Add(QStringLiteral("http://127.0.0.1:9/four.html"), QString(), 4, false);
        window->bShowEdited = true;
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(window, &activate);
        QVERIFY(!window->bShowEdited);
        QCOMPARE(control<QLabel>(window, "lblColMax")->text(), QStringLiteral("4"));
        window->engine().SlideNumberEdited(QStringLiteral("4"));
        address->setEditText(QString());
        QApplication::sendEvent(window, &activate);
        QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/four.html"));
        QCOMPARE(control<QLabel>(window, "lblSlidePause")->text(), QStringLiteral("4"));
        window->engine().SlideNumberEdited(QStringLiteral("2"));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QString second = address->currentText();
        QVERIFY(!second.isEmpty());
        // Away to another program's window (the browser) and back.
        QWidget browser;
        address->setEditText(QStringLiteral("http://typed.example/"));
        visit(&browser, window);
        QCOMPARE(address->currentText(), QStringLiteral("http://typed.example/"));
        // A cancelled Slide > Open leaves the box empty.
        withFiles(window, "mnuSlideOpen", {});
        visit(&browser, window);
        QCOMPARE(address->currentText(), QString());
        // Back from another of the program's windows, the slide shows again.
        QWidget editor;
        editor.setObjectName(QStringLiteral("frmListEdit"));
        visit(&editor, window);
        QCOMPARE(address->currentText(), second);
        // A message outlasts the focus coming back to its control.
        control(window, "cmdSlide")->setFocus();
        withFiles(window, "mnuOptionsSaveToFile",
                  {m_rig->files.filePath(QStringLiteral("options.txt"))});
        QCOMPARE(statusOf(window), QStringLiteral("Options saved to file."));
        visit(&browser, window);
        QTRY_COMPARE(QApplication::focusWidget(), control(window, "cmdSlide"));
        QCOMPARE(statusOf(window), QStringLiteral("Options saved to file."));
        // The user moving the focus on shows where it went.
        address->setFocus();
        QCOMPARE(statusOf(window), AddressTip);
    }

    void captionsFitTheirControls()
    {
        // Run at 1x and, by a second registration, at 2x scale. Every control
        // has an accessible name too.
        const QPointer<frmMain> window = m_rig->open();
        const auto textWidth = [](const QWidget* widget, QString text) {
            return widget->fontMetrics().horizontalAdvance(text.remove(QLatin1Char('&')));
        };
        int checked = 0;
        int named = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(window))
                continue;
            if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QSlider*>(widget)) {
                ++named;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY2(
                    face && !face->text(QAccessible::Name).trimmed().isEmpty(),
                    qPrintable(widget->objectName() + u' ' + widget->metaObject()->className()));
            }
            const auto* button = qobject_cast<const QAbstractButton*>(widget);
            // Tool keys show only their icons.
            if (button && !button->text().isEmpty() && !qobject_cast<const QToolButton*>(button)) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = button->text();
                QStyle::SubElement contents = QStyle::SE_PushButtonContents;
                if (qobject_cast<const QCheckBox*>(button))
                    contents = QStyle::SE_CheckBoxContents;
                else if (qobject_cast<const QRadioButton*>(button))
                    contents = QStyle::SE_RadioButtonContents;
                const int room = button->style()->subElementRect(contents, &option, button).width();
                QVERIFY2(room >= textWidth(button, button->text()), qPrintable(button->text()));
                ++checked;
            }
            // Sunken panels show texts of any length; captions must fit.
            const auto* label = qobject_cast<const QLabel*>(widget);
            if (label && !label->text().isEmpty() && label->frameShape() == QFrame::NoFrame) {
                QVERIFY2(label->contentsRect().width() >= textWidth(label, label->text()),
                         qPrintable(label->text()));
                ++checked;
            }
        }
        QVERIFY(checked >= 10 && named > 20);
    }

    void barDrivesItsOwner_data()
    {
        QTest::addColumn<bool>("alwaysOnTop");
        QTest::addColumn<QString>("ownerCall");
        QTest::newRow("owner minimised") << false << "minimizeWindow";
        QTest::newRow("owner kept on top") << true << "makeWindowTopmost";
    }

    void barDrivesItsOwner()
    {
        QFETCH(bool, alwaysOnTop);
        QFETCH(QString, ownerCall);
        ScriptedCommonDialog script;
        RecordingOwner owner;
        owner.alwaysOnTop = alwaysOnTop;
        COptions options;
        // It deletes itself when closed, so it is held weakly.
        QPointer<frmControlBar> bar = new frmControlBar(nullptr, &owner, &options, &owner.state);
        bar->show();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(bar->geometry(), QRect(screen.x() - 1, screen.y() - 5, screen.width(), 20));
        QVERIFY(bar->windowFlags() & Qt::WindowStaysOnTopHint);
        // Only the first show places the bar.
        bar->hide();
        bar->show();
        QCOMPARE(owner.calls, QStringList{ownerCall});
        const QList<std::pair<Qt::MouseButton, QString>> menus = {{Qt::LeftButton, "mnuControl"},
                                                                  {Qt::RightButton, "mnuView"},
                                                                  {Qt::MiddleButton, "mnuCenter"}};
        for (const auto& [button, menu] : menus) {
            QTest::mousePress(control(bar, "picControl"), button, {}, QPoint(200, 10));
            QStringList shown;
            for (QMenu* popup : bar->findChildren<QMenu*>()) {
                if (popup->isVisible())
                    shown << popup->objectName();
                popup->hide();
            }
            QCOMPARE(shown, QStringList{menu});
        }
        const QList<std::pair<QString, QStringList>> calls = {
            {"mnuControlBack", {"GoBack"}},       {"mnuControlPause", {"GoPause"}},
            {"mnuControlForward", {"GoForward"}}, {"mnuControlStop", {"GoStop"}},
            {"mnuControlReload", {"GoReload"}},   {"mnuControlStartShow", {"cmdCollect_Click"}},
            {"mnuControlCloseMenu", {}},          {"mnuViewControls", {"restoreWindow"}}};
        for (const auto& [name, called] : calls) {
            owner.calls.clear();
            act(bar, name)->trigger();
            QCOMPARE(owner.calls, called);
            QVERIFY(bar && bar->isVisible());
        }
        // Pause is checked exactly when paused (the table paused once).
        QAction* pause = act(bar, QStringLiteral("mnuControlPause"));
        QVERIFY(owner.state.IsPaused && pause->isChecked());
        pause->trigger();
        QVERIFY(!owner.state.IsPaused && !pause->isChecked());
        // In Normal mode Pause changes nothing; the item must not tick itself.
        owner.showRunning = false;
        pause->trigger();
        QVERIFY(!pause->isChecked());
        // Paused elsewhere: the menu shows it when it opens.
        owner.state.IsPaused = cShowState::True;
        bar->menuFor(Qt::LeftButton)->popup(QPoint(10, 10));
        QVERIFY(pause->isChecked());
        bar->menuFor(Qt::LeftButton)->hide();
        // A colour cancelled keeps the colour; the dialog starts from it.
        const QColor before = bar->controlColor();
        script.cancel();
        script.chooseColor(QColor(0x20, 0x40, 0x60));
        act(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(bar->controlColor(), before);
        act(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(control(bar, "picControl")
                     ->palette()
                     .color(control(bar, "picControl")->backgroundRole()),
                 QColor(0x20, 0x40, 0x60));
        QCOMPARE(script.requests().at(0).Color, before);
        QCOMPARE(script.requests().at(0).Flags, CommonDialog::cdlCCRGBInit);
        // The owner's file dialogs keep reporting a cancel as an empty name.
        QVERIFY(!owner.dialog.CancelError);
        QCOMPARE(owner.dialog.Flags, 0);
        // Menus Visible: a menu bar on the screen, whole; the strip keeps 15 pixels.
        auto* menuBar = bar->findChild<QMenuBar*>();
        QVERIFY(!menuBar->isVisible());
        act(bar, QStringLiteral("mnuCenterMenusVisible"))->trigger();
        QVERIFY(menuBar->isVisible() && !act(bar, QStringLiteral("mnuViewColor"))->isVisible());
        QCOMPARE(menuBar->actions().size(), 2);
        QCOMPARE(menuBar->mapToGlobal(QPoint(0, 0)).y(), screen.y());
        QCOMPARE(menuBar->height(), menuBar->sizeHint().height());
        QCOMPARE(control(bar, "picControl")->mapToGlobal(QPoint(0, 0)).y(),
                 screen.y() + menuBar->height());
        QCOMPARE(control(bar, "picControl")->height(), 15);
        owner.calls.clear();
        bar->close();
        QCOMPARE(owner.calls, (QStringList{"restoreWindow", "controlBarClosed"}));
        QTRY_VERIFY(bar.isNull());
        // Normal Size logs what the browser that never started refused, and closes.
        AutomationBrowser notStarted;
        bar = new frmControlBar(&notStarted, &owner, &options, &owner.state);
        bar->show();
        owner.calls.clear();
        act(bar, QStringLiteral("mnuViewNormalSize"))->trigger();
        QTRY_VERIFY(bar.isNull());
        QCOMPARE(owner.calls, (QStringList{"restoreWindow", "restoreWindow", "controlBarClosed"}));
        const QString failure = u"91,  Description: " + AutomationErrors::make(91).description;
        QCOMPARE(
            m_rig->log->messages().filter(QStringLiteral("Error in")),
            (QStringList{"Error in mnuViewColor: 32755", "Error in placing control bar: " + failure,
                         "Error in resizing control bar: " + failure}));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
