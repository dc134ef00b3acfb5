// SPDX-License-Identifier: GPL-3.0-or-later
// The generated web show in headless Chromium, driven by a Playwright script;
// the local server's request log tells which slides were shown and when.
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "tests/support/TestHttpServer.h"
#include "webshow/modTemplate.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The longest a scenario may take, browser start included.
constexpr int ScenarioLimitMs = 100000;

/// A short, silent wave sound: RIFF PCM, 8 bits, mono, 11025 Hz, 2205 samples.
QByteArray silentWave()
{
    return QByteArray("RIFF\xC1\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x11\x2B\0\0\x11\x2B\0\0"
                      "\x01\0\x08\0"
                      "data\x9D\x08\0\0",
                      44) +
           QByteArray(2205, char(0x80));
}

struct Request
{
    QString path;
    qint64 msecs = 0;
};

QStringList paths(const QList<Request>& requests)
{
    QStringList result;
    for (const Request& request : requests)
        result.append(request.path);
    return result;
}

} // namespace

class tst_webshow_browser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startPageOpensTheShow();
    void autoStartStartsByItself();
    void hostileAddressesRunNothing();

private:
    QString slideUrl(const QString& name) const;
    /// Serves the two pages of the show under /show/; returns the start page's width.
    QString publish(const colURLs& show, const QString& title, int pause, bool sound,
                    bool autoStart);
    QJsonObject drive(const QString& path, const char* open, const QJsonArray& steps);
    /// The requests of slides and sounds, in order.
    QList<Request> showRequests() const;
    void checkClean(const QJsonObject& result);

    QString m_node;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_webshow_browser::initTestCase()
{
    m_node = QStandardPaths::findExecutable(QStringLiteral("node"));
    QVERIFY2(!m_node.isEmpty(), "node is not installed (scripts/install-deps.sh installs it)");
    QVERIFY2(QFileInfo::exists(QStringLiteral(PW_SOURCE_DIR "/node_modules/playwright-core")),
             "playwright-core is missing: scripts/install-deps.sh installs it (npm ci)");
    const QByteArray chromium = qgetenv("PW_CHROMIUM");
    QVERIFY2(QFileInfo::exists(chromium.isEmpty() ? QStringLiteral("/usr/bin/chromium")
                                                  : QString::fromLocal8Bit(chromium)),
             "Chromium is not installed");
    QVERIFY2(QFileInfo::exists(QStringLiteral(PW_APP_FOLDER "/NAV.txt")),
             "the templates are not in the program folder");
}

void tst_webshow_browser::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
    modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->listen());
    for (const char* name : {"a", "b", "c", "d"})
        m_server->setHtmlPage(QStringLiteral("/s/%1.html").arg(QLatin1String(name)),
                              QStringLiteral("Slide %1").arg(QLatin1String(name)));
    m_server->setPage(QStringLiteral("/snd/bell.wav"), silentWave(), "audio/wav");
}

void tst_webshow_browser::cleanup()
{
    m_server.reset();
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

QString tst_webshow_browser::slideUrl(const QString& name) const
{
    return m_server->url(QStringLiteral("/s/") + name + QStringLiteral(".html")).toString();
}

QString tst_webshow_browser::publish(const colURLs& show, const QString& title, int pause,
                                     bool sound, bool autoStart)
{
    qint16 longest = 0;
    const QString page = modTemplate::BuildShowPage(title, pause, sound, show, QString(), QString(),
                                                    autoStart, longest);
    const QString width = modTemplate::StartPageWidth(longest);
    const QString start = modTemplate::BuildStartPage(QStringLiteral("WebShow.htm"), width,
                                                      QStringLiteral("STRTTOUR.txt"));
    if (page.isEmpty() || start.isEmpty())
        return QString();
    // Written as the web show dialog writes them: the text and a line end.
    m_server->setPage(QStringLiteral("/show/WebShow.htm"),
                      (page + QStringLiteral("\r\n")).toUtf8());
    m_server->setPage(QStringLiteral("/show/StrtShow.htm"),
                      (start + QStringLiteral("\r\n")).toUtf8());
    return width;
}

QJsonObject tst_webshow_browser::drive(const QString& path, const char* open,
                                       const QJsonArray& steps)
{
    const QString scenarioFile = m_folder->filePath(QStringLiteral("scenario.json"));
    QFile file(scenarioFile);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(
        QJsonDocument(
            QJsonObject{{"url", m_server->url(path).toString()}, {"open", open}, {"steps", steps}})
            .toJson());
    file.close();

    QProcess node;
    node.setWorkingDirectory(QStringLiteral(PW_WEBSHOW_JS));
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&node, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&node, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    node.start(m_node, {QStringLiteral(PW_WEBSHOW_JS "/drive.mjs"), scenarioFile});
    limit.start(ScenarioLimitMs);
    // The server answers the browser from this loop.
    loop.exec();
    if (node.state() != QProcess::NotRunning) {
        node.kill();
        node.waitForFinished(5000);
        qWarning("the browser scenario did not finish in time");
        return {};
    }
    const QByteArray errors = node.readAllStandardError();
    if (!errors.isEmpty())
        qInfo("drive.mjs: %s", errors.constData());
    const QList<QByteArray> lines = node.readAllStandardOutput().trimmed().split('\n');
    return QJsonDocument::fromJson(lines.last()).object();
}

QList<Request> tst_webshow_browser::showRequests() const
{
    QList<Request> result;
    for (const TestHttpServer::Request& request : m_server->requests()) {
        if (request.path.startsWith(QStringLiteral("/s/")) ||
            request.path.startsWith(QStringLiteral("/q/")) ||
            request.path.startsWith(QStringLiteral("/snd/")))
            result.append({request.path, request.msecs});
    }
    return result;
}

void tst_webshow_browser::checkClean(const QJsonObject& result)
{
    QVERIFY2(!result.isEmpty(), "no result from the browser");
    QVERIFY2(!result.contains(QStringLiteral("error")),
             qPrintable(result.value(QStringLiteral("error")).toString()));
    QCOMPARE(result.value(QStringLiteral("pageErrors")).toArray(), QJsonArray());
    QCOMPARE(result.value(QStringLiteral("dialogs")).toArray(), QJsonArray());
    QCOMPARE(result.value(QStringLiteral("hacked")).toArray(), QJsonArray());
}

void tst_webshow_browser::startPageOpensTheShow()
{
    // Four slides, the second skipped; one sound.
    colURLs show;
    show.Add(slideUrl(QStringLiteral("a")), QStringLiteral("/snd/bell.wav"), 0, false);
    show.Add(slideUrl(QStringLiteral("b")), QString(), 0, true);
    show.Add(slideUrl(QStringLiteral("c")), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("d")), QString(), 0, false);
    const QString width = publish(show, QStringLiteral("Spring Tour"), 1, true, false);
    QVERIFY(!width.isEmpty());

    // Start, a little over three slides, Pause; the show must then rest.
    const QJsonObject result =
        drive(QStringLiteral("/show/StrtShow.htm"), "start",
              QJsonArray{QJsonObject{{"wait", 1500}}, QJsonObject{{"click", "#btnStart"}},
                         QJsonObject{{"wait", 3500}}, QJsonObject{{"click", "#btnPause"}},
                         QJsonObject{{"wait", 2600}}});
    checkClean(result);

    // The control window opened at its width; the slides went to the start page's window.
    QVERIFY(result.value(QStringLiteral("popup")).toBool());
    QCOMPARE(result.value(QStringLiteral("controlUrl")).toString(),
             m_server->url(QStringLiteral("/show/WebShow.htm")).toString());
    QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("remote"));
    QCOMPARE(result.value(QStringLiteral("innerWidth")).toInt(), width.toInt());
    QCOMPARE(result.value(QStringLiteral("slideWindowUrl")).toString(), slideUrl("a"));
    QCOMPARE(result.value(QStringLiteral("status")).toString(),
             QStringLiteral("Paused. Press Resume to go on."));

    // Nothing before Start; then a, c, d and a again, a second apart, and
    // nothing after the pause. The sound came with the first slide.
    QList<Request> slides;
    QList<Request> sounds;
    for (const Request& request : showRequests())
        (request.path.startsWith(QStringLiteral("/snd/")) ? sounds : slides).append(request);
    QCOMPARE(paths(slides), QStringList({"/s/a.html", "/s/c.html", "/s/d.html", "/s/a.html"}));
    for (int i = 1; i < slides.size(); ++i) {
        const qint64 gap = slides[i].msecs - slides[i - 1].msecs;
        QVERIFY2(gap >= 700 && gap <= 1900, qPrintable(QString::number(gap)));
    }
    QVERIFY(!sounds.isEmpty());
    QVERIFY(sounds.first().msecs >= slides.first().msecs - 300);
    QVERIFY(sounds.first().msecs < slides[1].msecs);
}

void tst_webshow_browser::autoStartStartsByItself()
{
    colURLs show;
    for (const char* name : {"a", "b", "c", "d"})
        show.Add(slideUrl(QLatin1String(name)), QString(), 0, name[0] == 'c');
    QVERIFY(!publish(show, QStringLiteral("Auto"), 2, false, true).isEmpty());

    // Nobody presses Start; two seconds a slide, the first at once.
    const QJsonObject result =
        drive(QStringLiteral("/show/StrtShow.htm"), "start", {QJsonObject{{"wait", 5000}}});
    checkClean(result);

    const QList<Request> requests = showRequests();
    QVERIFY(requests.size() >= 3);
    QCOMPARE(paths(requests).mid(0, 3), QStringList({"/s/a.html", "/s/b.html", "/s/d.html"}));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = requests[i].msecs - requests[i - 1].msecs;
        QVERIFY2(gap >= 1600 && gap <= 2900, qPrintable(QString::number(gap)));
    }
    qint64 opened = -1;
    for (const TestHttpServer::Request& request : m_server->requests()) {
        if (opened < 0 && request.path == QStringLiteral("/show/WebShow.htm"))
            opened = request.msecs;
    }
    QVERIFY(opened >= 0);
    QVERIFY2(requests[0].msecs - opened < 1500,
             qPrintable(QString::number(requests[0].msecs - opened)));
}

void tst_webshow_browser::hostileAddressesRunNothing()
{
    // Addresses, a sound and a title that would break out of their string
    // or element if written as they stand.
    const QString base = m_server->url(QStringLiteral("/q/")).toString();
    const QStringList hrefs = {
        base + QStringLiteral("1.html?x=\"</script><script>window.__pwHacked=1</script>"),
        base + QStringLiteral("2.html?y='+(window.__pwHacked=2)+'\";window.__pwHacked=2;//"),
        base + QStringLiteral("3.html?z=\\\"\r\nwindow.__pwHacked=3;//"),
        base + QStringLiteral("4.html#\u2028window.__pwHacked=4;<!--"),
    };
    const QString sound = QStringLiteral("x.wav\"+(window.__pwHacked=7)+\"");
    colURLs show;
    QJsonArray expected;
    QJsonArray sounds;
    for (int i = 1; i <= 4; ++i) {
        m_server->setHtmlPage(QStringLiteral("/q/%1.html").arg(i), QStringLiteral("Q"));
        show.Add(hrefs[i - 1], sound, 0, false);
        qsizetype length = 0;
        expected.append(modTemplate::PublishAddress(hrefs[i - 1], QString(), QString(), &length));
        sounds.append(sound);
    }
    const QString title =
        QStringLiteral("</title><script>window.__pwHacked=5</script>"
                       "<img src=x onerror=\"window.__pwHacked=6\"> Caf\u00e9 & co");
    QVERIFY(!publish(show, title, 1, true, true).isEmpty());

    const QJsonObject result =
        drive(QStringLiteral("/show/WebShow.htm"), "direct", {QJsonObject{{"wait", 4500}}});
    checkClean(result);

    // The script holds the addresses exactly as published, the title is
    // text, and every slide was shown, in order.
    QCOMPARE(result.value(QStringLiteral("slides")).toArray(), expected);
    QCOMPARE(result.value(QStringLiteral("sounds")).toArray(), sounds);
    QCOMPARE(result.value(QStringLiteral("title")).toString(), title);
    QStringList slides = paths(showRequests());
    slides.removeIf([](const QString& path) { return !path.startsWith(QStringLiteral("/q/")); });
    QVERIFY(slides.size() >= 4);
    QCOMPARE(slides.mid(0, 4), QStringList({"/q/1.html", "/q/2.html", "/q/3.html", "/q/4.html"}));
}

QTEST_GUILESS_MAIN(tst_webshow_browser)
#include "tst_webshow_browser.moc"
