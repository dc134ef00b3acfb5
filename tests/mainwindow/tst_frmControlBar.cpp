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

class tst_frmControlBar : public QObject
{
    Q_OBJECT

    static QAction* item(QWidget* bar, const QString& name)
    {
        return bar->findChild<QAction*>(name);
    }
    static QWidget* picControl(QWidget* bar) { return bar->findChild<QWidget*>("picControl"); }

private Q_SLOTS:
    void cleanup() { modMain::ResetProgramState(); }

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
        QTemporaryDir folder;
        LogCapture log(folder.path(), false, true);
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
            owner.calls.clear();
            item(bar, name)->trigger();
            QCOMPARE(owner.calls, called);
            QVERIFY(bar && bar->isVisible());
        }
        // Pause is checked exactly when paused (the table paused once).
        QAction* pause = item(bar, QStringLiteral("mnuControlPause"));
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
        item(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(bar->controlColor(), before);
        item(bar, QStringLiteral("mnuViewColor"))->trigger();
        QCOMPARE(picControl(bar)->palette().color(picControl(bar)->backgroundRole()),
                 QColor(0x20, 0x40, 0x60));
        QCOMPARE(script.requests().at(0).Color, before);
        QCOMPARE(script.requests().at(0).Flags, CommonDialog::cdlCCRGBInit);
        // The owner's file dialogs keep reporting a cancel as an empty name.
        QVERIFY(!owner.dialog.CancelError);
        QCOMPARE(owner.dialog.Flags, 0);
        // Menus Visible: a menu bar on the screen, whole; the strip keeps 15 pixels.
        auto* menuBar = bar->findChild<QMenuBar*>();
        QVERIFY(!menuBar->isVisible());
        item(bar, QStringLiteral("mnuCenterMenusVisible"))->trigger();
        QVERIFY(menuBar->isVisible() && !item(bar, QStringLiteral("mnuViewColor"))->isVisible());
        QCOMPARE(menuBar->actions().size(), 2);
        QCOMPARE(menuBar->mapToGlobal(QPoint(0, 0)).y(), screen.y());
        QCOMPARE(menuBar->height(), menuBar->sizeHint().height());
        QCOMPARE(picControl(bar)->mapToGlobal(QPoint(0, 0)).y(), screen.y() + menuBar->height());
        QCOMPARE(picControl(bar)->height(), 15);
        owner.calls.clear();
        bar->close();
        QCOMPARE(owner.calls, (QStringList{"restoreWindow", "controlBarClosed"}));
        QTRY_VERIFY(bar.isNull());
        // Normal Size logs what the browser that never started refused, and closes.
        AutomationBrowser notStarted;
        bar = new frmControlBar(&notStarted, &owner, &options, &owner.state);
        bar->show();
        owner.calls.clear();
        item(bar, QStringLiteral("mnuViewNormalSize"))->trigger();
        QTRY_VERIFY(bar.isNull());
        QCOMPARE(owner.calls, (QStringList{"restoreWindow", "restoreWindow", "controlBarClosed"}));
        const QString failure = u"91,  Description: " + AutomationErrors::make(91).description;
        QCOMPARE(log.messages(), (QStringList{"Error in mnuViewColor: 32755",
                                              "Error in placing control bar: " + failure,
                                              "Error in resizing control bar: " + failure}));
    }
};

QTEST_MAIN(tst_frmControlBar)
#include "tst_frmControlBar.moc"
