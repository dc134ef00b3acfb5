// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "platform/ManualClock.h"
#include "platform/ScriptedPrompts.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace modMain;

class tst_modMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lineFormat();
    void appendsAcrossRuns();
    void nothingWithoutLogFile();
    void bannersOnlyInDebugMode();
    void pauseMilliseconds_data();
    void pauseMilliseconds();
    void pauseSeconds();
    void pauseSecondsBeyond32BitMilliseconds();
    void pauseSecondsEndsOnCounterReset();
    void pausesKeepEventsRunning();
    void errorBox();
    void logFallsBackWhenProgramFolderIsReadOnly();

private:
    void openLog();
    QString m_logPath;
    QTemporaryDir* m_dir = nullptr;
};

void tst_modMain::init()
{
    ResetProgramState();
    m_dir = new QTemporaryDir;
    SetProgramFolder(m_dir->path());
    m_logPath = DebugFileName;
}

void tst_modMain::cleanup()
{
    ResetProgramState();
    delete m_dir;
}

void tst_modMain::openLog()
{
    QVERIFY(OpenLogFile(m_logPath));
    LogToFile = true;
}

void tst_modMain::lineFormat()
{
    openLog();
    const QDateTime before = QDateTime::currentDateTime();
    WriteLog(QStringLiteral("mod Main  - done"));
    WriteLog(QString());
    QFile file(m_logPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // "08-29 14:03:07  mod Main  - done" with CR LF, then a stamp-only line.
    QCOMPARE(bytes.size(), 16 + 16 + 2 + 16 + 2);
    QVERIFY(bytes.endsWith("  \r\n"));
    const QString first = QString::fromUtf8(bytes.left(14));
    const QDateTime stamped = QDateTime::fromString(
        QString::number(before.date().year()) + QLatin1Char('-') + first, "yyyy-MM-dd hh:mm:ss");
    QVERIFY2(qAbs(stamped.secsTo(before)) <= 2, qPrintable(first));
    // Malformed lines would come back marked "<no stamp>" or "<no line end>".
    QCOMPARE(LogCapture::messagesOf(m_logPath), (QStringList{"mod Main  - done", ""}));
}

void tst_modMain::appendsAcrossRuns()
{
    openLog();
    WriteLog(QStringLiteral("first run"));
    CloseLogFile();
    openLog();
    WriteLog(QStringLiteral("second run"));
    // Each line is on disk as soon as it is written.
    QCOMPARE(LogCapture::messagesOf(m_logPath), (QStringList{"first run", "second run"}));
}

void tst_modMain::nothingWithoutLogFile()
{
    DebugMode = ErrorMode = TraceMode = true;
    WriteLog(QStringLiteral("lost"));
    LogBegin();
    PauseMilliseconds(0);
    QVERIFY(!QFile::exists(m_logPath));
}

void tst_modMain::bannersOnlyInDebugMode()
{
    openLog();
    ErrorMode = true;
    LogBegin();
    QCOMPARE(LogCapture::messagesOf(m_logPath), QStringList());
    DebugMode = true;
    LogBegin();
    LogEnd();
    QCOMPARE(LogCapture::messagesOf(m_logPath),
             (QStringList{"", "-------------------PAGEWHEEL Begins -------------------------",
                          "-------------------PAGEWHEEL Ends -------------------------"}));
}

void tst_modMain::pauseMilliseconds_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("waited");
    QTest::newRow("raised to a step") << 120 << 150;
    QTest::newRow("exact steps") << 700 << 700;
    QTest::newRow("nothing") << 0 << 0;
    QTest::newRow("negative") << -5 << 0;
}

void tst_modMain::pauseMilliseconds()
{
    QFETCH(int, requested);
    QFETCH(int, waited);
    openLog();
    ManualClock clock;
    PauseMilliseconds(requested);
    QCOMPARE(clock.sleptMilliseconds(), waited);
    QCOMPARE(clock.eventPumps(), waited / 50);
    QCOMPARE(LogCapture::messagesOf(m_logPath),
             QStringList{QStringLiteral("Paused for %1 milliseconds").arg(waited)});
}

void tst_modMain::pauseSeconds()
{
    openLog();
    ManualClock clock(1000);
    PauseSeconds(2);
    // 35 ms sleeps until the end mark is reached: 58 x 35 = 2030.
    QCOMPARE(clock.sleptMilliseconds(), 2030);
    QCOMPARE(LogCapture::messagesOf(m_logPath),
             QStringList{QStringLiteral("Paused for 2.030 seconds")});
}

void tst_modMain::pauseSecondsBeyond32BitMilliseconds()
{
    // 30 days in milliseconds overflow 32 bits; the wait must still run
    // instead of ending at once or failing.
    ManualClock clock(0);
    const qint64 end = qint64(2592000) * 1000;
    clock.onRead([&clock, end](int read) {
        if (read == 4)
            clock.setTicks(end - 10);
    });
    PauseSeconds(2592000);
    QVERIFY(clock.tickCount() >= end);
    QVERIFY(clock.sleeps() >= 2);
}

void tst_modMain::pauseSecondsEndsOnCounterReset()
{
    openLog();
    ManualClock clock(5000);
    clock.onRead([&clock](int read) {
        if (read == 4)
            clock.setTicks(10);
    });
    PauseSeconds(60);
    QCOMPARE(clock.sleeps(), 2); // one 35 ms step, then the 1 s after the reset
    QCOMPARE(clock.sleptMilliseconds(), 1035);
    const QStringList lines = LogCapture::messagesOf(m_logPath);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("------->WINDOWS RESET!!!!!  Exiting loop!"));
    QVERIFY(lines[1].startsWith(QStringLiteral("Paused for ")));
}

void tst_modMain::pausesKeepEventsRunning()
{
    // With the real clock, a timer fires inside the wait.
    bool fired = false;
    QTimer::singleShot(20, this, [&fired] { fired = true; });
    PauseMilliseconds(200);
    QVERIFY(fired);
}

void tst_modMain::errorBox()
{
    ScriptedPrompts prompts;
    ShowErrorBox(QStringLiteral("Choose a setting from the pull down"), 1020);
    QCOMPARE(prompts.shown().size(), 1);
    const auto& box = prompts.shown().first();
    QCOMPARE(box.text, QStringLiteral("Choose a setting from the pull down"));
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.buttons, 48);
    QCOMPARE(box.helpContext, 1020);
    QCOMPARE(box.helpFile, AppFolder + QStringLiteral("Pagewheel.hlp"));
}

void tst_modMain::logFallsBackWhenProgramFolderIsReadOnly()
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    SetProgramFolder(QStringLiteral("/proc"));
    QVERIFY(DebugFileName.endsWith(QStringLiteral("/DebugFile.txt")));
    QVERIFY(!DebugFileName.startsWith(QStringLiteral("/proc")));
    QVERIFY(OpenLogFile(DebugFileName));
}

QTEST_GUILESS_MAIN(tst_modMain)
#include "tst_modMain.moc"
