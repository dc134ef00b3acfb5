// SPDX-License-Identifier: GPL-3.0-or-later
// The floating control bar without a browser (as with a DDE browser) or
// with one that never started, and an owner that records its calls.
#include "mainwindow/frmControlBar.h"
#include "platform/ScriptedCommonDialog.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include "LogCapture.h"
#include "RecordingOwner.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_frmControlBar : public QObject
{
    Q_OBJECT

    std::unique_ptr<RecordingOwner> m_owner;
    COptions m_options;
    QPointer<frmControlBar> m_bar;
    std::unique_ptr<QTemporaryDir> m_folder; // each test's log

    /// A shown bar; it deletes itself when closed, so it is held weakly.
    QPointer<frmControlBar> showBar(AutomationBrowser* browser = nullptr)
    {
        m_bar = new frmControlBar(browser, m_owner.get(), &m_options, &m_owner->state);
        m_bar->show();
        return m_bar;
    }
    static QAction* item(QWidget* bar, const QString& name)
    {
        return bar->findChild<QAction*>(name);
    }
    static QWidget* picControl(QWidget* bar) { return bar->findChild<QWidget*>("picControl"); }

private Q_SLOTS:
    void init()
    {
        m_owner = std::make_unique<RecordingOwner>();
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        delete m_bar;
        modMain::ResetProgramState();
    }

    void placedAcrossTheTopOfTheScreen_data()
    {
        QTest::addColumn<bool>("alwaysOnTop");
        QTest::addColumn<QString>("ownerCall");
        QTest::newRow("owner minimised") << false << "minimizeWindow";
        QTest::newRow("owner kept on top") << true << "makeWindowTopmost";
    }

    void placedAcrossTheTopOfTheScreen()
    {
        QFETCH(bool, alwaysOnTop);
        QFETCH(QString, ownerCall);
        m_owner->alwaysOnTop = alwaysOnTop;
        const auto bar = showBar();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(bar->geometry(), QRect(screen.x() - 1, screen.y() - 5, screen.width(), 20));
        QVERIFY(bar->windowFlags() & Qt::WindowStaysOnTopHint);
        // Only the first show places the bar.
        bar->hide();
        bar->show();
        QCOMPARE(m_owner->calls, QStringList{ownerCall});
    }

    void mouseButtonsPopTheirMenusWhoseItemsCallTheOwner()
    {
        const auto bar = showBar();
        const QList<std::pair<Qt::MouseButton, QString>> menus = {{Qt::LeftButton, "mnuControl"},
                                                                  {Qt::RightButton, "mnuView"},
                                                                  {Qt::MiddleButton, "mnuCenter"}};
        for (const auto& [button, menu] : menus) {
            QTest::mousePress(picControl(bar), button, {}, QPoint(200, 10));
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
            m_owner->calls.clear();
            item(bar, name)->trigger();
            QCOMPARE(m_owner->calls, called);
            QVERIFY(bar && bar->isVisible());
        }
    }

    void pauseIsCheckedExactlyWhenPaused()
    {
        const auto bar = showBar();
        QAction* pause = item(bar, QStringLiteral("mnuControlPause"));
        pause->trigger();
        QVERIFY(m_owner->state.IsPaused && pause->isChecked());
        pause->trigger();
        QVERIFY(!m_owner->state.IsPaused && !pause->isChecked());
        // In Normal mode Pause changes nothing; the item must not tick itself.
        m_owner->showRunning = false;
        pause->trigger();
        QVERIFY(!pause->isChecked());
        // Paused elsewhere: the menu shows it when it opens.
        m_owner->state.IsPaused = cShowState::True;
        bar->menuFor(Qt::LeftButton)->popup(QPoint(10, 10));
        QVERIFY(pause->isChecked());
        bar->menuFor(Qt::LeftButton)->hide();
    }

    void closingRestoresTheOwner()
    {
        const auto bar = showBar();
        bar->close();
        QCOMPARE(m_owner->calls,
                 (QStringList{"minimizeWindow", "restoreWindow", "controlBarClosed"}));
        QTRY_VERIFY(bar.isNull());
        // Normal Size logs what the browser that never started refused, and closes.
        LogCapture log(m_folder->path(), false, true);
        AutomationBrowser notStarted;
        const auto second = showBar(&notStarted);
        m_owner->calls.clear();
        item(second, QStringLiteral("mnuViewNormalSize"))->trigger();
        QTRY_VERIFY(second.isNull());
        QCOMPARE(m_owner->calls,
                 (QStringList{"restoreWindow", "restoreWindow", "controlBarClosed"}));
        const QString failure = u"91,  Description: " + AutomationErrors::make(91).description;
        QCOMPARE(log.messages(), (QStringList{"Error in placing control bar: " + failure,
                                              "Error in resizing control bar: " + failure}));
    }

    void colorCancelledKeepsTheColour()
    {
        LogCapture log(m_folder->path(), false, true);
        ScriptedCommonDialog script;
        const auto bar = showBar();
        const QColor before = bar->controlColor();
        script.cancel();
        item(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(bar->controlColor(), before);
        QCOMPARE(log.messages(), QStringList{"Error in mnuViewColor: 32755"});
        script.chooseColor(QColor(0x20, 0x40, 0x60));
        item(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(picControl(bar)->palette().color(picControl(bar)->backgroundRole()),
                 QColor(0x20, 0x40, 0x60));
        // The dialog starts from the bar's colour.
        QCOMPARE(script.requests().at(0).Color, before);
        QCOMPARE(script.requests().at(0).Flags, CommonDialog::cdlCCRGBInit);
        // The owner's file dialogs keep reporting a cancel as an empty name.
        QVERIFY(!m_owner->dialog.CancelError);
        QCOMPARE(m_owner->dialog.Flags, 0);
    }

    void menusVisibleMakesAMenuBar()
    {
        const auto bar = showBar();
        auto* menuBar = bar->findChild<QMenuBar*>();
        QVERIFY(!menuBar->isVisible());
        item(bar, QStringLiteral("mnuCenterMenusVisible"))->trigger();
        QVERIFY(menuBar->isVisible() && !item(bar, QStringLiteral("mnuViewColor"))->isVisible());
        QCOMPARE(menuBar->actions().size(), 2);
        // The menu bar lies on the screen, whole; the strip keeps 15 pixels.
        const int screenTop = QGuiApplication::primaryScreen()->geometry().y();
        QCOMPARE(menuBar->mapToGlobal(QPoint(0, 0)).y(), screenTop);
        QCOMPARE(menuBar->height(), menuBar->sizeHint().height());
        QCOMPARE(picControl(bar)->mapToGlobal(QPoint(0, 0)).y(), screenTop + menuBar->height());
        QCOMPARE(picControl(bar)->height(), 15);
    }
};

QTEST_MAIN(tst_frmControlBar)
#include "tst_frmControlBar.moc"
