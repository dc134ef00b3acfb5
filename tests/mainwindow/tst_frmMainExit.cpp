// SPDX-License-Identifier: GPL-3.0-or-later
// Closing main windows: the last one saves its layout and recent list,
// asks about settings only when that is due and ends the program with the
// end banner; a copy closes quietly and leaves the program running.
#include "MainWindowRig.h"

#include "browser/BrowserConnection.h"
#include "engine/ShowEngine.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/frmMain.h"
#include "platform/Prompts.h"
#include "startup/Main.h"
#include "startup/modMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using Prompts::vbNo;
using Prompts::vbYes;

namespace {

const QString EndBanner =
    QStringLiteral("-------------------PAGEWHEEL Ends -------------------------");
const QString SettingsQuestion =
    QStringLiteral("Do you want to save any changes made to settings?");

int px(int twips)
{
    return Twips::toPixels(twips);
}

QString settingsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Settings"), QLatin1String(key));
}

QString optionsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Options"), QLatin1String(key));
}

QList<frmMain*> copies()
{
    QList<frmMain*> found;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* main = qobject_cast<frmMain*>(window);
        if (main && main->IsCopy)
            found.append(main);
    }
    return found;
}

void tick(QWidget* window, const char* checkBox)
{
    QTest::mouseClick(window->findChild<QCheckBox*>(QLatin1String(checkBox)), Qt::LeftButton);
}

} // namespace

class tst_frmMainExit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void lastWindowSavesLayoutAndRecentList();
    void settingsQuestionOnlyWhenDue_data();
    void settingsQuestionOnlyWhenDue();
    void showEditsAreOfferedAtExit_data();
    void showEditsAreOfferedAtExit();
    void runningModeIsKeptForTheNextStart();
    void editedIntervalIsTakenAtExit();
    void copyWindowClosesQuietly();
    void missingBrowser_data();
    void missingBrowser();

private:
    /// The number of end banners in the log.
    int endBanners() const { return int(m_rig->log->messages().count(EndBanner)); }

    std::unique_ptr<MainWindowRig> m_rig;
};

void tst_frmMainExit::init()
{
    m_rig = std::make_unique<MainWindowRig>();
}

void tst_frmMainExit::cleanup()
{
    m_rig.reset();
}

void tst_frmMainExit::lastWindowSavesLayoutAndRecentList()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    const QString second = m_rig->files.filePath(QStringLiteral("second.txt"));
    window->files().UpdateMenu(second);
    window->move(px(600), px(750));
    window->resize(px(6300), px(5250));
    MainWindowRig::action(window, QStringLiteral("mnuViewSlide"))->trigger();
    MainWindowRig::action(window, QStringLiteral("mnuViewOptions"))->trigger();

    MainWindowRig::action(window, QStringLiteral("mnuFileExit"))->trigger();
    QCOMPARE(m_rig->programEnds, 1);
    QTRY_VERIFY(!window);

    QCOMPARE(settingsKey("frmMainMainLeft"), QStringLiteral("600"));
    QCOMPARE(settingsKey("frmMainMainTop"), QStringLiteral("750"));
    QCOMPARE(settingsKey("frmMainMainWidth"), QStringLiteral("6300"));
    QCOMPARE(settingsKey("frmMainMainHeight"), QStringLiteral("5250"));
    QCOMPARE(settingsKey("frmMainBarSlideOn"), QStringLiteral("False"));
    QCOMPARE(settingsKey("frmMainBarNavOn"), QStringLiteral("True"));
    QCOMPARE(settingsKey("frmMainFile1"), m_rig->showFile());
    QCOMPARE(settingsKey("frmMainFile2"), second);
    QCOMPARE(settingsKey("frmMainFile3"), QString());
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

void tst_frmMainExit::settingsQuestionOnlyWhenDue_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("storedAutoStart");
    QTest::addColumn<bool>("layoutSaved");
    QTest::addRow("nothing changed") << "" << 0 << false << "" << true;
    QTest::addRow("changed, yes") << "auto start" << vbYes << true << "True" << true;
    QTest::addRow("changed, no") << "auto start" << vbNo << true << "False" << true;
    QTest::addRow("changed, options file") << "options file" << 0 << false << "" << true;
    QTest::addRow("changed, minimised") << "minimised" << 0 << false << "" << false;
    QTest::addRow("another show than at start") << "show" << vbYes << true << "False" << true;
}

void tst_frmMainExit::settingsQuestionOnlyWhenDue()
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

void tst_frmMainExit::showEditsAreOfferedAtExit_data()
{
    QTest::addColumn<int>("answer");
    QTest::addRow("yes") << vbYes;
    QTest::addRow("no") << vbNo;
}

void tst_frmMainExit::showEditsAreOfferedAtExit()
{
    QFETCH(int, answer);
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    window->Show().Item(1)->PauseTime = 21;
    window->Show().Changed = true;
    m_rig->prompts.answer(answer);
    window->close();
    QCOMPARE(m_rig->boxes().size(), 1);
    QCOMPARE(MainWindowRig::readFile(m_rig->showFile()).contains(",\"21\","), answer == vbYes);
    QCOMPARE(m_rig->programEnds, 1);
}

void tst_frmMainExit::runningModeIsKeptForTheNextStart()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCollect")),
                      Qt::LeftButton);
    QCOMPARE(window->engine().CurrentMode(), ShowEngine::ModeShow);
    tick(window, "chkUseDefault");
    m_rig->prompts.answer(vbYes);
    window->close();
    QCOMPARE(m_rig->boxes(), QStringList{SettingsQuestion});
    QCOMPARE(optionsKey("ReloadMode"), QStringLiteral("3"));
}

void tst_frmMainExit::editedIntervalIsTakenAtExit()
{
    const QPointer<frmMain> window = m_rig->open(m_rig->options());
    QLineEdit* interval =
        window->findChild<QComboBox*>(QStringLiteral("cboReloadInterval"))->lineEdit();
    interval->selectAll();
    QTest::keyClicks(interval, QStringLiteral(" 5 sec"));
    QVERIFY(window->engine().bIntervalDirty());
    m_rig->prompts.answer(vbYes);
    window->close();
    QCOMPARE(m_rig->boxes(), QStringList{SettingsQuestion});
    QCOMPARE(optionsKey("ReloadInterval"), QStringLiteral("5"));
}

void tst_frmMainExit::copyWindowClosesQuietly()
{
    const QPointer<frmMain> first = m_rig->open(m_rig->options());
    MainWindowRig::action(first, QStringLiteral("mnuFileNewPagewheelWindow"))->trigger();
    QCOMPARE(copies().size(), 1);
    const QPointer<frmMain> copy = copies().first();
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

void tst_frmMainExit::missingBrowser_data()
{
    QTest::addColumn<int>("goOn");
    QTest::addRow("refused") << int(vbNo);
    QTest::addRow("going on") << int(vbYes);
}

void tst_frmMainExit::missingBrowser()
{
    QFETCH(int, goOn);
    COptions options = m_rig->options();
    // The automation browser, but its program is nowhere.
    options.AutoMode = 2;
    auto* window = new frmMain(options);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<frmMain> watched = window;
    window->browserConnection().setBrowserProgram(m_rig->files.filePath(QStringLiteral("none")));
    window->browserConnection().setProfileFolder(m_rig->files.filePath(QStringLiteral("profile")));
    m_rig->prompts.answer(Prompts::vbOK);
    m_rig->prompts.answer(goOn);
    window->Form_Load();
    QVERIFY(window->UseOLE);
    QCOMPARE(m_rig->boxes(),
             (QStringList{QStringLiteral("Error in loading IEXPLORE.\r\nPagewheel cannot function "
                                         "correctly without Browser"),
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

QTEST_MAIN(tst_frmMainExit)
#include "tst_frmMainExit.moc"
