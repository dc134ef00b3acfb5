// SPDX-License-Identifier: GPL-3.0-or-later
// The program asked to end from outside (logout, Ctrl+C, a service
// manager) ends as Exit does: the browser it started goes with it and the
// log gets its end banner.
#include "BrowserTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QByteArray EndBanner = "-------------------PAGEWHEEL Ends -------------------------";
const QString LogFile = QStringLiteral(PW_APP_FOLDER "/DebugFile.txt");

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_programSignals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalEndsTheProgramAndItsBrowser_data();
    void signalEndsTheProgramAndItsBrowser();
};

void tst_programSignals::signalEndsTheProgramAndItsBrowser_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void tst_programSignals::signalEndsTheProgramAndItsBrowser()
{
    QFETCH(int, number);
    QTemporaryDir home;
    FakeBrowser browser(home.filePath(QStringLiteral("browser")));
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("config/Pagewheel")));
    // The browser through its remote-open line; options stored, so no
    // first-run box waits.
    QVERIFY(writeFile(
        home.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
        "[Options]\nAutoMode=6\nAutoDDEapp=fake\nAutoDDEexe=" + browser.program().toUtf8() +
            "\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
            "StartingAddress=\n"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"), browser.profileFlag());
    // No display: raising the browser's window is refused at once.
    environment.remove(QStringLiteral("DISPLAY"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    const qint64 logOffset = QFileInfo(LogFile).size();
    program.start(QStringLiteral(PW_EXECUTABLE), {QStringLiteral("debug")});
    QVERIFY(program.waitForStarted(10000));

    QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 30000);
    const qint64 browserPid = browser.instancePid();
    // The window has loaded when it has gone to Normal mode.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile log(LogFile);
            return log.open(QIODevice::ReadOnly) && log.seek(logOffset) &&
                   log.readAll().contains("display wizard");
        }(),
        30000);

    ::kill(pid_t(program.processId()), number);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(browserPid), 5000);
    QFile log(LogFile);
    QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(logOffset));
    QVERIFY(log.readAll().contains(EndBanner));
}

QTEST_GUILESS_MAIN(tst_programSignals)
#include "tst_programSignals.moc"
