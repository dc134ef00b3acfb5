// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmControlBar.h"
#include "platform/ProgramLocator.h"
#include "settings/COptions.h"

#include "RecordingOwner.h"

#include <QAction>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// The floating control bar driving a real headless Chromium.
class tst_frmControlBar_browser : public QObject
{
    Q_OBJECT

private:
    /// Whether the browser has reported the window state, waiting for it.
    static bool reported(QSignalSpy& spy, bool fullScreen)
    {
        const auto seen = [&] { return spy.contains(QVariantList{fullScreen}); };
        return seen() || (spy.wait(5000) && seen()) || (spy.wait(5000) && seen());
    }

    QTemporaryDir m_profile;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
        QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
                 "no Chromium-family browser on PATH");
    }

    void fullScreenFromShowToNormalSize()
    {
        auto browser = std::make_unique<AutomationBrowser>();
        browser->setProfileFolder(m_profile.path());
        VbError error;
        QVERIFY2(browser->start(&error), qPrintable(error.description));
        RecordingOwner owner;
        COptions options;
        QSignalSpy reports(browser.get(), &AutomationBrowser::OnFullScreen);
        QPointer<frmControlBar> bar =
            new frmControlBar(browser.get(), &owner, &options, &owner.state);
        bar->show();
        QVERIFY(reported(reports, true));
        QVERIFY(browser->FullScreen());

        // Controls... brings the owner back and leaves the browser alone.
        reports.clear();
        bar->findChild<QAction*>(QStringLiteral("mnuViewControls"))->trigger();
        QCOMPARE(owner.calls, (QStringList{"minimizeWindow", "restoreWindow"}));
        QTest::qWait(300);
        QVERIFY(reports.isEmpty() && browser->FullScreen());

        bar->findChild<QAction*>(QStringLiteral("mnuViewNormalSize"))->trigger();
        QVERIFY(reported(reports, false));
        QVERIFY(!browser->FullScreen());
        QCOMPARE(owner.calls.last(), QStringLiteral("controlBarClosed"));
        QTRY_VERIFY(bar.isNull());

        // The profile goes once the browser has.
        const qint64 pid = browser->processId();
        browser.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/%1/exe").arg(pid)),
                                 10000);
    }
};

QTEST_MAIN(tst_frmControlBar_browser)
#include "tst_frmControlBar_browser.moc"
