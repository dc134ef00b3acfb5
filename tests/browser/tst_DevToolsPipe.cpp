// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/AutomationBrowser.h"
#include "platform/BrowserProfile.h"
#include "platform/DevToolsPipe.h"

#include <csignal>
#include <memory>
#include <numeric>

// The transport against a stand-in browser that answers on the same pipe, and
// the profile the browser is started on.
class tst_DevToolsPipe : public QObject
{
    Q_OBJECT

    struct Answer
    {
        bool received = false;
        DevToolsReply reply;
    };

    static std::shared_ptr<Answer> ask(DevToolsPipe& pipe, const QString& method,
                                       const QJsonObject& params = {})
    {
        auto answer = std::make_shared<Answer>();
        pipe.send(method, params, {}, [answer](const DevToolsReply& reply) {
            answer->received = true;
            answer->reply = reply;
        });
        return answer;
    }

    static void startPeer(DevToolsPipe& pipe)
    {
        QString reason;
        QVERIFY2(pipe.start(QStringLiteral(PW_FAKE_PEER), {}, &reason), qPrintable(reason));
    }

    static bool processExists(qint64 pid) { return ::kill(pid_t(pid), 0) == 0; }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private Q_SLOTS:
    void messagesTravelWholeAndInOrder()
    {
        QString reason;
        QVERIFY(!DevToolsPipe().start(QStringLiteral("/nonexistent/browser"), {}, &reason));
        QVERIFY(!reason.isEmpty());
        auto pipe = std::make_unique<DevToolsPipe>();
        startPeer(*pipe);
        QList<int> ticks;
        connect(pipe.get(), &DevToolsPipe::event, this,
                [&ticks](const QString& method, const QJsonObject& params, const QString&) {
                    QCOMPARE(method, QStringLiteral("Test.tick"));
                    ticks << params.value(QStringLiteral("n")).toInt();
                });
        const auto first = ask(*pipe, QStringLiteral("Echo"), {{QStringLiteral("n"), 1}});
        const auto second = ask(*pipe, QStringLiteral("Echo"), {{QStringLiteral("n"), 2}});
        const auto unknown = ask(*pipe, QStringLiteral("No.such"));
        // Events and a reply in one write.
        const auto burst = ask(*pipe, QStringLiteral("Burst"), {{QStringLiteral("count"), 50}});
        // Far larger than a pipe's buffer: read in many pieces.
        const QString big(3 * 1024 * 1024, QLatin1Char('x'));
        const auto large = ask(*pipe, QStringLiteral("Echo"), {{QStringLiteral("big"), big}});
        QTRY_VERIFY_WITH_TIMEOUT(first->received && second->received && unknown->received &&
                                     burst->received && large->received,
                                 10000);
        QCOMPARE((QList<int>{first->reply.result.value(QStringLiteral("n")).toInt(),
                             second->reply.result.value(QStringLiteral("n")).toInt()}),
                 (QList<int>{1, 2}));
        QCOMPARE(unknown->reply.errorCode, -32601);
        // All events of the burst, in order, before its reply.
        QList<int> expected(50);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(ticks, expected);
        QCOMPARE(large->reply.result.value(QStringLiteral("big")).toString(), big);

        // Each end of the pipe is open once on each side: stray copies would
        // hide the browser's death.
        const auto fds = ask(*pipe, QStringLiteral("ListFds"));
        QTRY_VERIFY_WITH_TIMEOUT(fds->received, 5000);
        const QJsonObject childFds = fds->reply.result.value(QStringLiteral("fds")).toObject();
        const QString commands = childFds.value(QStringLiteral("3")).toString();
        const QString replies = childFds.value(QStringLiteral("4")).toString();
        QVERIFY(commands.startsWith(QLatin1String("pipe:")) && replies != commands);
        QMap<QString, int> ownFds;
        for (const QString& entry : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files))
            ++ownFds[QFileInfo(QFile::symLinkTarget("/proc/self/fd/" + entry)).fileName()];
        QMap<QString, int> childCounts;
        for (const QJsonValue& target : childFds)
            ++childCounts[target.toString()];
        QCOMPARE((QList<int>{ownFds.value(commands), ownFds.value(replies),
                             childCounts.value(commands), childCounts.value(replies)}),
                 QList<int>(4, 1));

        // Ending the pipe ends its browser.
        const qint64 pid = pipe->processId();
        pipe.reset();
        QVERIFY(!processExists(pid));
    }

    void endOfBrowserFailsWaitingAndLaterCommands_data()
    {
        QTest::addColumn<int>("signal"); // 0: the browser exits
        QTest::newRow("exits") << 0;
        QTest::newRow("killed") << int(SIGKILL);
        // Stopped while idle: the pipe asks it something, and its silence ends it.
        QTest::newRow("stopped") << int(SIGSTOP);
    }
    void endOfBrowserFailsWaitingAndLaterCommands()
    {
        QFETCH(int, signal);
        DevToolsPipe pipe;
        pipe.setAnswerTimeout(800);
        startPeer(pipe);
        QSignalSpy closed(&pipe, &DevToolsPipe::closed);
        const qint64 pid = pipe.processId();
        std::shared_ptr<Answer> hanging;
        if (signal == SIGSTOP) {
            QTest::qWait(1500);
            QVERIFY(closed.isEmpty() && !pipe.killedAsHung());
        } else {
            hanging = ask(pipe, QStringLiteral("Hang"));
        }
        if (signal)
            ::kill(pid_t(pid), signal);
        else
            ask(pipe, QStringLiteral("Exit"));
        QVERIFY(closed.wait(5000));
        QCOMPARE(pipe.killedAsHung(), signal == SIGSTOP);
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 2000);
        if (hanging)
            QCOMPARE(hanging->received ? hanging->reply.errorCode : 0,
                     DevToolsReply::ConnectionClosed);
        // A later command is refused, but never inside send() itself, and
        // writing to the dead browser must not end this program (SIGPIPE).
        const auto late = ask(pipe, QStringLiteral("Echo"));
        QVERIFY(!late->received);
        QTRY_VERIFY_WITH_TIMEOUT(late->received, 2000);
        QCOMPARE(late->reply.errorCode, DevToolsReply::ConnectionClosed);
        QCOMPARE(closed.size(), 1);
    }

    // A profile left by a browser that crashed or was killed is mended before the browser starts.
    void crashedProfileIsMarkedClosed()
    {
        QTemporaryDir folder;
        const QString profile = folder.filePath(QStringLiteral("profile"));
        QVERIFY(QDir().mkpath(profile + QStringLiteral("/Default")));
        const QString preferences = profile + QStringLiteral("/Default/Preferences");
        QVERIFY(writeFile(preferences,
                          R"({"profile":{"exit_type":"Crashed","exited_cleanly":false,)"
                          R"("name":"Person 1"},"homepage":"about:blank"})"));
        // A stand-in browser notes what it found and how it was started.
        const QString seen = folder.filePath(QStringLiteral("seen.json"));
        const QString arguments = folder.filePath(QStringLiteral("arguments.txt"));
        const QString program = folder.filePath(QStringLiteral("browser"));
        QVERIFY(writeFile(program, "#!/bin/sh\ncp '" + preferences.toUtf8() + "' '" +
                                       seen.toUtf8() + "'\necho \"$@\" > '" + arguments.toUtf8() +
                                       "'\nexit 1\n"));
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        AutomationBrowser browser;
        browser.setProgram(program);
        browser.setProfileFolder(profile);
        QVERIFY(!browser.start());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(arguments), 5000);
        QCOMPARE(
            QJsonDocument::fromJson(readFile(seen)),
            QJsonDocument::fromJson(R"({"profile":{"exit_type":"Normal","exited_cleanly":true,)"
                                    R"("name":"Person 1"},"homepage":"about:blank"})"));
        QVERIFY(readFile(arguments).contains("--hide-crash-restore-bubble"));

        // A profile never used stays untouched.
        QVERIFY(BrowserProfile::MarkExitedCleanly(folder.filePath(QStringLiteral("new"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("new/Default/Preferences"))));
    }
};

QTEST_GUILESS_MAIN(tst_DevToolsPipe)
#include "tst_DevToolsPipe.moc"
