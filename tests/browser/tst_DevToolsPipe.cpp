// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QMap>
#include <QSignalSpy>
#include <QTest>

#include "platform/DevToolsPipe.h"

#include <csignal>
#include <memory>
#include <numeric>

// The transport against a stand-in browser that answers on the same pipe.
class tst_DevToolsPipe : public QObject
{
    Q_OBJECT

private:
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

private Q_SLOTS:
    void repliesMatchTheirCommands()
    {
        DevToolsPipe pipe;
        startPeer(pipe);
        const auto first = ask(pipe, QStringLiteral("Echo"), {{QStringLiteral("n"), 1}});
        const auto second = ask(pipe, QStringLiteral("Echo"), {{QStringLiteral("n"), 2}});
        const auto unknown = ask(pipe, QStringLiteral("No.such"));
        QTRY_VERIFY_WITH_TIMEOUT(first->received && second->received && unknown->received, 5000);
        QCOMPARE(first->reply.result.value(QStringLiteral("n")).toInt(), 1);
        QCOMPARE(second->reply.result.value(QStringLiteral("n")).toInt(), 2);
        QCOMPARE(unknown->reply.errorCode, -32601);
    }

    void messagesAreSplitAndJoined()
    {
        DevToolsPipe pipe;
        startPeer(pipe);
        QList<int> ticks;
        connect(&pipe, &DevToolsPipe::event, this,
                [&ticks](const QString& method, const QJsonObject& params, const QString&) {
                    QCOMPARE(method, QStringLiteral("Test.tick"));
                    ticks << params.value(QStringLiteral("n")).toInt();
                });
        const auto burst = ask(pipe, QStringLiteral("Burst"), {{QStringLiteral("count"), 50}});
        const auto split = ask(pipe, QStringLiteral("Split"), {{QStringLiteral("s"), "joined"}});
        QTRY_VERIFY_WITH_TIMEOUT(burst->received && split->received, 5000);
        // All events of the burst, in order, before its reply.
        QList<int> expected(50);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(ticks, expected);
        QCOMPARE(split->reply.result.value(QStringLiteral("s")).toString(),
                 QStringLiteral("joined"));
    }

    void largeMessagesTravelBothWays()
    {
        // Far larger than a pipe's buffer.
        DevToolsPipe pipe;
        startPeer(pipe);
        const QString big(3 * 1024 * 1024, QLatin1Char('x'));
        const auto answer = ask(pipe, QStringLiteral("Echo"), {{QStringLiteral("big"), big}});
        QTRY_VERIFY_WITH_TIMEOUT(answer->received, 10000);
        QCOMPARE(answer->reply.result.value(QStringLiteral("big")).toString(), big);
    }

    void eachEndOfThePipeIsOpenOnceOnEachSide()
    {
        // Stray copies of the ends would hide the browser's death.
        DevToolsPipe pipe;
        startPeer(pipe);
        const auto answer = ask(pipe, QStringLiteral("ListFds"));
        QTRY_VERIFY_WITH_TIMEOUT(answer->received, 5000);
        const QJsonObject childFds = answer->reply.result.value(QStringLiteral("fds")).toObject();
        const QString commands = childFds.value(QStringLiteral("3")).toString();
        const QString replies = childFds.value(QStringLiteral("4")).toString();
        QVERIFY(commands.startsWith(QLatin1String("pipe:")) && replies != commands);

        QMap<QString, int> ownFds;
        const QStringList entries = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files);
        for (const QString& entry : entries)
            ++ownFds[QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + entry))
                         .fileName()];
        QCOMPARE(ownFds.value(commands), 1);
        QCOMPARE(ownFds.value(replies), 1);
        int childCommands = 0;
        int childReplies = 0;
        for (const QJsonValue& target : childFds) {
            childCommands += target.toString() == commands;
            childReplies += target.toString() == replies;
        }
        QCOMPARE(childCommands, 1);
        QCOMPARE(childReplies, 1);
    }

    void endOfBrowserFailsWaitingAndLaterCommands()
    {
        DevToolsPipe pipe;
        startPeer(pipe);
        QSignalSpy closed(&pipe, &DevToolsPipe::closed);
        const auto hanging = ask(pipe, QStringLiteral("Hang"));
        ask(pipe, QStringLiteral("Exit"));
        QVERIFY(closed.wait(5000));
        QVERIFY(hanging->received);
        QCOMPARE(hanging->reply.errorCode, DevToolsReply::ConnectionClosed);

        // A later command is refused, but never inside send() itself.
        const auto late = ask(pipe, QStringLiteral("Echo"));
        QVERIFY(!late->received);
        QTRY_VERIFY_WITH_TIMEOUT(late->received, 2000);
        QCOMPARE(late->reply.errorCode, DevToolsReply::ConnectionClosed);
        QCOMPARE(closed.size(), 1);
    }

    void killedBrowserIsNoticed()
    {
        DevToolsPipe pipe;
        startPeer(pipe);
        QSignalSpy closed(&pipe, &DevToolsPipe::closed);
        ::kill(pid_t(pipe.processId()), SIGKILL);
        QVERIFY(closed.wait(5000));
        // Writing to the dead browser must not end this program (SIGPIPE).
        const auto answer = ask(pipe, QStringLiteral("Echo"));
        QTRY_VERIFY_WITH_TIMEOUT(answer->received, 2000);
        QCOMPARE(closed.size(), 1);
    }

    void stoppedBrowserIsEnded()
    {
        // Stopped while idle: the pipe asks it something, and its silence
        // ends it.
        DevToolsPipe pipe;
        pipe.setAnswerTimeout(800);
        startPeer(pipe);
        QSignalSpy closed(&pipe, &DevToolsPipe::closed);
        const qint64 pid = pipe.processId();
        QTest::qWait(1500);
        QVERIFY(closed.isEmpty() && !pipe.killedAsHung());
        ::kill(pid_t(pid), SIGSTOP);
        QVERIFY(closed.wait(5000));
        QVERIFY(pipe.killedAsHung());
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 2000);
    }

    void missingProgramFailsToStart()
    {
        DevToolsPipe pipe;
        QString reason;
        QVERIFY(!pipe.start(QStringLiteral("/nonexistent/browser"), {}, &reason));
        QVERIFY(!reason.isEmpty());
    }

    void destroyingThePipeClosesTheBrowser()
    {
        qint64 pid = 0;
        {
            DevToolsPipe pipe;
            startPeer(pipe);
            pid = pipe.processId();
            QVERIFY(processExists(pid));
        }
        QVERIFY(!processExists(pid));
    }
};

QTEST_GUILESS_MAIN(tst_DevToolsPipe)
#include "tst_DevToolsPipe.moc"
