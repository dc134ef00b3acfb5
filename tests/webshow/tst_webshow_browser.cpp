// SPDX-License-Identifier: GPL-3.0-or-later
// The web show's pages in headless Chromium, driven by js/drive.mjs as a
// viewer would: pages built directly and pages the dialog writes.
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "tests/support/TestHttpServer.h"
#include "webshow/frmWebShow.h"
#include "webshow/modTemplate.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

/// A page the browser fetched or showed, with its time.
struct Shown
{
    QString path;
    qint64 msecs = 0;
};

QStringList paths(const QList<Shown>& shown)
{
    QStringList result;
    for (const Shown& page : shown)
        result.append(page.path);
    return result;
}

/// Fails unless every gap between the first `count` pages lies in [low, high] ms.
void checkGaps(const QList<Shown>& shown, int count, qint64 low, qint64 high)
{
    QVERIFY(shown.size() >= count);
    for (int i = 1; i < count; ++i) {
        const qint64 gap = shown[i].msecs - shown[i - 1].msecs;
        QVERIFY2(gap >= low && gap <= high, qPrintable(QString::number(gap)));
    }
}

QJsonObject click(const char* id)
{
    return {{"click", id}};
}
QJsonObject wait(int ms)
{
    return {{"wait", ms}};
}

/// A short, silent wave sound: RIFF PCM, 8 bits, mono, 11025 Hz, 2205 samples.
QByteArray silentWave()
{
    return QByteArray("RIFF\xC1\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x11\x2B\0\0\x11\x2B\0\0"
                      "\x01\0\x08\0"
                      "data\x9D\x08\0\0",
                      44) +
           QByteArray(2205, char(0x80));
}

} // namespace

class tst_webshow_browser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void hostileShowStartsByItselfAndRunsNothing();
    void dialogShowSteeredOverHttp();

private:
    /// Four slide pages in the folder, the third skipped in the show, a sound with the first.
    colURLs slidesIn(const QString& folder, const QString& sound = QString());
    /// Makes the show through the dialog into the folder, with sound.
    void makeShow(const colURLs& show, const QString& folder, bool web, bool autoStart);
    /// Runs one scenario ("start": through the start page's button, "direct": the show page).
    QJsonObject drive(const QString& url, const char* open, const QJsonArray& steps);
    /// The server's requests under the folder, in order.
    QList<Shown> requests(const QString& folder) const;
    /// The pages a window showed after the start page, with their times.
    static QList<Shown> navigations(const QJsonObject& result, int window);
    static void checkClean(const QJsonObject& result);

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
}

void tst_webshow_browser::cleanup()
{
    m_server.reset();
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

colURLs tst_webshow_browser::slidesIn(const QString& folder, const QString& sound)
{
    colURLs show;
    show.TrayFilename = QStringLiteral("/shows/Garden.txt");
    QDir().mkpath(folder);
    for (const char* name : {"a", "b", "c", "d"}) {
        const QString file =
            folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".html");
        writeFile(file,
                  QByteArray("<!DOCTYPE html><title>Slide ") + name + "</title><p>Slide " + name);
        show.Add(file, name[0] == 'a' ? sound : QString(), 0, name[0] == 'c');
    }
    return show;
}

void tst_webshow_browser::makeShow(const colURLs& show, const QString& folder, bool web,
                                   bool autoStart)
{
    COptions options;
    frmWebShow window(show, options, false);
    window.show();
    window.findChild<QRadioButton*>(web ? "optShowType1" : "optShowType0")->click();
    // On the web the slides sit beside the pages: their folder goes.
    window.findChild<QLineEdit*>("txtPathLcl")->setText(folder + QLatin1Char('/'));
    window.findChild<QLineEdit*>("txtPath")->setText(folder);
    window.findChild<QLineEdit*>("txtTitle")->setText(QStringLiteral("Garden"));
    window.findChild<QComboBox*>("cboReloadInterval")->setEditText(QStringLiteral(" 2 sec"));
    window.findChild<QCheckBox*>("chkAutoStart")->setChecked(autoStart);
    window.findChild<QCheckBox*>("chkUseSnd")->setChecked(true);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCOMPARE(m_prompts->shown().size(), 1);
    QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Show Created"));
}

QJsonObject tst_webshow_browser::drive(const QString& url, const char* open,
                                       const QJsonArray& steps)
{
    const QString scenarioFile = m_folder->filePath(QStringLiteral("scenario.json"));
    QFile file(scenarioFile);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(QJsonObject{{"url", url}, {"open", open}, {"steps", steps}}).toJson());
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
    limit.start(100000); // the browser's start included
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

QList<Shown> tst_webshow_browser::requests(const QString& folder) const
{
    QList<Shown> result;
    for (const TestHttpServer::Request& request : m_server->requests()) {
        if (request.path.startsWith(folder))
            result.append({request.path, request.msecs});
    }
    return result;
}

QList<Shown> tst_webshow_browser::navigations(const QJsonObject& result, int window)
{
    QList<Shown> shown;
    for (const QJsonValue& value : result.value(QStringLiteral("navigations")).toArray()) {
        const QJsonObject navigation = value.toObject();
        const QString name = QUrl(navigation.value(QStringLiteral("url")).toString()).fileName();
        if (navigation.value(QStringLiteral("window")).toInt() == window && !name.isEmpty())
            shown.append({name, qint64(navigation.value(QStringLiteral("msecs")).toDouble())});
    }
    // The viewer opened the start page first.
    if (!shown.isEmpty() && shown.first().path == QStringLiteral("StrtShow.htm"))
        shown.removeFirst();
    return shown;
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

void tst_webshow_browser::hostileShowStartsByItselfAndRunsNothing()
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
    qint16 longest = 0;
    const QString page =
        modTemplate::BuildShowPage(title, 1, true, show, QString(), QString(), true, longest);
    QVERIFY(!page.isEmpty());
    m_server->setPage(QStringLiteral("/show/WebShow.htm"), page.toUtf8());

    const QJsonObject result = drive(m_server->url(QStringLiteral("/show/WebShow.htm")).toString(),
                                     "direct", {wait(4500)});
    checkClean(result);

    // The script holds the addresses exactly as published and the title is
    // text. Nobody pressed Start: every slide in order, a second apart, the first at once.
    QCOMPARE(result.value(QStringLiteral("slides")).toArray(), expected);
    QCOMPARE(result.value(QStringLiteral("sounds")).toArray(), sounds);
    QCOMPARE(result.value(QStringLiteral("title")).toString(), title);
    const QList<Shown> slides = requests(QStringLiteral("/q/"));
    checkGaps(slides, 4, 700, 1900);
    QCOMPARE(paths(slides).mid(0, 4),
             QStringList({"/q/1.html", "/q/2.html", "/q/3.html", "/q/4.html"}));
    const qint64 first = slides[0].msecs - requests(QStringLiteral("/show/WebShow.htm"))[0].msecs;
    QVERIFY2(first < 1500, qPrintable(QString::number(first)));
}

void tst_webshow_browser::dialogShowSteeredOverHttp()
{
    // A web based show: the slides' folder is relocated to the pages' own.
    const QString site = m_folder->filePath(QStringLiteral("site"));
    m_server->setPage(QStringLiteral("/snd/bell.wav"), silentWave(), "audio/wav");
    makeShow(slidesIn(site, m_server->url(QStringLiteral("/snd/bell.wav")).toString()), site, true,
             false);
    QVERIFY(!QTest::currentTestFailed());
    for (const QString& name : QDir(site).entryList(QDir::Files))
        m_server->setPage(QStringLiteral("/site/") + name,
                          fileBytes(site + QLatin1Char('/') + name));

    const QJsonObject status{{"status", true}};
    const QJsonObject result =
        drive(m_server->url(QStringLiteral("/site/StrtShow.htm")).toString(), "start",
              {wait(800), status, click("#btnStart"), wait(2600), click("#btnPause"), status,
               wait(2600), click("#btnPause"), wait(2400), click("#btnBack"), click("#btnForward"),
               wait(2400), click("#btnStop"), status, wait(2600)});
    checkClean(result);
    QCOMPARE(result.value(QStringLiteral("statuses")).toArray(),
             QJsonArray({"Press Start to begin the show.", "Paused. Press Resume to go on.",
                         "Show stopped. Press Start to begin again."}));
    // The start page opened the control window at its width; it steers the first window.
    QVERIFY(result.value(QStringLiteral("popup")).toBool());
    QCOMPARE(result.value(QStringLiteral("controlUrl")).toString(),
             m_server->url(QStringLiteral("/site/WebShow.htm")).toString());
    QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("remote"));
    const QRegularExpression width(QStringLiteral("var width = (\\d+);"));
    const QString startPage = QString::fromUtf8(fileBytes(site + QStringLiteral("/StrtShow.htm")));
    QCOMPARE(result.value(QStringLiteral("innerWidth")).toInt(),
             width.match(startPage).captured(1).toInt());

    // a and b two seconds apart; nothing while paused; on resume the full
    // pause, then d (c is skipped); Back b, Forward d, then round to a;
    // Stop brings the start page back and nothing follows.
    const QList<Shown> shown = navigations(result, 0);
    QCOMPARE(paths(shown), QStringList({"a.html", "b.html", "d.html", "b.html", "d.html", "a.html",
                                        "StrtShow.htm"}));
    checkGaps(shown, 2, 1600, 2900);
    // Paused about 2.6 s after Start, resumed 2.6 s later, d 2 s after that.
    const qint64 bd = shown[2].msecs - shown[1].msecs;
    QVERIFY2(bd >= 4700 && bd <= 7000, qPrintable(QString::number(bd)));
    QVERIFY(shown[4].msecs - shown[3].msecs < 1500);
    // The sound came with the first slide.
    QList<Shown> slides = requests(QStringLiteral("/site/"));
    slides.removeIf([](const Shown& page) { return !page.path.endsWith(QStringLiteral(".html")); });
    const QList<Shown> sounds = requests(QStringLiteral("/snd/"));
    QVERIFY(!sounds.isEmpty() && slides.size() >= 2);
    QVERIFY(sounds.first().msecs >= slides.first().msecs - 300);
    QVERIFY(sounds.first().msecs < slides[1].msecs);
}

QTEST_MAIN(tst_webshow_browser)
#include "tst_webshow_browser.moc"
