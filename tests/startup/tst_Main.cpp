// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "platform/ManualClock.h"
#include "platform/Registry.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "startup/Main.h"
#include "startup/StartupWindows.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace modMain;

namespace {

/// Records what start-up asked of its windows, with the clock at each step.
class RecordingWindows final : public StartupWindows
{
public:
    QStringList steps;
    QList<qint64> ticks;
    COptions handed;

    void showSplash() override { record(QStringLiteral("splash")); }
    void showSplashShape() override { record(QStringLiteral("shape")); }
    void closeSplash() override { record(QStringLiteral("close")); }
    void showMainWindow(const COptions& options) override
    {
        record(QStringLiteral("main"));
        options.Copy_Object_to(handed);
    }

private:
    void record(const QString& step)
    {
        steps.append(step);
        ticks.append(Clock::instance().tickCount());
    }
};

const QString Usage =
    QStringLiteral("pagewheel[debug] [error] [fullscreen] [options <optionsfile>]");
const QString FirstRun =
    QStringLiteral("Initializing options for Pagewheel Version 1.3.0 for the first time.");

} // namespace

class tst_Main : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void firstRunThenSecondRun();
    void firstRunTakesInstalledBrowser();
    void unknownWords_data();
    void unknownWords();
    void debugLogAcrossTwoRuns();
    void errorLogOnly();
    void debugAndErrorKeepTheFirstLog();
    void screenLogsNowhere();
    void optionsFileChangesOnlyTheWorkingRecord();
    void optionsFileMissing();
    void optionsWordEdgeCases();
    void fullscreen();
    void boxesOfAnUnattendedStartCloseThemselves();

private:
    RecordingWindows run(const QString& commandLine);
    QString writeFile(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_config;
    QTemporaryDir* m_program = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
};

void tst_Main::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
}

void tst_Main::init()
{
    ResetProgramState();
    QDir(m_config.path()).removeRecursively();
    QDir().mkpath(m_config.path());
    m_program = new QTemporaryDir;
    m_prompts = new ScriptedPrompts;
}

void tst_Main::cleanup()
{
    delete m_prompts;
    delete m_program;
    ResetProgramState();
}

RecordingWindows tst_Main::run(const QString& commandLine)
{
    ResetProgramState();
    ManualClock clock;
    RecordingWindows windows;
    Main(commandLine, QStringLiteral("pagewheel"), m_program->path(), windows);
    return windows;
}

QString tst_Main::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_program->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void tst_Main::firstRunThenSecondRun()
{
    const RecordingWindows first = run(QString());
    QCOMPARE(m_prompts->texts(), QStringList{FirstRun});
    QCOMPARE(m_prompts->shown().first().buttons, 0);
    // The splash: 700 ms, then its shape, 2000 ms more, then the main window.
    QCOMPARE(first.steps, (QStringList{"splash", "shape", "close", "main"}));
    QCOMPARE(first.ticks[1] - first.ticks[0], 700);
    QCOMPARE(first.ticks[2] - first.ticks[1], 2000);
    QCOMPARE(first.handed.ReloadInterval, 15);
    QCOMPARE(first.handed.CarouselFileName, AppFolder + QStringLiteral("data/DemoShow.txt"));
    QVERIFY(!Registry::GetAllSettings(QStringLiteral("Pagewheel"), QStringLiteral("Options"))
                 .isEmpty());
    // No switch: no log file anywhere.
    QVERIFY(!QFile::exists(DebugFileName));
    QVERIFY(!QFile::exists(ErrorFileName));

    m_prompts->clear();
    Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                          QStringLiteral("ReloadInterval"), QStringLiteral("60"));
    const RecordingWindows second = run(QString());
    QCOMPARE(m_prompts->texts(), QStringList());
    QCOMPARE(second.handed.ReloadInterval, 60);
    QCOMPARE(SavedOptions.ReloadInterval, 60);
}

void tst_Main::firstRunTakesInstalledBrowser()
{
    Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Registration"),
                          QStringLiteral("IBROWSER"), QStringLiteral("C"));
    const RecordingWindows windows = run(QString());
    QCOMPARE(windows.handed.AutoMode, qint16(2));
    QCOMPARE(Registry::GetSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                                  QStringLiteral("AutoMode")),
             QStringLiteral("2"));
}

void tst_Main::unknownWords_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("reported");
    QTest::newRow("debug in capitals") << "DEBUG" << QStringList{"DEBUG"};
    QTest::newRow("mixed case error") << "Error" << QStringList{"Error"};
    QTest::newRow("blank in the options path")
        << "options /tmp/my opts.txt" << QStringList{"opts.txt"};
    QTest::newRow("sixth word ignored silently")
        << "fullscreen fullscreen fullscreen fullscreen bogus extra" << QStringList{"bogus"};
}

void tst_Main::unknownWords()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, reported);
    run(QStringLiteral("seed")); // the first run's message is not what this tests
    m_prompts->clear();
    run(commandLine);
    QStringList expected;
    for (const QString& word : reported)
        expected.append(QStringLiteral("Command line argument: ") + word +
                        QStringLiteral(", is unknown and is being ignored.\r\nUsage: ") + Usage);
    // Options-file warnings may follow; the word boxes come first.
    QCOMPARE(m_prompts->texts().mid(0, expected.size()), expected);
    QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Pagewheel"));
    QVERIFY(!DebugMode);
    QVERIFY(!LogToFile);
}

void tst_Main::debugLogAcrossTwoRuns()
{
    run(QStringLiteral("debug"));
    run(QStringLiteral("debug"));
    const QString banner =
        QStringLiteral("-------------------PAGEWHEEL Begins -------------------------");
    const QStringList lines = LogCapture::messagesOf(DebugFileName);
    QCOMPARE(lines.count(banner), 2);
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], banner);
    QVERIFY(lines.contains(QStringLiteral("mod Main  - showing splash")));
    QVERIFY(lines.contains(QStringLiteral("Paused for 700 milliseconds")));
    QVERIFY(lines.contains(QStringLiteral("Paused for 2000 milliseconds")));
    QCOMPARE(lines.last(), QStringLiteral("mod Main  - done"));
    QVERIFY(lines.contains(QStringLiteral("RegistryGet  - start")));
}

void tst_Main::errorLogOnly()
{
    run(QStringLiteral("error"));
    QVERIFY(ErrorMode && LogToFile && !DebugMode);
    // No banner (a debug line), but the pause lines reach the error log.
    QCOMPARE(LogCapture::messagesOf(ErrorFileName),
             (QStringList{"Paused for 700 milliseconds", "Paused for 2000 milliseconds"}));
    QVERIFY(!QFile::exists(DebugFileName));
}

void tst_Main::debugAndErrorKeepTheFirstLog()
{
    run(QStringLiteral("error debug"));
    QVERIFY(!QFile::exists(DebugFileName));
    QVERIFY(!DebugMode);
    const QStringList lines = LogCapture::messagesOf(ErrorFileName);
    QVERIFY(lines.first().startsWith(QStringLiteral("CL: debug ignored")));

    run(QStringLiteral("debug error"));
    QVERIFY(DebugMode);
    QVERIFY(
        LogCapture::messagesOf(DebugFileName).filter(QStringLiteral("CL: error ignored")).size() ==
        1);
    QCOMPARE(LogCapture::messagesOf(ErrorFileName), lines);
}

void tst_Main::screenLogsNowhere()
{
    run(QStringLiteral("screen"));
    QVERIFY(DebugMode && ErrorMode && TraceMode);
    QVERIFY(!LogToFile);
    QVERIFY(!QFile::exists(DebugFileName));
    QVERIFY(!QFile::exists(ErrorFileName));
}

void tst_Main::optionsFileChangesOnlyTheWorkingRecord()
{
    run(QString());
    const QString file = writeFile(QStringLiteral("opts.txt"), "\"AutoStart\",#TRUE#\r\n");
    m_prompts->clear();
    const RecordingWindows windows = run(QStringLiteral("Options ") + file);
    QVERIFY(m_prompts->texts().isEmpty());
    QVERIFY(UseOptionsFile);
    QVERIFY(windows.handed.AutoStart);
    QVERIFY(!SavedOptions.AutoStart);
    QCOMPARE(Registry::GetSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                                  QStringLiteral("AutoStart")),
             QStringLiteral("False"));
}

void tst_Main::optionsFileMissing()
{
    run(QString());
    m_prompts->clear();
    const QString missing = m_program->filePath(QStringLiteral("none.txt"));
    run(QStringLiteral("options ") + missing);
    QVERIFY(!UseOptionsFile);
    QCOMPARE(m_prompts->texts(),
             QStringList{
                 QStringLiteral("Options file,\r\n") + missing +
                 QStringLiteral("\r\nwas not found. Continuing with previously saved settings.")});
    QCOMPARE(m_prompts->shown().first().buttons, 48);
}

void tst_Main::optionsWordEdgeCases()
{
    run(QString());
    // "options" last: only a debug line.
    m_prompts->clear();
    run(QStringLiteral("debug options"));
    QVERIFY(!UseOptionsFile);
    QVERIFY(m_prompts->texts().isEmpty());
    QVERIFY(LogCapture::messagesOf(DebugFileName)
                .contains(QStringLiteral("CL Error: options with no options file specified.")));

    // The word after "options" is a file name even when it is a switch.
    QFile::remove(DebugFileName);
    m_prompts->clear();
    run(QStringLiteral("options debug"));
    QVERIFY(!DebugMode);
    QCOMPARE(OptionsFileName, QStringLiteral("debug"));
    QVERIFY(!QFile::exists(DebugFileName));
    QCOMPARE(m_prompts->texts().size(), 1); // the file "debug" is not found
}

void tst_Main::fullscreen()
{
    run(QString());
    m_prompts->clear();
    run(QStringLiteral("fullscreen options"));
    QVERIFY(FullScreenMode);
    QVERIFY(!UseOptionsFile);
    QVERIFY(m_prompts->texts().isEmpty());
}

void tst_Main::boxesOfAnUnattendedStartCloseThemselves()
{
    // The very first start, with an options file asking for auto start:
    // the unknown word's box and the first-run box close themselves.
    const QString autoStart = writeFile(QStringLiteral("lobby.txt"), "\"AutoStart\",#TRUE#\r\n");
    run(QStringLiteral("bogus options ") + autoStart);
    QCOMPARE(m_prompts->shown().size(), 2);
    for (const Prompts::Request& box : m_prompts->shown())
        QCOMPARE(box.closeAfterSeconds, Prompts::UnattendedBoxSeconds);

    // Stored auto start and a missing options file: that box too.
    Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                          QStringLiteral("AutoStart"), QStringLiteral("True"));
    m_prompts->clear();
    run(QStringLiteral("options ") + m_program->filePath(QStringLiteral("none.txt")));
    QCOMPARE(m_prompts->shown().size(), 1);
    QCOMPARE(m_prompts->shown().first().closeAfterSeconds, Prompts::UnattendedBoxSeconds);

    // Without auto start the boxes wait for a person.
    Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                          QStringLiteral("AutoStart"), QStringLiteral("False"));
    m_prompts->clear();
    run(QStringLiteral("bogus"));
    QCOMPARE(m_prompts->shown().size(), 1);
    QCOMPARE(m_prompts->shown().first().closeAfterSeconds, 0);
}

QTEST_GUILESS_MAIN(tst_Main)
#include "tst_Main.moc"
