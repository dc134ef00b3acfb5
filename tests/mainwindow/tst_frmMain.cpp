// SPDX-License-Identifier: GPL-3.0-or-later
// The main window under the offscreen platform: its load, its bars and
// menus, the address box, the options bar and full screen without a
// browser.
#include "MainWindowRig.h"

#include "browser/BrowserConnection.h"
#include "engine/ShowEngine.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/MainBrowser.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "mainwindow/frmControlBar.h"
#include "mainwindow/frmMain.h"
#include "platform/DdeLink.h"
#include "startup/modMain.h"

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
#include <QTest>
#include <QToolButton>

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

QStringList captions(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

QStringList loadSteps(const QStringList& messages)
{
    QStringList steps;
    for (const QString& message : messages) {
        if (message.startsWith(QLatin1String("Main form load - ")))
            steps.append(message.mid(17));
    }
    return steps;
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void loadAppliesLayoutOptionsAndShow();
    void loadSendsTheStartingAddress();
    void autoStartRunsTheSavedMode_data();
    void autoStartRunsTheSavedMode();
    void controlsAndMenusCarryTheirNames();
    void laterWindowsArePresentAndDisabled();
    void barsCollapseAndExpand_data();
    void barsCollapseAndExpand();
    void hiddenMenusStayReachableFromTheBackground();
    void addressBoxSendsAndListsEveryAddress();
    void droppedFileGoesIntoTheAddressBox();
    void optionsBarAndMenuStayInStep();
    void toolTipsFollowTheMenu();
    void defaultPauseIsValidatedWhenLeft();
    void fullScreenWithoutBrowser();
    void fullScreenFromTheCommandLine();
    void positionControlsPickTheSlide();
    void navigationButtonsDriveTheBrowser();
    void resizeStretchesTheControlsToTheRightEdge();
    void focusShowsTheControlsTag();
    void activationRedisplaysAnEditedShow();
    void helpMenuOpensTipsAndAbout();
    void tipsShowAtLoadUnlessAutoStart();
    void mainBrowserWithoutBrowser();

private:
    std::unique_ptr<MainWindowRig> m_rig;
};

void tst_frmMain::init()
{
    m_rig = std::make_unique<MainWindowRig>();
}

void tst_frmMain::cleanup()
{
    m_rig.reset();
}

void tst_frmMain::loadAppliesLayoutOptionsAndShow()
{
    const QString a = m_rig->files.filePath(QStringLiteral("a.txt"));
    const QString b = m_rig->files.filePath(QStringLiteral("b.txt"));
    // The show itself is in the list already, in other letters.
    const QString sameShow = m_rig->showFile().toUpper();
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainMainLeft"),
                               QStringLiteral("300"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainMainTop"),
                               QStringLiteral("450"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainMainWidth"),
                               QStringLiteral("6000"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainMainHeight"),
                               QStringLiteral("5100"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainBarSlideOn"),
                               QStringLiteral("False"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainBarStatusOn"),
                               QStringLiteral("False"));
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainFile1"), a);
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainFile2"), b);
    MainWindowRig::saveSetting(QStringLiteral("Settings"), QStringLiteral("frmMainFile3"),
                               sameShow);

    COptions options = m_rig->options();
    options.CarouselOperation = 2;
    options.CarouselMode = 2;
    options.BusyWait = true;
    options.UseDefault = false;
    options.ToolTips = false;
    options.ReloadInterval = 30;
    options.StartingSlide = 2;
    const QPointer<frmMain> window = m_rig->open(options);
    QVERIFY(window);

    // The show.
    QCOMPARE(window->windowTitle(), QStringLiteral("demo - Vexilo Software Pagewheel"));
    QCOMPARE(window->Show().Count(), 3);
    auto* slider = control<QSlider>(window, QStringLiteral("sldCollect"));
    QVERIFY(slider->isEnabled());
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 3);
    QCOMPARE(control<QLabel>(window, QStringLiteral("lblColMin"))->text(), QStringLiteral("0"));
    QCOMPARE(control<QLabel>(window, QStringLiteral("lblColMax"))->text(), QStringLiteral("3"));
    // The starting slide went through the number box.
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("txtCollectSlide"))->text(),
             QStringLiteral("2"));
    QCOMPARE(window->ShowState().NumCurrentSlide, qint16(2));
    QCOMPARE(slider->value(), 2);

    // The options.
    QVERIFY(control<QRadioButton>(window, QStringLiteral("optCarOp1"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsOperation1"))->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuOptionsOperation0"))->isChecked());
    QVERIFY(control<QRadioButton>(window, QStringLiteral("optCarMode1"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsOrder1"))->isChecked());
    QCOMPARE(window->ShowState().ShowRepeatMode, qint16(2));
    QCOMPARE(window->ShowState().SlideSelectionMode, qint16(2));
    QVERIFY(control<QCheckBox>(window, QStringLiteral("chkBusyWait"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsLoadingWaitTillDone"))
                ->isChecked());
    QVERIFY(!control<QCheckBox>(window, QStringLiteral("chkUseDefault"))->isChecked());
    QVERIFY(!control<QCheckBox>(window, QStringLiteral("chkAutoStart"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOff"))->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOn"))->isChecked());
    auto* interval = control<QComboBox>(window, QStringLiteral("cboReloadInterval"));
    QCOMPARE(interval->currentText(), QStringLiteral("30 sec"));
    QCOMPARE(interval->count(), 17);
    QVERIFY(!window->engine().bIntervalDirty());

    // Normal mode, and nothing left to ask about at exit.
    QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuModeNormal"))->isChecked());
    QVERIFY(!window->Options().Changed);
    QVERIFY(!window->bShowEdited);

    // The recent list: the stored three, the show not a second time.
    QCOMPARE(MainWindowRig::action(window, QStringLiteral("mnuFileArray1"))->text(), a);
    QCOMPARE(MainWindowRig::action(window, QStringLiteral("mnuFileArray2"))->text(), b);
    QCOMPARE(MainWindowRig::action(window, QStringLiteral("mnuFileArray3"))->text(), sameShow);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuFileArray0"))->isVisible());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuFileArray4"))->isVisible());

    // The layout: position and size, and the two bars stored as hidden.
    QCOMPARE(window->pos(), QPoint(px(300), px(450)));
    QCOMPARE(window->size(), QSize(px(6000), px(5100)));
    QCOMPARE(control(window, QStringLiteral("picSlide"))->height(), px(135));
    QCOMPARE(control(window, QStringLiteral("picStatus"))->height(), px(135));
    QCOMPARE(control(window, QStringLiteral("picCollect"))->height(), px(1000));
    QCOMPARE(control(window, QStringLiteral("picNav"))->height(), px(650));
    QCOMPARE(control(window, QStringLiteral("picOpt"))->height(), px(1050));
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuViewSlide"))->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuViewStatus"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuViewShow"))->isChecked());
    QVERIFY(!window->ScreenSettings().BarSlideOn);
    QVERIFY(window->ScreenSettings().BarCollectOn);

    QVERIFY(window->isVisible());
    QCOMPARE(loadSteps(m_rig->log->messages()),
             (QStringList{"start", "load options", "show form", "display tips",
                          "init starting address", "display wizard"}));
    QVERIFY(m_rig->boxes().isEmpty());
}

void tst_frmMain::loadSendsTheStartingAddress()
{
    COptions options = m_rig->options();
    const QString start = QStringLiteral("http://127.0.0.1:9/start.html");
    options.StartingAddress = start;
    const QPointer<frmMain> window = m_rig->open(options);
    QCOMPARE(m_rig->browser.navigations(), QStringList{start});
    auto* address = control<QComboBox>(window, QStringLiteral("cboAddress"));
    QCOMPARE(address->currentText(), start);
    QCOMPARE(address->count(), 1);
    QCOMPARE(address->itemText(0), start);
    delete window;

    m_rig->browser.calls.clear();
    const QPointer<frmMain> second = m_rig->open(m_rig->options());
    QVERIFY(m_rig->browser.navigations().isEmpty());
    QCOMPARE(control<QComboBox>(second, QStringLiteral("cboAddress"))->currentText(), QString());
}

void tst_frmMain::autoStartRunsTheSavedMode_data()
{
    QTest::addColumn<qint16>("reloadMode");
    QTest::addColumn<QString>("checkedItem");
    QTest::addColumn<QStringList>("navigations");
    QTest::addRow("show") << qint16(3) << QStringLiteral("mnuModeShow")
                          << QStringList{QStringLiteral("http://127.0.0.1:9/one.html")};
    QTest::addRow("auto reload") << qint16(2) << QStringLiteral("mnuModeAutoReload")
                                 << QStringList{QStringLiteral("http://127.0.0.1:9/start.html")};
}

void tst_frmMain::autoStartRunsTheSavedMode()
{
    QFETCH(qint16, reloadMode);
    QFETCH(QString, checkedItem);
    QFETCH(QStringList, navigations);
    COptions options = m_rig->options();
    options.AutoStart = true;
    options.ReloadMode = reloadMode;
    options.ReloadInterval = 60;
    options.StartingAddress = QStringLiteral("http://127.0.0.1:9/start.html");
    const QPointer<frmMain> window = m_rig->open(options);
    QCOMPARE(window->engine().CurrentMode(), reloadMode);
    QVERIFY(MainWindowRig::action(window, checkedItem)->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuModeNormal"))->isChecked());
    QVERIFY(control<QCheckBox>(window, QStringLiteral("chkAutoStart"))->isChecked());
    // After the starting address, the mode's first step.
    QCOMPARE(m_rig->browser.navigations().mid(1), navigations);
}

void tst_frmMain::controlsAndMenusCarryTheirNames()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QStringList tagged = {
        "picSlide",        "picCollect",        "picNav",       "picStatus",
        "picOpt",          "tbrSlide",          "cboAddress",   "cmdSlide",
        "lblSlideSound",   "lblSlidePause",     "tbrCollect",   "cmdCollect",
        "txtCollectSlide", "updwnCollect",      "sldCollect",   "lblColMin",
        "lblColMax",       "cmdNavKey0",        "cmdNavKey1",   "cmdNavKey2",
        "cmdNavKey3",      "cmdNavKey4",        "cmdNavKey5",   "cmdNav",
        "cmdStatus",       "pnlStatus",         "optCarMode0",  "optCarMode1",
        "optCarOp0",       "optCarOp1",         "chkAutoStart", "chkUseDefault",
        "chkBusyWait",     "cboReloadInterval", "picSlideBar",  "picOptBar"};
    for (const QString& name : tagged) {
        QWidget* widget = control(window, name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(!widget->property("Tag").toString().isEmpty(), qPrintable(name));
    }
    QCOMPARE(control(window, QStringLiteral("cboAddress"))->property("Tag").toString(),
             QStringLiteral("Select  the slide  to show."));
    QCOMPARE(control(window, QStringLiteral("cmdCollect"))->property("Tag").toString(),
             QStringLiteral("Begin the slide show."));
    QCOMPARE(window->property("Tag").toString(), QStringLiteral("Main Pagewheel screen."));
    QCOMPARE(window->engine().alarm().objectName(), QStringLiteral("VexiloTimer1"));
    QCOMPARE(window->browserConnection().link().objectName(), QStringLiteral("txtDDE"));

    QCOMPARE(captions(window->menuBar()->actions()),
             (QStringList{"&File", "&Wizard", "&Control", "&View", "&Mode", "&Slide", "&Options",
                          "&Help"}));
    const auto menu = [&window](const char* name) {
        return captions(control<QMenu>(window, QLatin1String(name))->actions());
    };
    QCOMPARE(menu("mnuFile").mid(0, 8),
             (QStringList{"&New", "&Open", "E&dit", "&Save", "Save &As...", "&Import and Export",
                          "&Exit", "-"}));
    QCOMPARE(menu("mnuFileNew"),
             (QStringList{"&Pagewheel Window", "&New Show", "&Make Show from Directory"}));
    QCOMPARE(menu("mnuControl"), (QStringList{"Be&ginning", "&Back", "&Pause", "&Forward",
                                              "&Ending", "&Stop", "&Reload"}));
    QCOMPARE(menu("mnuView"), (QStringList{"&Menu", "&Control", "S&how", "&Slide", "&Options",
                                           "S&tatus", "-", "&Always on top", "&Full Screen"}));
    QCOMPARE(menu("mnuMode"), (QStringList{"&Normal", "&Auto-Reload", "&Show"}));
    QCOMPARE(menu("mnuOptions"),
             (QStringList{"&Operation", "O&rder", "&Loading", "&Pause", "&Tool Tips", "-",
                          "&Save to file...", "-", "&Browser"}));
    QCOMPARE(menu("mnuOptionsLoading"), (QStringList{"&Auto Start", "&wait till done"}));
    QCOMPARE(menu("mnuHelp"),
             (QStringList{"&Help Topics", "&Search", "&Using Help", "&Tips", "-",
                          "&Vexilo Software Website", "Software &Updates", "-", "&About"}));
    for (const char* name : {"mnuOptionsOrder0", "mnuOptionsOrder1", "mnuOptionsOperation0",
                             "mnuOptionsOperation1", "mnuFileArray5", "mnuSlideOpen"})
        QVERIFY2(MainWindowRig::action(window, QLatin1String(name)), name);
}

void tst_frmMain::laterWindowsArePresentAndDisabled()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    for (const char* name : {"mnuFileNewNewShow", "mnuFileNewMakeShowFromDirectory", "mnuFileEdit",
                             "mnuFileSaveAsWebShow", "mnuWizard", "mnuSlideEdit",
                             "mnuOptionsBrowser", "tbrSlideEdit", "tbrCollectEdit"}) {
        QAction* item = MainWindowRig::action(window, QLatin1String(name));
        QVERIFY2(item && !item->isEnabled(), name);
    }
    for (const char* name :
         {"mnuFileOpen", "mnuFileSave", "mnuFileSaveAsFile",
          "mnuFileImportAndExportImportBookmarks", "mnuFileImportAndExportExportBookmarks",
          "mnuOptionsSaveToFile", "mnuHelpAbout", "mnuHelpTips", "mnuViewFullScreen"})
        QVERIFY2(MainWindowRig::action(window, QLatin1String(name))->isEnabled(), name);
}

void tst_frmMain::barsCollapseAndExpand_data()
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

void tst_frmMain::barsCollapseAndExpand()
{
    QFETCH(QString, bar);
    QFETCH(QString, viewItem);
    QFETCH(int, expanded);
    QFETCH(int, stripExpanded);
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* container = control<CollapsibleBar>(window, bar);
    QWidget* strip = control(window, bar + QStringLiteral("Bar"));
    QAction* item = MainWindowRig::action(window, viewItem);
    const auto flags = [&window] {
        const cScreenSettings& layout = window->ScreenSettings();
        return QList<bool>{layout.BarSlideOn, layout.BarCollectOn, layout.BarNavOn,
                           layout.BarStatusOn, layout.BarOptOn};
    };
    const QList<bool> before = flags();

    QCOMPARE(container->height(), px(expanded));
    QCOMPARE(strip->height(), px(stripExpanded));
    QCOMPARE(strip->width(), px(125));
    QVERIFY(item->isChecked());

    // A click on the strip collapses the bar to a thin strip across.
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(container->height(), px(135));
    QCOMPARE(strip->height(), px(135));
    QCOMPARE(strip->width(), container->width());
    QCOMPARE(container->width(), window->centralWidget()->width());
    QVERIFY(!container->content()->isVisible());
    QVERIFY(!item->isChecked());
    const QList<bool> collapsed = flags();
    QCOMPARE(collapsed.count(false), 1);
    QVERIFY(before.count(false) == 0);

    // The View item brings it back.
    item->trigger();
    QCOMPARE(container->height(), px(expanded));
    QCOMPARE(strip->width(), px(125));
    QVERIFY(container->content()->isVisible());
    QVERIFY(item->isChecked());
    QCOMPARE(flags(), before);
}

void tst_frmMain::hiddenMenusStayReachableFromTheBackground()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* viewMenu = control<QMenu>(window, QStringLiteral("mnuView"));
    auto* controlMenu = control<QMenu>(window, QStringLiteral("mnuControl"));
    QCOMPARE(window->backgroundMenu(Qt::RightButton), viewMenu);
    QCOMPARE(window->backgroundMenu(Qt::LeftButton), controlMenu);
    QCOMPARE(window->backgroundMenu(Qt::MiddleButton), nullptr);

    QAction* menuItem = MainWindowRig::action(window, QStringLiteral("mnuViewMenu"));
    QVERIFY(menuItem->isChecked());
    menuItem->trigger();
    QVERIFY(!menuItem->isChecked());
    QVERIFY(!window->menuBar()->isVisible());
    for (QAction* top : window->menuBar()->actions())
        QVERIFY2(!top->isVisible(), qPrintable(top->text()));

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
    QTest::mousePress(control(window, QStringLiteral("picNav")), Qt::RightButton, {},
                      QPoint(px(3000), 2));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);

    // The View menu's "&Menu" shows them again.
    menuItem->trigger();
    QVERIFY(menuItem->isChecked());
    QVERIFY(window->menuBar()->isVisible());
    for (QAction* top : window->menuBar()->actions())
        QVERIFY2(top->isVisible(), qPrintable(top->text()));
}

void tst_frmMain::addressBoxSendsAndListsEveryAddress()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* address = control<QComboBox>(window, QStringLiteral("cboAddress"));
    auto* status = control<QLabel>(window, QStringLiteral("pnlStatus"));
    const QString typed = QStringLiteral("http://127.0.0.1:9/typed.html");
    QTest::keyClicks(address->lineEdit(), typed);
    QVERIFY(m_rig->browser.navigations().isEmpty());
    QTest::keyClick(address->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_rig->browser.navigations(), QStringList{typed});
    QCOMPARE(status->text(), QStringLiteral("Working..."));
    QVERIFY(window->engine().pageWatcherActive());
    QTRY_COMPARE(status->text(), QStringLiteral("Ready."));

    // The same address again is listed again.
    QTest::keyClick(address->lineEdit(), Qt::Key_Enter);
    QCOMPARE(m_rig->browser.navigations(), (QStringList{typed, typed}));
    QCOMPARE(address->count(), 2);
    QCOMPARE(address->itemText(0), typed);
    QCOMPARE(address->itemText(1), typed);
    QCOMPARE(address->currentText(), typed);

    // A list entry chosen is sent too.
    address->setEditText(QString());
    Q_EMIT address->activated(0);
    QCOMPARE(m_rig->browser.navigations().size(), 3);
    QCOMPARE(address->currentText(), typed);

    // An empty box sends nothing.
    address->setEditText(QString());
    QTest::keyClick(address->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_rig->browser.navigations().size(), 3);
    QCOMPARE(address->count(), 3);
}

void tst_frmMain::droppedFileGoesIntoTheAddressBox()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* address = control<QComboBox>(window, QStringLiteral("cboAddress"));
    const QString picture = m_rig->writeFile(QStringLiteral("picture.jpg"));
    const QString other = m_rig->writeFile(QStringLiteral("other.jpg"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture), QUrl::fromLocalFile(other)});

    QDragEnterEvent overBar(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(control(window, QStringLiteral("picSlide")), &overBar);
    QCOMPARE(control<QLabel>(window, QStringLiteral("pnlStatus"))->text(),
             QStringLiteral("Slide window"));

    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(address->lineEdit(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(address->lineEdit(), &drop);
    QCOMPARE(address->currentText(), picture);
    // Not sent until the user confirms it.
    QVERIFY(m_rig->browser.navigations().isEmpty());
    QVERIFY(m_rig->log->messages().contains(QStringLiteral("cboAddress OleDragDrop, Data files:") +
                                            picture));
}

void tst_frmMain::optionsBarAndMenuStayInStep()
{
    COptions options = m_rig->options();
    options.UseDefault = false;
    options.AutoStart = false;
    const QPointer<frmMain> window = m_rig->open(options);
    auto* useDefault = control<QCheckBox>(window, QStringLiteral("chkUseDefault"));
    auto* pauseLabel = control<QLabel>(window, QStringLiteral("lblSlidePause"));
    QAction* useDefaultItem =
        MainWindowRig::action(window, QStringLiteral("mnuOptionsPauseUseDefault"));
    QVERIFY(pauseLabel->isVisible());

    QTest::mouseClick(useDefault, Qt::LeftButton);
    QVERIFY(window->Options().UseDefault);
    QVERIFY(useDefaultItem->isChecked());
    QVERIFY(!pauseLabel->isVisible());
    QVERIFY(window->Options().Changed);
    QVERIFY(m_rig->log->messages().contains(QStringLiteral("Check Value: 1")));

    useDefaultItem->trigger();
    QVERIFY(!window->Options().UseDefault);
    QVERIFY(!useDefault->isChecked());
    QVERIFY(!useDefaultItem->isChecked());
    QVERIFY(pauseLabel->isVisible());

    MainWindowRig::action(window, QStringLiteral("mnuOptionsLoadingAutoStart"))->trigger();
    QVERIFY(window->Options().AutoStart);
    QVERIFY(control<QCheckBox>(window, QStringLiteral("chkAutoStart"))->isChecked());
    QTest::mouseClick(control<QCheckBox>(window, QStringLiteral("chkBusyWait")), Qt::LeftButton);
    QVERIFY(window->Options().BusyWait);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsLoadingWaitTillDone"))
                ->isChecked());

    // Order and operation: menu item, option button and records together.
    MainWindowRig::action(window, QStringLiteral("mnuOptionsOrder1"))->trigger();
    QVERIFY(control<QRadioButton>(window, QStringLiteral("optCarMode1"))->isChecked());
    QCOMPARE(window->Options().CarouselMode, qint16(2));
    QCOMPARE(window->ShowState().SlideSelectionMode, qint16(2));
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuOptionsOrder0"))->isChecked());
    // Choosing the checked item again keeps it checked.
    MainWindowRig::action(window, QStringLiteral("mnuOptionsOrder1"))->trigger();
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsOrder1"))->isChecked());

    QTest::mouseClick(control<QRadioButton>(window, QStringLiteral("optCarOp1")), Qt::LeftButton);
    QCOMPARE(window->Options().CarouselOperation, qint16(2));
    QCOMPARE(window->ShowState().ShowRepeatMode, qint16(2));
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsOperation1"))->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuOptionsOperation0"))->isChecked());

    // The show toolbar's two keys switch each option to its other choice.
    MainWindowRig::action(window, QStringLiteral("tbrCollectMode"))->trigger();
    QCOMPARE(window->Options().CarouselMode, qint16(1));
    QVERIFY(control<QRadioButton>(window, QStringLiteral("optCarMode0"))->isChecked());
    MainWindowRig::action(window, QStringLiteral("tbrCollectOperation"))->trigger();
    QCOMPARE(window->Options().CarouselOperation, qint16(1));
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsOperation0"))->isChecked());

    // Mode items: a second Auto-Reload returns to Normal; Show while in
    // Show keeps its tick.
    QAction* autoReload = MainWindowRig::action(window, QStringLiteral("mnuModeAutoReload"));
    autoReload->trigger();
    QVERIFY(autoReload->isChecked());
    QVERIFY(!pauseLabel->isVisible());
    autoReload->trigger();
    QVERIFY(!autoReload->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuModeNormal"))->isChecked());
    QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeNormal);
    // Pause in Normal mode does nothing, and the item stays unticked.
    MainWindowRig::action(window, QStringLiteral("mnuControlPause"))->trigger();
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuControlPause"))->isChecked());
}

void tst_frmMain::toolTipsFollowTheMenu()
{
    COptions options = m_rig->options();
    options.ToolTips = true;
    const QPointer<frmMain> window = m_rig->open(options);
    QWidget* address = control(window, QStringLiteral("cboAddress"));
    QCOMPARE(address->toolTip(), QStringLiteral("Select  the slide  to show."));
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOn"))->isChecked());

    MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOff"))->trigger();
    QCOMPARE(address->toolTip(), QString());
    QVERIFY(!window->Options().ToolTips);
    QVERIFY(window->Options().Changed);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOff"))->isChecked());
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOn"))->isChecked());

    MainWindowRig::action(window, QStringLiteral("mnuOptionsToolTipsOn"))->trigger();
    QCOMPARE(address->toolTip(), QStringLiteral("Select  the slide  to show."));
    QVERIFY(window->Options().ToolTips);
}

void tst_frmMain::defaultPauseIsValidatedWhenLeft()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* interval = control<QComboBox>(window, QStringLiteral("cboReloadInterval"));
    QWidget* elsewhere = control(window, QStringLiteral("cmdSlide"));
    QCOMPARE(interval->currentText(), QStringLiteral("15 sec"));

    interval->setFocus();
    interval->lineEdit()->selectAll();
    QTest::keyClicks(interval->lineEdit(), QStringLiteral("2 min"));
    QVERIFY(window->engine().bIntervalDirty());
    elsewhere->setFocus();
    QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("Choose a setting from the pull down")});
    QCOMPARE(m_rig->prompts.shown().first().title, QStringLiteral("Error"));
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

void tst_frmMain::fullScreenWithoutBrowser()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    QAction* fullScreen = MainWindowRig::action(window, QStringLiteral("mnuViewFullScreen"));
    QAction* onTop = MainWindowRig::action(window, QStringLiteral("mnuViewAlwaysOnTop"));
    QVERIFY(!onTop->isChecked());

    fullScreen->trigger();
    QVERIFY(window->FullScreenOn);
    QVERIFY(fullScreen->isChecked());
    QPointer<frmControlBar> bar = window->controlBar();
    QVERIFY(bar);
    QVERIFY(bar->isVisible());
    // Entered from the menu: the window is kept on top instead of minimised.
    QVERIFY(onTop->isChecked());
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));

    fullScreen->trigger();
    QVERIFY(!window->FullScreenOn);
    QVERIFY(!fullScreen->isChecked());
    QCOMPARE(window->controlBar(), nullptr);
    QTRY_VERIFY(!bar);
    // "Always on top" stays until it is chosen again.
    QVERIFY(onTop->isChecked());
    onTop->trigger();
    QVERIFY(!onTop->isChecked());
    QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(window->isVisible());

    // Leaving from the bar's "Normal Size" unticks the item as well.
    fullScreen->trigger();
    bar = window->controlBar();
    QVERIFY(bar);
    bar->findChild<QAction*>(QStringLiteral("mnuViewNormalSize"))->trigger();
    QVERIFY(!window->FullScreenOn);
    QVERIFY(!fullScreen->isChecked());
    QCOMPARE(window->controlBar(), nullptr);
}

void tst_frmMain::fullScreenFromTheCommandLine()
{
    modMain::FullScreenMode = true;
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    modMain::FullScreenMode = false;
    QVERIFY(window->FullScreenOn);
    QVERIFY(window->controlBar());
    // The command line's request leaves "Always on top" alone, so the bar
    // gets the window out of the way.
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuViewAlwaysOnTop"))->isChecked());
    QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);

    // The next time it is asked from the menu, always on top comes on.
    MainWindowRig::action(window, QStringLiteral("mnuViewFullScreen"))->trigger();
    QVERIFY(!window->FullScreenOn);
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
    MainWindowRig::action(window, QStringLiteral("mnuViewFullScreen"))->trigger();
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuViewAlwaysOnTop"))->isChecked());
}

void tst_frmMain::mainBrowserWithoutBrowser()
{
    COptions options = m_rig->options();
    BrowserConnection connection(options);
    MainBrowser browser(connection, options);
    QVERIFY(!browser.useOLE());
    QVERIFY(!browser.useDDE());

    // Automation with no instance: every call fails as on no object.
    connection.UseOLE = true;
    QVERIFY(browser.useOLE());
    VbError error;
    QVERIFY(!browser.Navigate(QStringLiteral("http://127.0.0.1:9/"), &error));
    QCOMPARE(error.number, 91);
    error = {};
    browser.Busy(&error);
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
    // No notifier yet (no browser ever loaded): nothing to offer.
    browser.NotifierTerminate();
    QVERIFY(m_rig->boxes().isEmpty());
}

void tst_frmMain::positionControlsPickTheSlide()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    auto* slider = control<QSlider>(window, QStringLiteral("sldCollect"));
    auto* number = control<QLineEdit>(window, QStringLiteral("txtCollectSlide"));
    auto* address = control<QComboBox>(window, QStringLiteral("cboAddress"));
    auto* upDown = control<UpDown>(window, QStringLiteral("updwnCollect"));

    // The user's move of the slider: the slide's fields, nothing sent.
    slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(number->text(), QStringLiteral("1"));
    QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/one.html"));
    QCOMPARE(window->ShowState().NumCurrentSlide, qint16(1));
    QVERIFY(window->engine().bShowCurrent());

    QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    QCOMPARE(number->text(), QStringLiteral("2"));
    QCOMPARE(slider->value(), 2);
    QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/two.html"));
    // The up-down stops at the show's end.
    QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    QCOMPARE(number->text(), QStringLiteral("3"));

    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("1"));
    QCOMPARE(slider->value(), 1);
    QCOMPARE(address->currentText(), QStringLiteral("http://127.0.0.1:9/one.html"));
    QVERIFY(m_rig->browser.navigations().isEmpty());

    // "Slide" sends the box's slide.
    QTest::mouseClick(control(window, QStringLiteral("cmdSlide")), Qt::LeftButton);
    QCOMPARE(m_rig->browser.navigations(),
             QStringList{QStringLiteral("http://127.0.0.1:9/one.html")});
}

void tst_frmMain::navigationButtonsDriveTheBrowser()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    // Normal mode with the automation browser: Back, Forward and Stop.
    QVERIFY(!control(window, QStringLiteral("cmdNavKey0"))->isEnabled());
    QVERIFY(control(window, QStringLiteral("cmdNavKey1"))->isEnabled());
    QVERIFY(control(window, QStringLiteral("cmdNavKey3"))->isEnabled());
    QVERIFY(control(window, QStringLiteral("cmdNavKey5"))->isEnabled());
    QTest::mouseClick(control(window, QStringLiteral("cmdNavKey3")), Qt::LeftButton);
    QCOMPARE(m_rig->browser.count(QStringLiteral("GoForward")), 1);
    QVERIFY(window->engine().pageWatcherActive());

    // "Control": left Back, middle Pause, right Forward.
    QWidget* controlButton = control(window, QStringLiteral("cmdNav"));
    QTest::mousePress(controlButton, Qt::LeftButton);
    QCOMPARE(m_rig->browser.count(QStringLiteral("GoBack")), 1);
    QTest::mousePress(controlButton, Qt::RightButton);
    QCOMPARE(m_rig->browser.count(QStringLiteral("GoForward")), 2);

    // In Show mode the middle button pauses the show.
    QTest::mouseClick(control(window, QStringLiteral("cmdCollect")), Qt::LeftButton);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuModeShow"))->isChecked());
    QTest::mousePress(controlButton, Qt::MiddleButton);
    QVERIFY(window->ShowState().IsPaused);
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuControlPause"))->isChecked());
    QCOMPARE(window->property("IconNumber").toInt(), 103);
    MainWindowRig::action(window, QStringLiteral("mnuControlStop"))->trigger();
    QVERIFY(!window->ShowState().IsPaused);
    QVERIFY(!MainWindowRig::action(window, QStringLiteral("mnuControlPause"))->isChecked());
    QVERIFY(MainWindowRig::action(window, QStringLiteral("mnuModeNormal"))->isChecked());
}

void tst_frmMain::resizeStretchesTheControlsToTheRightEdge()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->resize(px(9000), px(5000));
    const int right = Twips::fromPixels(window->centralWidget()->width()) - 200;
    QCOMPARE(control(window, QStringLiteral("sldCollect"))->geometry(),
             Twips::rect(180, 480, right - 180, 300));
    QCOMPARE(control(window, QStringLiteral("pnlStatus"))->geometry(),
             Twips::rect(700, 45, right - 700, 315));
    QCOMPARE(control(window, QStringLiteral("lblColMax"))->x(), px(right - 220));
    // A collapsed bar's strip runs across the new width.
    MainWindowRig::action(window, QStringLiteral("mnuViewStatus"))->trigger();
    QCOMPARE(control(window, QStringLiteral("picStatusBar"))->width(),
             window->centralWidget()->width());
    QVERIFY(m_rig->log->messages().contains(QStringLiteral("Main resize, window State: 0")));
}

void tst_frmMain::focusShowsTheControlsTag()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* status = control<QLabel>(window, QStringLiteral("pnlStatus"));
    control(window, QStringLiteral("cmdSlide"))->setFocus();
    QCOMPARE(status->text(), QStringLiteral("Show the single slide."));
    control<QComboBox>(window, QStringLiteral("cboAddress"))->setFocus();
    QCOMPARE(status->text(), QStringLiteral("Select  the slide  to show."));
}

void tst_frmMain::activationRedisplaysAnEditedShow()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Show().Add(QStringLiteral("http://127.0.0.1:9/four.html"), QString(), 4, false);
    window->bShowEdited = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window, &activate);
    QVERIFY(!window->bShowEdited);
    QCOMPARE(control<QLabel>(window, QStringLiteral("lblColMax"))->text(), QStringLiteral("4"));

    // Otherwise the current slide's fields are shown again.
    window->engine().SlideNumberEdited(QStringLiteral("4"));
    control<QComboBox>(window, QStringLiteral("cboAddress"))->setEditText(QString());
    QApplication::sendEvent(window, &activate);
    QCOMPARE(control<QComboBox>(window, QStringLiteral("cboAddress"))->currentText(),
             QStringLiteral("http://127.0.0.1:9/four.html"));
    QCOMPARE(control<QLabel>(window, QStringLiteral("lblSlidePause"))->text(), QStringLiteral("4"));
    QVERIFY(!m_rig->log->messages().filter(QStringLiteral(" is active.")).isEmpty());
}

void tst_frmMain::helpMenuOpensTipsAndAbout()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    MainWindowRig::action(window, QStringLiteral("mnuHelpTips"))->trigger();
    QDialog* tip = window->findChild<QDialog*>(QStringLiteral("frmTip"));
    QVERIFY(tip);
    QVERIFY(tip->isVisible());
    QVERIFY(tip->isModal() || tip->windowModality() != Qt::NonModal);
    tip->close();
    MainWindowRig::action(window, QStringLiteral("mnuHelpAbout"))->trigger();
    QDialog* about = window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QVERIFY(about->isVisible());
    about->close();
}

void tst_frmMain::tipsShowAtLoadUnlessAutoStart()
{
    COptions options = m_rig->options();
    options.DisplayTips = true;
    const QPointer<frmMain> window = m_rig->open(options);
    QPointer<QDialog> tip = window->findChild<QDialog*>(QStringLiteral("frmTip"));
    QVERIFY(tip);
    QVERIFY(tip->isVisible());
    // Not modal: the window beside it can be used.
    QCOMPARE(tip->windowModality(), Qt::NonModal);
    // A copy shows none.
    MainWindowRig::action(window, QStringLiteral("mnuFileNewPagewheelWindow"))->trigger();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* main = qobject_cast<frmMain*>(top);
        if (main && main->IsCopy)
            QCOMPARE(main->findChild<QDialog*>(QStringLiteral("frmTip")), nullptr);
    }

    // With auto start the show runs at once and the tips go.
    options.AutoStart = true;
    options.ReloadMode = 3;
    const QPointer<frmMain> autoStarted = m_rig->open(options);
    tip = autoStarted->findChild<QDialog*>(QStringLiteral("frmTip"));
    QVERIFY(!tip || !tip->isVisible());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
