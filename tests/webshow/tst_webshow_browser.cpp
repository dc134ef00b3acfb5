// SPDX-License-Identifier: GPL-3.0-or-later
// The generated web show at work in headless Chromium: the pages are made
// by the generator from the shipped templates, served from a local HTTP
// server and from files, and played by a viewer that a Playwright script
// stands in for. The server's request log tells which slides were shown
// and when.
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

/// A short, silent wave sound: RIFF PCM, 8 bits, mono, 11025 Hz.
QByteArray silentWave()
{
    const quint32 samples = 2205;
    QByteArray wave;
    const auto u32 = [&wave](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wave.append(char((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&wave](quint16 v) {
        wave.append(char(v & 0xFF));
        wave.append(char(v >> 8));
    };
    wave.append("RIFF");
    u32(36 + samples);
    wave.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(11025);
    u32(11025);
    u16(1);
    u16(8);
    wave.append("data");
    u32(samples);
    wave.append(QByteArray(int(samples), char(0x80)));
    return wave;
}

struct Request
{
    QString path;
    qint64 msecs = 0;
};

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
    void showFromFiles();
    void showInItsOwnFrame();
    void hostileAddressesRunNothing();

private:
    QString slideUrl(const QString& name) const;
    /// Writes the two pages of the show, serves them under /show/ and
    /// keeps them as files in the test folder; returns the start page's width.
    QString publish(const colURLs& show, const QString& title, int pause, bool sound,
                    bool autoStart);
    QJsonObject drive(const QJsonObject& scenario);
    /// The requests of slides and sounds, in order.
    QList<Request> showRequests() const;
    static QStringList paths(const QList<Request>& requests);
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
    for (const char* name : {"a", "b", "c", "d", "e"})
        m_server->setHtmlPage(QStringLiteral("/s/%1.html").arg(QLatin1String(name)),
                              QStringLiteral("Slide %1").arg(QLatin1String(name)));
    m_server->setHtmlPage(QStringLiteral("/show/pages/r.html"), QStringLiteral("Relative"));
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
    const QByteArray pageBytes = (page + QStringLiteral("\r\n")).toUtf8();
    const QByteArray startBytes = (start + QStringLiteral("\r\n")).toUtf8();
    m_server->setPage(QStringLiteral("/show/WebShow.htm"), pageBytes);
    m_server->setPage(QStringLiteral("/show/StrtShow.htm"), startBytes);
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("WebShow.htm"), pageBytes},
                                      std::pair{QStringLiteral("StrtShow.htm"), startBytes}}) {
        QFile file(m_folder->filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
    }
    return width;
}

QJsonObject tst_webshow_browser::drive(const QJsonObject& scenario)
{
    const QString scenarioFile = m_folder->filePath(QStringLiteral("scenario.json"));
    QFile file(scenarioFile);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(scenario).toJson());
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
    const QJsonObject result = QJsonDocument::fromJson(lines.last()).object();
    if (result.contains(QStringLiteral("error")))
        qWarning("drive.mjs: %s", qPrintable(result.value(QStringLiteral("error")).toString()));
    return result;
}

QList<Request> tst_webshow_browser::showRequests() const
{
    QList<Request> result;
    for (const TestHttpServer::Request& request : m_server->requests()) {
        if (request.path.startsWith(QStringLiteral("/s/")) ||
            request.path.startsWith(QStringLiteral("/q/")) ||
            request.path.startsWith(QStringLiteral("/snd/")) ||
            request.path.startsWith(QStringLiteral("/show/pages/")))
            result.append({request.path, request.msecs});
    }
    return result;
}

QStringList tst_webshow_browser::paths(const QList<Request>& requests)
{
    QStringList result;
    for (const Request& request : requests)
        result.append(request.path);
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

    // The viewer opens the start page, starts the show, waits a little
    // over three slides and pauses; the show must then rest.
    const QJsonObject result = drive(QJsonObject{
        {"url", m_server->url(QStringLiteral("/show/StrtShow.htm")).toString()},
        {"open", "start"},
        {"steps", QJsonArray{QJsonObject{{"wait", 1500}}, QJsonObject{{"click", "#btnStart"}},
                             QJsonObject{{"wait", 3500}}, QJsonObject{{"click", "#btnPause"}},
                             QJsonObject{{"wait", 2600}}}}});
    checkClean(result);

    // The start page opened the control window at the width it was given;
    // the slides went to the start page's own window.
    QVERIFY(result.value(QStringLiteral("popup")).toBool());
    QCOMPARE(result.value(QStringLiteral("controlUrl")).toString(),
             m_server->url(QStringLiteral("/show/WebShow.htm")).toString());
    QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("remote"));
    QCOMPARE(result.value(QStringLiteral("innerWidth")).toInt(), width.toInt());
    QCOMPARE(result.value(QStringLiteral("title")).toString(), QStringLiteral("Spring Tour"));
    QCOMPARE(result.value(QStringLiteral("slideWindowUrl")).toString(), slideUrl("a"));
    QCOMPARE(result.value(QStringLiteral("status")).toString(),
             QStringLiteral("Paused. Press Resume to go on."));

    // Nothing before Start; then a, c, d and a again, a second apart, and
    // nothing after the pause. The sound came with the first slide.
    const QList<Request> requests = showRequests();
    QList<Request> slides;
    QList<Request> sounds;
    for (const Request& request : requests)
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
    show.Add(slideUrl(QStringLiteral("a")), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("b")), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("c")), QString(), 0, true);
    show.Add(slideUrl(QStringLiteral("d")), QString(), 0, false);
    QVERIFY(!publish(show, QStringLiteral("Auto"), 2, false, true).isEmpty());

    // Nobody presses Start; two seconds a slide.
    const QJsonObject result =
        drive(QJsonObject{{"url", m_server->url(QStringLiteral("/show/StrtShow.htm")).toString()},
                          {"open", "start"},
                          {"steps", QJsonArray{QJsonObject{{"wait", 5000}}}}});
    checkClean(result);

    const QList<Request> requests = showRequests();
    QVERIFY(requests.size() >= 3);
    QCOMPARE(paths(requests).mid(0, 3), QStringList({"/s/a.html", "/s/b.html", "/s/d.html"}));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = requests[i].msecs - requests[i - 1].msecs;
        QVERIFY2(gap >= 1600 && gap <= 2900, qPrintable(QString::number(gap)));
    }
    // The first slide came at once, not after a pause.
    const qint64 opened = [this] {
        for (const TestHttpServer::Request& request : m_server->requests()) {
            if (request.path == QStringLiteral("/show/WebShow.htm"))
                return request.msecs;
        }
        return qint64(-1);
    }();
    QVERIFY(opened >= 0);
    QVERIFY2(requests[0].msecs - opened < 1500,
             qPrintable(QString::number(requests[0].msecs - opened)));
}

void tst_webshow_browser::showFromFiles()
{
    colURLs show;
    show.Add(slideUrl(QStringLiteral("a")), QString(), 0, true);
    show.Add(slideUrl(QStringLiteral("b")), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("c")), QString(), 0, false);
    QVERIFY(!publish(show, QStringLiteral("From files"), 1, false, false).isEmpty());

    const QJsonObject result = drive(QJsonObject{
        {"url", QUrl::fromLocalFile(m_folder->filePath(QStringLiteral("StrtShow.htm"))).toString()},
        {"open", "start"},
        {"steps", QJsonArray{QJsonObject{{"click", "#btnStart"}}, QJsonObject{{"wait", 2500}},
                             QJsonObject{{"click", "#btnStop"}}, QJsonObject{{"wait", 1500}}}}});
    checkClean(result);
    QCOMPARE(result.value(QStringLiteral("controlUrl")).toString(),
             QUrl::fromLocalFile(m_folder->filePath(QStringLiteral("WebShow.htm"))).toString());
    QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("remote"));
    // b, c, b again, and then nothing: Stop ends the cycle.
    QCOMPARE(paths(showRequests()), QStringList({"/s/b.html", "/s/c.html", "/s/b.html"}));
    QCOMPARE(result.value(QStringLiteral("status")).toString(),
             QStringLiteral("Show stopped. Press Start to begin again."));
}

void tst_webshow_browser::showInItsOwnFrame()
{
    // Opened on its own, the page has no window to send the slides to and
    // shows them in its frame; Back and Forward pass over skipped slides,
    // and a relative address is found beside the page.
    colURLs show;
    show.Add(slideUrl(QStringLiteral("a")), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("b")), QString(), 0, true);
    show.Add(QStringLiteral("pages\\r.html"), QString(), 0, false);
    show.Add(slideUrl(QStringLiteral("e")), QString(), 0, true);
    QVERIFY(!publish(show, QStringLiteral("Framed"), 30, false, false).isEmpty());

    const QJsonObject result = drive(QJsonObject{
        {"url", m_server->url(QStringLiteral("/show/WebShow.htm")).toString()},
        {"open", "direct"},
        {"steps", QJsonArray{QJsonObject{{"wait", 800}}, QJsonObject{{"click", "#btnForward"}},
                             QJsonObject{{"wait", 400}}, QJsonObject{{"click", "#btnForward"}},
                             QJsonObject{{"wait", 400}}, QJsonObject{{"key", "ArrowRight"}},
                             QJsonObject{{"wait", 400}}, QJsonObject{{"click", "#btnBack"}},
                             QJsonObject{{"wait", 600}}}}});
    checkClean(result);
    QVERIFY(!result.value(QStringLiteral("popup")).toBool());
    QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("framed"));
    QCOMPARE(paths(showRequests()),
             QStringList({"/s/a.html", "/show/pages/r.html", "/s/a.html", "/show/pages/r.html"}));
    QCOMPARE(result.value(QStringLiteral("frameUrl")).toString(),
             m_server->url(QStringLiteral("/show/pages/r.html")).toString());
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
    for (int i = 1; i <= 4; ++i)
        m_server->setHtmlPage(QStringLiteral("/q/%1.html").arg(i), QStringLiteral("Q"));
    colURLs show;
    for (const QString& href : hrefs)
        show.Add(href, QStringLiteral("x.wav\"+(window.__pwHacked=7)+\""), 0, false);
    const QString title =
        QStringLiteral("</title><script>window.__pwHacked=5</script>"
                       "<img src=x onerror=\"window.__pwHacked=6\"> Caf\u00e9 & co");
    QVERIFY(!publish(show, title, 1, true, true).isEmpty());

    const QJsonObject result =
        drive(QJsonObject{{"url", m_server->url(QStringLiteral("/show/WebShow.htm")).toString()},
                          {"open", "direct"},
                          {"steps", QJsonArray{QJsonObject{{"wait", 4500}}}}});
    checkClean(result);

    // The script holds the addresses exactly as published, and the title
    // is text; every slide was shown, in order.
    QJsonArray expected;
    QJsonArray sounds;
    for (const QString& href : hrefs) {
        qsizetype length = 0;
        expected.append(modTemplate::PublishAddress(href, QString(), QString(), &length));
        sounds.append(QStringLiteral("x.wav\"+(window.__pwHacked=7)+\""));
    }
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
