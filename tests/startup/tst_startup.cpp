// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the log, the pauses, the file helpers, the command line, the
// first run and the browser recorded on the first start.
#include "LogCapture.h"
#include "platform/ManualClock.h"
#include "platform/Registry.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "settings/modRegistry.h"
#include "startup/BrowserChoice.h"
#include "startup/Main.h"
#include "startup/StartupWindows.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <memory>
#include <sys/stat.h>

using namespace modMain;
using namespace modFileTools;

namespace {

/// Records what start-up asked of its windows, with the clock at each step.
class RecordingWindows final : public StartupWindows
{
public:
    QStringList steps;
    QList<qint64> ticks;
    COptions handed;

    void showSplash() override { record("splash"); }
    void showSplashShape() override { record("shape"); }
    void closeSplash() override { record("close"); }
    void showMainWindow(const COptions& options) override
    {
        record("main");
        options.Copy_Object_to(handed);
    }

private:
    void record(const char* step)
    {
        steps.append(step);
        ticks.append(Clock::instance().tickCount());
    }
};

const QString Begins =
    QStringLiteral("-------------------PAGEWHEEL Begins -------------------------");
const QString NotFound =
    QStringLiteral("\r\nwas not found. Continuing with previously saved settings.");

QString option(const char* key)
{
    return Registry::GetSetting("Pagewheel", "Options", key);
}

void saveOption(const char* key, const QString& value)
{
    Registry::SaveSetting("Pagewheel", "Options", key, value);
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class tst_startup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    void openLog()
    {
        QVERIFY(OpenLogFile(DebugFileName));
        LogToFile = true;
    }
    RecordingWindows run(const QString& commandLine)
    {
        ResetProgramState();
        ManualClock clock;
        RecordingWindows windows;
        Main(commandLine, QStringLiteral("pagewheel"), m_dir->path(), windows);
        return windows;
    }

private Q_SLOTS:
    void init()
    {
        ResetProgramState();
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QDir(m_config.path()).removeRecursively();
        QDir().mkpath(m_config.path());
        m_dir = std::make_unique<QTemporaryDir>();
        SetProgramFolder(m_dir->path());
        m_prompts = std::make_unique<ScriptedPrompts>();
    }

    void cleanup()
    {
        m_prompts.reset();
        ResetProgramState();
        m_dir.reset();
    }

    void logLinesAreStampedAndAppended()
    {
        // Nothing is written without a log file, whatever the modes.
        DebugMode = ErrorMode = TraceMode = true;
        WriteLog(QStringLiteral("lost"));
        LogBegin();
        PauseMilliseconds(0);
        QVERIFY(!QFile::exists(DebugFileName));
        DebugMode = TraceMode = false;
        openLog();
        const QDateTime before = QDateTime::currentDateTime();
        WriteLog(QStringLiteral("mod Main  - done"));
        WriteLog(QString());
        QFile file(DebugFileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // "08-29 14:03:07  mod Main  - done" CR LF, then a stamp-only line.
        QCOMPARE(bytes.size(), 16 + 16 + 2 + 16 + 2);
        QVERIFY(bytes.endsWith("  \r\n"));
        const QString first = QString::fromUtf8(bytes.left(14));
        const QDateTime stamped = QDateTime::fromString(
            QString::number(before.date().year()) + u'-' + first, "yyyy-MM-dd hh:mm:ss");
        QVERIFY2(qAbs(stamped.secsTo(before)) <= 2, qPrintable(first));
        // Banners only in debug mode; a second run appends, each line on disk at once.
        LogBegin();
        CloseLogFile();
        openLog();
        DebugMode = true;
        LogBegin();
        LogEnd();
        QCOMPARE(LogCapture::messagesOf(DebugFileName),
                 (QStringList{"mod Main  - done", "", "", Begins,
                              "-------------------PAGEWHEEL Ends -------------------------"}));
        // A program folder that cannot be written logs into the data folder.
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        SetProgramFolder(QStringLiteral("/proc"));
        QVERIFY(!DebugFileName.startsWith(QStringLiteral("/proc")));
        QVERIFY(OpenLogFile(DebugFileName));
    }

    void pauses()
    {
        // Milliseconds in steps of 50, each step pumping events.
        for (const auto& [requested, waited] : {std::pair{120, 150}, {700, 700}, {0, 0}, {-5, 0}}) {
            QFile::remove(DebugFileName);
            openLog();
            ManualClock clock;
            PauseMilliseconds(requested);
            QCOMPARE(clock.sleptMilliseconds(), waited);
            QCOMPARE(clock.eventPumps(), waited / 50);
            QCOMPARE(LogCapture::messagesOf(DebugFileName),
                     QStringList{QStringLiteral("Paused for %1 milliseconds").arg(waited)});
            CloseLogFile();
        }
        QFile::remove(DebugFileName);
        openLog();
        {
            ManualClock clock(1000);
            PauseSeconds(2);
            // 35 ms sleeps until the end mark is reached: 58 x 35 = 2030.
            QCOMPARE(clock.sleptMilliseconds(), 2030);
        }
        {
            // A counter reset ends the wait: one 35 ms step, then the 1 s after it.
            ManualClock clock(5000);
            clock.onRead([&clock](int read) {
                if (read == 4)
                    clock.setTicks(10);
            });
            PauseSeconds(60);
            QCOMPARE(clock.sleeps(), 2);
            QCOMPARE(clock.sleptMilliseconds(), 1035);
        }
        const QStringList lines = LogCapture::messagesOf(DebugFileName);
        QCOMPARE(lines.mid(0, 2), (QStringList{"Paused for 2.030 seconds",
                                               "------->WINDOWS RESET!!!!!  Exiting loop!"}));
        QVERIFY(lines.size() == 3 && lines[2].startsWith(QStringLiteral("Paused for ")));
        {
            // 30 days in milliseconds overflow 32 bits; the wait still runs.
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
        // With the real clock, a timer fires inside the wait.
        bool fired = false;
        QTimer::singleShot(20, this, [&fired] { fired = true; });
        PauseMilliseconds(200);
        QVERIFY(fired);
        ShowErrorBox(QStringLiteral("Choose a setting from the pull down"), 1020);
        const Prompts::Request box = m_prompts->shown().value(0);
        QCOMPARE(std::tuple(box.text, box.title, box.helpFile, box.buttons, box.helpContext),
                 std::tuple(QString("Choose a setting from the pull down"), QString("Error"),
                            AppFolder + "Pagewheel.hlp", 48, 1020));
    }

    void pathText()
    {
        // Either separator joins, none doubled; a folder of its own kind is kept.
        const QList<std::array<QString, 3>> joins = {{"C:\\a\\", "\\b.htm", "C:\\a\\b.htm"},
                                                     {"C:\\a", "b.htm", "C:\\a\\b.htm"},
                                                     {"", "b.htm", "b.htm"},
                                                     {"/shows", "", "/shows"},
                                                     {"/home/me", "b.htm", "/home/me/b.htm"},
                                                     {"/home/me/", "b.htm", "/home/me/b.htm"},
                                                     {"/home/me", "/b.htm", "/home/me/b.htm"},
                                                     {"/home/me/", "\\b.htm", "/home/me\\b.htm"},
                                                     {"data", "x.txt", "data/x.txt"}};
        for (const auto& [folder, name, joined] : joins)
            QCOMPARE(JoinPath(folder, name), joined);
        const QList<std::pair<QString, QString>> noExt = {{"C:\\shows\\Demo.TXT", "Demo"},
                                                          {"Demo.html", "Demo.html"},
                                                          {"/home/me/Lobby.txt", "Lobby"},
                                                          {"", ""},
                                                          {"txt", "txt"}};
        for (const auto& [full, name] : noExt)
            QCOMPARE(FileNameNoExt(full, QStringLiteral("txt")), name);
        const QList<std::pair<QString, QString>> files = {
            {"C:\\a\\b.htm", "b.htm"}, {"/a/b.htm", "b.htm"}, {"C:\\a\\", ""}, {"b.htm", "b.htm"}};
        for (const auto& [full, name] : files)
            QCOMPARE(FileFromPath(full), name);
        QCOMPARE((QStringList{FirstToken("home\\me\\x", "\\"), FirstToken("plain", "\\")}),
                 (QStringList{"home", "plain"}));
        // Blanks and tabs split, quotes do not group, at most five words.
        const QList<std::pair<QString, QStringList>> lines = {
            {" debug\t\toptions  a.txt ", {"debug", "options", "a.txt"}},
            {"options \"my file.txt\"", {"options", "\"my", "file.txt\""}},
            {"a b c d e f g", {"a", "b", "c", "d", "e"}},
            {"   ", {}}};
        for (const auto& [line, words] : lines)
            QCOMPARE(GetCommandLine(line, 5), words);
    }

    void fileChecks()
    {
        const QString here = writeFile(path("here.txt"), {});
        QCOMPARE((QList<bool>{FileExists(here), FileExists(path("gone.txt")),
                              FileExists(m_dir->path()), FileExists(QString())}),
                 (QList<bool>{true, false, false, false}));
        openLog();
        DebugMode = true;
        const QString existing = m_dir->path() + u'/';
        // Without a trailing separator only the parent folder is tested.
        QCOMPARE(
            (QList<bool>{CheckDirectory(existing + "show.txt"),
                         CheckDirectory(existing + "nope/show.txt"), CheckDirectory("show.txt"),
                         CheckDirectory(QString()), CheckDirectory(existing + "nope")}),
            (QList<bool>{true, false, true, false, true}));
        // Lines that need no category reach the log as well.
        DebugMode = false;
        QCOMPARE(FileDate(path("none.txt")), 0.0);
        QCOMPARE(LogCapture::messagesOf(DebugFileName),
                 (QStringList{"Directory:_" + existing + "_exists!",
                              "Directory:_" + existing + "nope/_does NOT exist!",
                              "Directory:_show.txt_is a filename!", "Empty!",
                              "Directory:_" + existing + "_exists!",
                              "Can't find the file: " + path("none.txt")}));
        QDir(m_dir->path()).mkpath("Long Folder Name");
        const QString folder = path("Long Folder Name");
        QCOMPARE((QStringList{ShortPathName(folder), ShortPathName(folder + "/missing.txt"),
                              ShortPathName("no-separator"), ShortFileName(folder),
                              ShortFileName(folder + "/x")}),
                 (QStringList{folder, "", "", "Long Folder Name", ""}));
        QFile dated(path("dated.txt"));
        QVERIFY(dated.open(QIODevice::WriteOnly));
        QVERIFY(dated.setFileTime(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 400)),
                                  QFileDevice::FileModificationTime));
        dated.close();
        // 29 Feb 2024 is day 45351 after 30 Dec 1899; whole seconds only.
        const double expected = 45351 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
        QVERIFY(qAbs(FileDate(u"  " + dated.fileName() + u' ') - expected) < 1e-9);
        const QString counted = writeFile(path("count.txt"), "one\r\n\r\ntwo\nthree\n\n");
        QCOMPARE((QList<qint16>{CountLines(counted), CountLines(QString()),
                                CountLines(path("none.txt"))}),
                 (QList<qint16>{3, 0, 0}));
    }

    void firstRunThenSecondRun()
    {
        const RecordingWindows first = run(QString());
        QCOMPARE(
            m_prompts->texts(),
            QStringList{"Initializing options for Pagewheel Version 1.3.0 for the first time."});
        QCOMPARE(m_prompts->shown().first().buttons, 0);
        // The splash: 700 ms, then its shape, 2000 ms more, then the main window.
        QCOMPARE(first.steps, (QStringList{"splash", "shape", "close", "main"}));
        QCOMPARE(std::pair(first.ticks[1] - first.ticks[0], first.ticks[2] - first.ticks[1]),
                 std::pair(qint64(700), qint64(2000)));
        QCOMPARE(first.handed.CarouselFileName, AppFolder + QStringLiteral("data/DemoShow.txt"));
        QVERIFY(!Registry::GetAllSettings("Pagewheel", "Options").isEmpty());
        // No switch: no log file anywhere.
        QVERIFY(!QFile::exists(DebugFileName) && !QFile::exists(ErrorFileName));
        m_prompts->clear();
        saveOption("ReloadInterval", QStringLiteral("60"));
        const RecordingWindows second = run(QString());
        QCOMPARE(std::tuple(m_prompts->texts(), second.handed.ReloadInterval,
                            SavedOptions.ReloadInterval),
                 std::tuple(QStringList(), 60, 60));
        // A first run takes the browser the installation recorded.
        QDir(m_config.path()).removeRecursively();
        Registry::SaveSetting("Pagewheel", "Registration", "IBROWSER", "C");
        QCOMPARE(run(QString()).handed.AutoMode, qint16(2));
        QCOMPARE(option("AutoMode"), QStringLiteral("2"));
    }

    void unknownWordsAndTheBoxesOfAnUnattendedStart()
    {
        // The very first start with auto start: the unknown word's and the first-run box close
        // themselves; so does a missing options file's with auto start stored.
        run(QStringLiteral("bogus options ") +
            writeFile(path("lobby.txt"), "\"AutoStart\",#TRUE#\r\n"));
        QCOMPARE(m_prompts->shown().size(), 2);
        for (const Prompts::Request& box : m_prompts->shown())
            QCOMPARE(box.closeAfterSeconds, Prompts::UnattendedBoxSeconds);
        saveOption("AutoStart", "True");
        m_prompts->clear();
        run(u"options " + path("none.txt"));
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->shown().first().closeAfterSeconds, Prompts::UnattendedBoxSeconds);
        // Words in other letters, a blank in a path, a sixth word ignored silently; without
        // auto start the box waits.
        saveOption("AutoStart", "False");
        const QList<std::pair<QString, QString>> cases = {
            {"DEBUG", "DEBUG"},
            {"Error", "Error"},
            {"options /tmp/my opts.txt", "opts.txt"},
            {"fullscreen fullscreen fullscreen fullscreen bogus extra", "bogus"}};
        for (const auto& [commandLine, reported] : cases) {
            m_prompts->clear();
            run(commandLine);
            // Options-file warnings may follow; the word's box comes first.
            const Prompts::Request box = m_prompts->shown().value(0);
            QCOMPARE(box.text, u"Command line argument: " + reported +
                                   u", is unknown and is being ignored.\r\nUsage: pagewheel[debug] "
                                   u"[error] [fullscreen] [options <optionsfile>]");
            QCOMPARE(std::pair(box.title, box.closeAfterSeconds),
                     std::pair(QString("Pagewheel"), 0));
            QVERIFY(!DebugMode && !LogToFile);
        }
    }

    void logAndOptionsWords()
    {
        run("debug");
        run("debug");
        QStringList lines = LogCapture::messagesOf(DebugFileName);
        QCOMPARE(lines.count(Begins), 2);
        QCOMPARE(lines.mid(0, 2), (QStringList{QString(), Begins}));
        for (const char* line : {"mod Main  - showing splash", "Paused for 700 milliseconds",
                                 "Paused for 2000 milliseconds", "RegistryGet  - start"})
            QVERIFY2(lines.contains(QLatin1String(line)), line);
        QCOMPARE(lines.last(), QStringLiteral("mod Main  - done"));
        QFile::remove(DebugFileName);
        // No banner (a debug line), but the pause lines reach the error log.
        run("error");
        QVERIFY(ErrorMode && LogToFile && !DebugMode);
        QCOMPARE(LogCapture::messagesOf(ErrorFileName),
                 (QStringList{"Paused for 700 milliseconds", "Paused for 2000 milliseconds"}));
        QVERIFY(!QFile::exists(DebugFileName));
        QFile::remove(ErrorFileName);
        // With both, the first word's log is kept.
        run("error debug");
        QVERIFY(!QFile::exists(DebugFileName) && !DebugMode);
        lines = LogCapture::messagesOf(ErrorFileName);
        QVERIFY(lines.first().startsWith(QStringLiteral("CL: debug ignored")));
        run("debug error");
        QVERIFY(DebugMode);
        QCOMPARE(LogCapture::messagesOf(DebugFileName).filter("CL: error ignored").size(), 1);
        QCOMPARE(LogCapture::messagesOf(ErrorFileName), lines);
        QFile::remove(DebugFileName);
        QFile::remove(ErrorFileName);
        run("screen");
        QVERIFY(DebugMode && ErrorMode && TraceMode && !LogToFile);
        QVERIFY(!QFile::exists(DebugFileName) && !QFile::exists(ErrorFileName));

        // An options file changes the working record, not the stored one.
        const QString file = writeFile(path("opts.txt"), "\"AutoStart\",#TRUE#\r\n");
        m_prompts->clear();
        const RecordingWindows windows = run(QStringLiteral("Options ") + file);
        QVERIFY(m_prompts->texts().isEmpty() && UseOptionsFile);
        // The window gets the file's auto start, the saved record keeps its own.
        QVERIFY(windows.handed.AutoStart && !SavedOptions.AutoStart);
        QCOMPARE(option("AutoStart"), QStringLiteral("False"));
        // Missing, or a pipe (refused at once instead of waiting for a writer).
        const QString pipe = path("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const QString& missing : {path("none.txt"), pipe}) {
            m_prompts->clear();
            run(QStringLiteral("options ") + missing);
            QVERIFY(!UseOptionsFile);
            QCOMPARE(m_prompts->texts(), QStringList{u"Options file,\r\n" + missing + NotFound});
            QCOMPARE(m_prompts->shown().first().buttons, 48);
        }
        // "options" last: only a debug line.
        m_prompts->clear();
        run("debug options");
        QVERIFY(!UseOptionsFile && m_prompts->texts().isEmpty());
        QVERIFY(LogCapture::messagesOf(DebugFileName)
                    .contains(QStringLiteral("CL Error: options with no options file specified.")));
        m_prompts->clear();
        run("fullscreen options");
        QVERIFY(FullScreenMode && !UseOptionsFile && m_prompts->texts().isEmpty());
        // The word after "options" is a file name even when it is a switch.
        QFile::remove(DebugFileName);
        run("options debug");
        QVERIFY(!DebugMode && !QFile::exists(DebugFileName));
        QCOMPARE(OptionsFileName, QStringLiteral("debug"));
        QCOMPARE(m_prompts->texts().size(), 1); // the file "debug" is not found
    }

    void firstStartRecordsTheBrowserOnPath()
    {
        const QByteArray oldPath = qgetenv("PATH");
        const QString bin = path("bin");
        // Two folders: only the second holds the programs.
        qputenv("PATH", (path("empty") + u':' + bin).toUtf8());
        LogCapture log(m_dir->path(), true, false);
        using modRegistry::RegistrationApp, modRegistry::RegistrationSection;
        const QList<std::tuple<QStringList, QString, QString, qint16>> cases = {
            {{"firefox", "google-chrome"}, "", "C", 2},
            {{"firefox-esr"}, "", "F", 5},
            {{"lynx"}, "", "", 0},
            {{"chromium"}, "D", "D", 3}};
        for (const auto& [programs, before, recorded, mode] : cases) {
            QDir(bin).removeRecursively();
            QDir().mkpath(bin);
            for (const QString& name : programs)
                QFile(writeFile(bin + u'/' + name, "#!/bin/sh\n"))
                    .setPermissions(QFile::ReadOwner | QFile::ExeOwner);
            Registry::SaveSetting(RegistrationApp, RegistrationSection, "IBROWSER", before);
            const QString now = BrowserChoice::RecordIfMissing();
            QCOMPARE(now, before.isEmpty() ? recorded : QString());
            QCOMPARE(Registry::GetSetting(RegistrationApp, RegistrationSection, "IBROWSER"),
                     recorded);
            QCOMPARE(modRegistry::GetBrowserChoice(), mode);
            if (!now.isEmpty())
                QVERIFY(log.messages().contains(QStringLiteral("Browser choice recorded: ") + now));
        }
        qputenv("PATH", oldPath);
    }
};

QTEST_GUILESS_MAIN(tst_startup)
#include "tst_startup.moc"
