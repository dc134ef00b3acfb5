// SPDX-License-Identifier: GPL-3.0-or-later
// The main window through its real controls: load, bars, options, full
// screen, activation; the ways into the show editors, the file commands
// and the close, which ends the program; the floating control bar without
// a browser (as with a DDE browser) or with one that never started, and an
// owner that records its calls.
#include "MainWindowRig.h"
#include "RecordingOwner.h"
#include "../guidance/WizardDriver.h"

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
