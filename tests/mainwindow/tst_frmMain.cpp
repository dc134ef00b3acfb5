// SPDX-License-Identifier: GPL-3.0-or-later
// The main window under the offscreen platform: its load, its bars and
// menus, the address box, the options bar, full screen without a browser,
// the ways into the show editors and what a screen reader reads.
#include "MainWindowRig.h"

#include "browser/BrowserConnection.h"
#include "editors/ListEditModel.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "engine/ShowEngine.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/MainBrowser.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "mainwindow/frmControlBar.h"
#include "mainwindow/frmMain.h"
#include "platform/DdeLink.h"
#include "startup/modMain.h"
#include "../editors/EditorTestKit.h"
#include "../guidance/WizardDriver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace {

int px(int twips)
{
    return Twips::toPixels(twips);
}

template <typename Widget = QWidget> Widget* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<Widget*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

QAction* act(QWidget* window, const QString& name)
{
    return MainWindowRig::action(window, name);
}

bool ticked(QWidget* window, const QString& name)
{
    return act(window, name)->isChecked();
}

void press(QWidget* window, const QString& name)
{
    QTest::mouseClick(control(window, name), Qt::LeftButton);
}

/// Makes another window active, then the main window again.
void visit(QWidget* other, QWidget* window)
{
    other->show();
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowRig> m_rig;

    QStringList navigations() const { return m_rig->browser.navigations(); }

private Q_SLOTS:
    void init() { m_rig = std::make_unique<MainWindowRig>(); }
    void cleanup() { m_rig.reset(); }

    void loadAppliesLayoutOptionsAndShow()
    {
        const QString a = m_rig->files.filePath(QStringLiteral("a.txt"));
        // The show itself is in the list already, in other letters.
        const QString sameShow = m_rig->showFile().toUpper();
        const QList<std::pair<const char*, QString>> stored = {{"frmMainMainLeft", "300"},
                                                               {"frmMainMainTop", "450"},
                                                               {"frmMainMainWidth", "6000"},
                                                               {"frmMainMainHeight", "5100"},
                                                               {"frmMainBarSlideOn", "False"},
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
        QCOMPARE(window->windowTitle(), QStringLiteral("demo - Vexilo Software Pagewheel"));
        auto* slider = control<QSlider>(window, "sldCollect");
        QCOMPARE(slider->maximum(), 3);
        QCOMPARE(control<QLabel>(window, "lblColMax")->text(), QStringLiteral("3"));
        // The starting slide went through the number box.
        QCOMPARE(control<QLineEdit>(window, "txtCollectSlide")->text(), QStringLiteral("2"));
        QCOMPARE(window->ShowState().NumCurrentSlide, qint16(2));
        QCOMPARE(slider->value(), 2);
        QVERIFY(control<QRadioButton>(window, "optCarOp1")->isChecked());
        for (const char* item : {"mnuOptionsOperation1", "mnuOptionsOrder1",
                                 "mnuOptionsLoadingWaitTillDone", "mnuOptionsToolTipsOff"})
            QVERIFY2(ticked(window, item), item);
        QCOMPARE(window->ShowState().ShowRepeatMode, qint16(2));
        QCOMPARE(window->ShowState().SlideSelectionMode, qint16(2));
        QCOMPARE(control<QComboBox>(window, "cboReloadInterval")->currentText(),
                 QStringLiteral("30 sec"));
        QVERIFY(!window->engine().bIntervalDirty());
        // Normal mode, and nothing left to ask about at exit.
        QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
        QVERIFY(!window->Options().Changed);
        QVERIFY(!window->bShowEdited);
        // The recent list: the stored two, the show not a second time.
        QCOMPARE(act(window, "mnuFileArray1")->text(), a);
        QCOMPARE(act(window, "mnuFileArray2")->text(), sameShow);
        QVERIFY(!act(window, "mnuFileArray3")->isVisible());
        QCOMPARE(window->pos(), QPoint(px(300), px(450)));
        QCOMPARE(window->size(), QSize(px(6000), px(5100)));
        QCOMPARE(control(window, "picSlide")->height(), px(135));
        QCOMPARE(control(window, "picStatus")->height(), px(135));
        QCOMPARE(control(window, "picCollect")->height(), px(1000));
        QVERIFY(!window->ScreenSettings().BarSlideOn);
        QStringList steps;
        for (const QString& message : m_rig->log->messages()) {
            if (message.startsWith(QLatin1String("Main form load - ")))
                steps.append(message.mid(17));
        }
        QCOMPARE(steps, (QStringList{"start", "load options", "show form", "display tips",
                                     "init starting address", "display wizard"}));
        QVERIFY(m_rig->boxes().isEmpty());
    }

    void loadSendsTheStartingAddressThenRunsTheSavedMode_data()
    {
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<qint16>("reloadMode");
        QTest::addColumn<QString>("checkedItem");
        QTest::addColumn<QStringList>("expected");
        const QString start = QStringLiteral("http://127.0.0.1:9/start.html");
        QTest::addRow("no auto start")
            << false << qint16(2) << "mnuModeNormal" << QStringList{start};
        QTest::addRow("show") << true << qint16(3) << "mnuModeShow"
                              << QStringList{start, "http://127.0.0.1:9/one.html"};
        QTest::addRow("auto reload")
            << true << qint16(2) << "mnuModeAutoReload" << QStringList{start, start};
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
        const QPointer<frmMain> window = m_rig->open(options);
        QCOMPARE(window->engine().CurrentMode(), autoStart ? reloadMode : ShowEngine::ModeNormal);
        for (const char* item : {"mnuModeNormal", "mnuModeShow", "mnuModeAutoReload"})
            QCOMPARE(ticked(window, item), checkedItem == QLatin1String(item));
        QCOMPARE(control<QCheckBox>(window, "chkAutoStart")->isChecked(), autoStart);
        // After the starting address, the mode's first step.
        QCOMPARE(navigations(), expected);
        if (!autoStart) {
            auto* address = control<QComboBox>(window, "cboAddress");
            QCOMPARE(address->currentText(), expected.first());
            QCOMPARE(address->count(), 1);
        }
    }

    void barsCollapseAndExpand_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("viewItem");
        QTest::addColumn<int>("expanded");
        QTest::addColumn<int>("stripExpanded");
        QTest::addRow("slide") << "picSlide"
                               << "mnuViewSlide" << 1000 << 1000;
        QTest::addRow("show") << "picCollect"
                              << "mnuViewShow" << 1000 << 1000;
        QTest::addRow("control") << "picNav"
                                 << "mnuViewControl" << 650 << 650;
        QTest::addRow("status") << "picStatus"
                                << "mnuViewStatus" << 400 << 400;
        QTest::addRow("options") << "picOpt"
                                 << "mnuViewOptions" << 1050 << 1250;
    }

    void barsCollapseAndExpand()
    {
        QFETCH(QString, bar);
        QFETCH(QString, viewItem);
        QFETCH(int, expanded);
        QFETCH(int, stripExpanded);
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        auto* container = control<CollapsibleBar>(window, bar);
        QWidget* strip = control(window, bar + QStringLiteral("Bar"));
        QAction* item = act(window, viewItem);
        const auto flags = [&window] {
            const cScreenSettings& layout = window->ScreenSettings();
            return QList<bool>{layout.BarSlideOn, layout.BarCollectOn, layout.BarNavOn,
                               layout.BarStatusOn, layout.BarOptOn};
        };
        const QList<bool> before = flags();
        QCOMPARE(container->height(), px(expanded));
        QCOMPARE(strip->height(), px(stripExpanded));
        // A click on the strip collapses the bar to a thin strip across.
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(container->height(), px(135));
        QCOMPARE(strip->width(), window->centralWidget()->width());
        QVERIFY(!item->isChecked());
        QCOMPARE(flags().count(false), 1);
        // The View item brings it back.
        item->trigger();
        QCOMPARE(container->height(), px(expanded));
        QVERIFY(container->content()->isVisible());
        QCOMPARE(flags(), before);
    }

    void hiddenMenusStayReachableFromTheBackground()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        auto* viewMenu = control<QMenu>(window, "mnuView");
        auto* controlMenu = control<QMenu>(window, "mnuControl");
        QAction* menuItem = act(window, "mnuViewMenu");
        menuItem->trigger();
        QVERIFY(!window->menuBar()->isVisible());
        // Below the bars lies the window's own background.
        QWidget* background = window->centralWidget();
        const QPoint bare(5, background->height() - 3);
        QCOMPARE(background->childAt(bare), nullptr);
        QTest::mousePress(background, Qt::RightButton, {}, bare);
        QTRY_COMPARE(QApplication::activePopupWidget(), viewMenu);
        viewMenu->close();
        QTest::mousePress(background, Qt::LeftButton, {}, bare);
        QTRY_COMPARE(QApplication::activePopupWidget(), controlMenu);
        controlMenu->close();
        // A click on a bar is the bar's.
        QTest::mousePress(control(window, "picNav"), Qt::RightButton, {}, QPoint(px(3000), 2));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        menuItem->trigger();
        QVERIFY(window->menuBar()->isVisible());
    }

    void addressBoxSendsWhatIsConfirmed()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        QApplication::setActiveWindow(window);
        auto* address = control<QComboBox>(window, "cboAddress");
        auto* status = control<QLabel>(window, "pnlStatus");
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
        QVERIFY(navigations().isEmpty());
        const QString typed = "http://127.0.0.1:9/typed.html";
        address->setEditText(QString());
        QTest::keyClicks(address->lineEdit(), typed);
        QVERIFY(navigations().isEmpty());
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        QCOMPARE(navigations(), QStringList{typed});
        QCOMPARE(status->text(), QStringLiteral("Working..."));
        QTRY_COMPARE(status->text(), QStringLiteral("Ready."));
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
        auto* useDefault = control<QCheckBox>(window, "chkUseDefault");
        auto* pauseLabel = control<QLabel>(window, "lblSlidePause");
        QVERIFY(pauseLabel->isVisible());
        QTest::mouseClick(useDefault, Qt::LeftButton);
        QVERIFY(window->Options().UseDefault);
        QVERIFY(ticked(window, "mnuOptionsPauseUseDefault"));
        QVERIFY(!pauseLabel->isVisible());
        QVERIFY(window->Options().Changed);
        act(window, "mnuOptionsPauseUseDefault")->trigger();
        QVERIFY(!window->Options().UseDefault);
        QVERIFY(!useDefault->isChecked());
        QVERIFY(pauseLabel->isVisible());
        act(window, "mnuOptionsLoadingAutoStart")->trigger();
        QVERIFY(control<QCheckBox>(window, "chkAutoStart")->isChecked());
        QTest::mouseClick(control<QCheckBox>(window, "chkBusyWait"), Qt::LeftButton);
        QVERIFY(window->Options().BusyWait);
        QVERIFY(ticked(window, "mnuOptionsLoadingWaitTillDone"));
        // Order and operation: menu item, option button and records together;
        // the checked item chosen again stays checked.
        act(window, "mnuOptionsOrder1")->trigger();
        act(window, "mnuOptionsOrder1")->trigger();
        QVERIFY(ticked(window, "mnuOptionsOrder1"));
        QVERIFY(control<QRadioButton>(window, "optCarMode1")->isChecked());
        QCOMPARE(window->ShowState().SlideSelectionMode, qint16(2));
        QTest::mouseClick(control<QRadioButton>(window, "optCarOp1"), Qt::LeftButton);
        QCOMPARE(window->ShowState().ShowRepeatMode, qint16(2));
        QVERIFY(ticked(window, "mnuOptionsOperation1"));
        // The show toolbar's keys switch each option to its other choice.
        act(window, "tbrCollectMode")->trigger();
        QVERIFY(control<QRadioButton>(window, "optCarMode0")->isChecked());
        act(window, "tbrCollectOperation")->trigger();
        QCOMPARE(window->Options().CarouselOperation, qint16(1));
        QVERIFY(ticked(window, "mnuOptionsOperation0"));
        // A second Auto-Reload returns to Normal; Pause in Normal does nothing.
        act(window, "mnuModeAutoReload")->trigger();
        QVERIFY(ticked(window, "mnuModeAutoReload"));
        act(window, "mnuModeAutoReload")->trigger();
        QVERIFY(ticked(window, "mnuModeNormal"));
        QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
        act(window, "mnuControlPause")->trigger();
        QVERIFY(!ticked(window, "mnuControlPause"));
        QWidget* address = control(window, "cboAddress");
        QCOMPARE(address->toolTip(), QStringLiteral("Select  the slide  to show."));
        act(window, "mnuOptionsToolTipsOff")->trigger();
        QCOMPARE(address->toolTip(), QString());
        QVERIFY(!window->Options().ToolTips);
        act(window, "mnuOptionsToolTipsOn")->trigger();
        QCOMPARE(address->toolTip(), QStringLiteral("Select  the slide  to show."));
    }

    void defaultPauseIsValidatedWhenLeft()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* interval = control<QComboBox>(window, "cboReloadInterval");
        QWidget* elsewhere = control(window, "cmdSlide");
        interval->setFocus();
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval->lineEdit(), QStringLiteral("2 min"));
        elsewhere->setFocus();
        QCOMPARE(m_rig->boxes(),
                 QStringList{QStringLiteral("Choose a setting from the pull down")});
        QCOMPARE(window->Options().ReloadInterval, 15);
        QVERIFY(window->engine().bIntervalDirty());
        // The box takes the focus back.
        QTRY_VERIFY(interval->hasFocus());
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval->lineEdit(), QStringLiteral(" 2 min"));
        elsewhere->setFocus();
        QCOMPARE(window->Options().ReloadInterval, 120);
        QVERIFY(!window->engine().bIntervalDirty());
        QCOMPARE(m_rig->boxes().size(), 1);
    }

    void fullScreenWithoutBrowser()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        window->move(40, 0);
        QAction* fullScreen = act(window, "mnuViewFullScreen");
        QAction* onTop = act(window, "mnuViewAlwaysOnTop");
        fullScreen->trigger();
        QVERIFY(window->FullScreenOn);
        QPointer<frmControlBar> bar = window->controlBar();
        QVERIFY(bar && bar->isVisible());
        // Entered from the menu: the window is kept on top instead of minimised.
        QVERIFY(onTop->isChecked());
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(window->windowState() & Qt::WindowMinimized));
        // The bar across the top leaves the window's menu uncovered.
        QVERIFY(!bar->frameGeometry().intersects(window->frameGeometry()));
        fullScreen->trigger();
        QVERIFY(!window->FullScreenOn);
        QTRY_VERIFY(!bar);
        // "Always on top" stays until it is chosen again.
        QVERIFY(onTop->isChecked());
        onTop->trigger();
        QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(window->isVisible());
        // Leaving from the bar's "Normal Size" unticks the item as well.
        fullScreen->trigger();
        window->controlBar()->findChild<QAction*>(QStringLiteral("mnuViewNormalSize"))->trigger();
        QVERIFY(!window->FullScreenOn);
        QVERIFY(!fullScreen->isChecked());
        QCOMPARE(window->controlBar(), nullptr);
        // So does leaving in the browser itself (Esc), as the browser reports it.
        fullScreen->trigger();
        QVERIFY(window->controlBar());
        // Still on its way into full screen, the window may read normal.
        Q_EMIT window->browserConnection().browserFullScreen(false);
        QVERIFY(window->controlBar());
        Q_EMIT window->browserConnection().browserFullScreen(true);
        Q_EMIT window->browserConnection().browserFullScreen(false);
        QVERIFY(!window->FullScreenOn);
        QVERIFY(!fullScreen->isChecked());
        QTRY_COMPARE(window->controlBar(), nullptr);
    }

    void fullScreenFromTheCommandLine()
    {
        modMain::FullScreenMode = true;
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        modMain::FullScreenMode = false;
        QVERIFY(window->FullScreenOn);
        QVERIFY(window->controlBar());
        // Not on top, so the bar gets the window out of the way.
        QVERIFY(!ticked(window, "mnuViewAlwaysOnTop"));
        QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
        act(window, "mnuViewFullScreen")->trigger();
        QVERIFY(!(window->windowState() & Qt::WindowMinimized));
        act(window, "mnuViewFullScreen")->trigger();
        QVERIFY(ticked(window, "mnuViewAlwaysOnTop"));
    }

    void mainBrowserWithoutBrowser()
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
    }

    void positionControlsAndNavigationButtons()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
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
        QVERIFY(navigations().isEmpty());
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
        QVERIFY(window->ShowState().IsPaused);
        QVERIFY(ticked(window, "mnuControlPause"));
        act(window, "mnuControlStop")->trigger();
        QVERIFY(!window->ShowState().IsPaused);
        QVERIFY(!ticked(window, "mnuControlPause"));
        QVERIFY(ticked(window, "mnuModeNormal"));
    }

    void resizeStretchesTheControlsToTheRightEdge()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        window->resize(px(9000), px(5000));
        const int right = Twips::fromPixels(window->centralWidget()->width()) - 200;
        QCOMPARE(control(window, "sldCollect")->geometry(),
                 Twips::rect(180, 480, right - 180, 300));
        // The status panel starts after the whole "Status" caption.
        const int statusLeft = std::max(
            700, Twips::fromPixels(control(window, "cmdStatus")->geometry().right() + 1) + 30);
        QCOMPARE(control(window, "pnlStatus")->geometry(),
                 Twips::rect(statusLeft, 45, right - statusLeft, 315));
        act(window, "mnuViewStatus")->trigger();
        QCOMPARE(control(window, "picStatusBar")->width(), window->centralWidget()->width());
    }

    void activationShowsTheSlideUnlessAnAddressIsTyped()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
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
        m_rig->dialogs.cancel();
        act(window, "mnuSlideOpen")->trigger();
        visit(&browser, window);
        QCOMPARE(address->currentText(), QString());
        // Back from another of the program's windows, the slide shows again.
        QWidget editor;
        editor.setObjectName(QStringLiteral("frmListEdit"));
        visit(&editor, window);
        QCOMPARE(address->currentText(), second);
        // A message outlasts the focus coming back to its control.
        control(window, "cmdSlide")->setFocus();
        auto* status = control<QLabel>(window, "pnlStatus");
        m_rig->dialogs.chooseFile(m_rig->files.filePath(QStringLiteral("options.txt")));
        act(window, "mnuOptionsSaveToFile")->trigger();
        QCOMPARE(status->text(), QStringLiteral("Options saved to file."));
        visit(&browser, window);
        QTRY_COMPARE(QApplication::focusWidget(), control(window, "cmdSlide"));
        QCOMPARE(status->text(), QStringLiteral("Options saved to file."));
        // The user moving the focus on shows where it went.
        address->setFocus();
        QCOMPARE(status->text(), QStringLiteral("Select  the slide  to show."));
    }

    void captionsFitTheirControls()
    {
        // Run at 1x and, by a second registration, at 2x scale.
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const auto textWidth = [](const QWidget* widget, QString text) {
            return widget->fontMetrics().horizontalAdvance(text.remove(QLatin1Char('&')));
        };
        int checked = 0;
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            // Tool keys show only their icons.
            if (button->text().isEmpty() || !button->isVisibleTo(window) ||
                qobject_cast<const QToolButton*>(button))
                continue;
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
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            // Sunken panels show texts of any length; captions must fit.
            if (label->text().isEmpty() || label->frameShape() != QFrame::NoFrame ||
                !label->isVisibleTo(window))
                continue;
            QVERIFY2(label->contentsRect().width() >= textWidth(label, label->text()),
                     qPrintable(label->text()));
            ++checked;
        }
        QVERIFY(checked >= 10);
    }

    void everyControlHasAnAccessibleName()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        int checked = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool isControl =
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QSlider*>(widget);
            if (!isControl || !widget->isVisibleTo(window))
                continue;
            ++checked;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(face && !face->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(widget->objectName() + u' ' + widget->metaObject()->className()));
        }
        QVERIFY(checked > 20);
        const QStringList keys{"Beginning", "Back", "Pause", "Forward", "Ending", "Stop"};
        for (int i = 0; i < 6; ++i) {
            QWidget* key = control(window, QStringLiteral("cmdNavKey%1").arg(i));
            QCOMPARE(QAccessible::queryAccessibleInterface(key)->text(QAccessible::Name), keys[i]);
        }
    }

    void tipsShowAtLoadUnlessAutoStart()
    {
        COptions options = m_rig->options();
        options.DisplayTips = true;
        const QPointer<frmMain> window = m_rig->open(options);
        auto* tip = window->findChild<QDialog*>(QStringLiteral("frmTip"));
        QVERIFY(tip && tip->isVisible());
        QCOMPARE(tip->windowModality(), Qt::NonModal);
        tip->close();
        act(window, "mnuHelpAbout")->trigger();
        QVERIFY(window->findChild<QDialog*>(QStringLiteral("frmAbout")));
        // With auto start the show runs at once and the tips go.
        options.AutoStart = true;
        options.ReloadMode = 3;
        const QPointer<frmMain> autoStarted = m_rig->open(options);
        const QPointer<QDialog> gone = autoStarted->findChild<QDialog*>(QStringLiteral("frmTip"));
        QVERIFY(!gone || !gone->isVisible());
    }

    void slideEditorEditsTheCurrentSlide()
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
        act(window, "mnuSlideEdit")->trigger();
        QCOMPARE(window->Show().Item(2)->PauseTime, 40000);
        QVERIFY(window->Show().Changed);
        QCOMPARE(control<QLabel>(window, "lblSlidePause")->text(), QStringLiteral("40000"));
        // A click on the slide's sound opens it too; the slide bar's key also.
        int opened = 0;
        const auto cancel = [&opened](frmSlideEdit* editor) {
            ++opened;
            press(editor, "cmdCancel");
        };
        whenModal<frmSlideEdit>(cancel);
        press(window, "lblSlideSound");
        whenModal<frmSlideEdit>(cancel);
        act(window, "tbrSlideEdit")->trigger();
        QCOMPARE(opened, 2);
        // No current slide: no editor, a beep and a log line.
        window->ShowState().NumCurrentSlide = 0;
        act(window, "mnuSlideEdit")->trigger();
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
        // New Show: by me, not all local, no bookmarks, from scratch: the
        // list editor on a new, empty show.
        WizardDriver driver(QStringLiteral("1 2 2 1 n p:cmdCancel"));
        control<QPushButton>(chooser, "cmdNewShow")->click();
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(driver.labels.last(), QStringLiteral("frmListEdit"));
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));
        QTRY_VERIFY(!chooser);
        // The Wizard menu opens the chooser again.
        act(window, "mnuWizard")->trigger();
        QVERIFY(window->wizardStart() && window->wizardStart()->isVisible());
    }

    void newShowAndShowFromDirectoryFromTheFileMenu()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        // New Show: the list editor on an empty show under a new name.
        whenModal<frmListEdit>([](frmListEdit* editor) {
            QCOMPARE(editor->model().rowCount(), 0);
            press(editor, "cmdCancel");
        });
        act(window, "mnuFileNewNewShow")->trigger();
        QCOMPARE(window->Show().Count(), 0);
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));
        // Make Show from Directory: the folder's files become the show.
        const QString folder = m_rig->files.filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkpath(folder));
        m_rig->writeFile(QStringLiteral("pages/a.htm"));
        m_rig->writeFile(QStringLiteral("pages/b.htm"));
        whenModal<frmDirList>([folder](frmDirList* dialog) {
            control<QRadioButton>(dialog, "optAllFiles0")->click();
            control<QLineEdit>(dialog, "txtDir")->setText(folder);
            press(dialog, "cmdOK");
        });
        act(window, "mnuFileNewMakeShowFromDirectory")->trigger();
        QCOMPARE(window->Show().Count(), 2);
        QVERIFY(window->Show().Changed);
        QCOMPARE(control<QLabel>(window, "lblColMax")->text(), QStringLiteral("2"));
        // File > Edit and the show bar's key open the list on that show.
        int opened = 0;
        const auto look = [&opened](frmListEdit* editor) {
            opened += editor->model().rowCount();
            press(editor, "cmdCancel");
        };
        whenModal<frmListEdit>(look);
        act(window, "mnuFileEdit")->trigger();
        whenModal<frmListEdit>(look);
        act(window, "tbrCollectEdit")->trigger();
        QCOMPARE(opened, 4);
        QVERIFY(window->Show().Changed);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
