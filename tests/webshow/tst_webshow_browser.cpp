// SPDX-License-Identifier: GPL-3.0-or-later
// The web show's pages the dialog writes, in headless Chromium driven by js/drive.mjs as a
// viewer would: a show page that starts by itself, then pages steered by their buttons.
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "tests/support/TestHttpServer.h"
#include "webshow/frmWebShow.h"
#include "webshow/modTemplate.h"
#include "TestFiles.h"

#include <QtWidgets>
#include <QTest>

namespace {

/// Pages the browser fetched or showed, with their times (ms).
struct Shown
{
    QStringList paths;
    QList<qint64> msecs;
    void add(const QString& path, qint64 at)
    {
        paths.append(path);
        msecs.append(at);
    }
    qint64 gap(int i) const { return msecs.at(i) - msecs.at(i - 1); }
};

QJsonObject step(const char* kind, const QJsonValue& value)
{
    return {{QLatin1String(kind), value}};
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

    QString m_node;
    QTemporaryDir m_folder;
    TestHttpServer m_server;
    ScriptedPrompts m_prompts;

    /// Runs one scenario ("start": through the start page's button, "direct": the show page).
    QJsonObject drive(const QString& path, const char* open, const QJsonArray& steps)
    {
        const QString scenario = m_folder.filePath(QStringLiteral("scenario.json"));
        writeFile(scenario, QJsonDocument(QJsonObject{{"url", m_server.url(path).toString()},
                                                      {"open", open},
                                                      {"steps", steps}})
                                .toJson());
        QProcess node;
        node.setWorkingDirectory(QStringLiteral(PW_WEBSHOW_JS));
        QEventLoop loop;
        connect(&node, &QProcess::finished, &loop, &QEventLoop::quit);
        connect(&node, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(100000, &loop, &QEventLoop::quit); // the browser's start included
        node.start(m_node, {QStringLiteral(PW_WEBSHOW_JS "/drive.mjs"), scenario});
        // The server answers the browser from this loop.
        loop.exec();
        if (node.state() != QProcess::NotRunning) {
            node.kill();
            node.waitForFinished(5000);
            qWarning("the browser scenario did not finish in time");
        }
        if (const QByteArray errors = node.readAllStandardError(); !errors.isEmpty())
            qInfo("drive.mjs: %s", errors.constData());
        return QJsonDocument::fromJson(node.readAllStandardOutput().trimmed().split('\n').last())
            .object();
    }
    /// The server's requests of slide pages from the given one on, in order.
    Shown slideRequests(qsizetype from) const
    {
        static const QRegularExpression slide(QStringLiteral("^/site/[a-d]\\.html$"));
        Shown shown;
        for (const TestHttpServer::Request& request : m_server.requests().mid(from)) {
            if (slide.match(request.path).hasMatch())
                shown.add(request.path, request.msecs);
        }
        return shown;
    }
    /// Ran cleanly: no script error, box or hijacked script.
    static bool clean(const QJsonObject& result)
    {
        qInfo("%s", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        return !result.isEmpty() && !result.contains(QStringLiteral("error")) &&
               result.value(QStringLiteral("pageErrors")).toArray().isEmpty() &&
               result.value(QStringLiteral("dialogs")).toArray().isEmpty() &&
               result.value(QStringLiteral("hacked")).toArray().isEmpty();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_node = QStandardPaths::findExecutable(QStringLiteral("node"));
        QVERIFY2(!m_node.isEmpty(), "node is not installed (scripts/install-deps.sh)");
        QVERIFY2(QFileInfo::exists(QStringLiteral(PW_SOURCE_DIR "/node_modules/playwright-core")),
                 "playwright-core is missing: scripts/install-deps.sh installs it (npm ci)");
        const QByteArray chromium = qgetenv("PW_CHROMIUM");
        QVERIFY2(QFileInfo::exists(chromium.isEmpty() ? QStringLiteral("/usr/bin/chromium")
                                                      : QString::fromLocal8Bit(chromium)),
                 "Chromium is not installed");
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        QVERIFY(m_server.listen());
    }
    void cleanupTestCase() { modMain::ResetProgramState(); }

    void dialogShowsPlayAndRunNothing()
    {
        // Four slide pages, the third skipped, a sound with the first. Their addresses, the
        // sound and the title would break out of their string or element if written as they
        // stand.
        const QString site = m_folder.filePath(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        m_server.setPage(QStringLiteral("/snd/bell.wav"), silentWave(), "audio/wav");
        const QStringList tails = {"?x=\"</script><script>window.__pwHacked=1</script>",
                                   "?y='+(window.__pwHacked=2)+'\";window.__pwHacked=2;//",
                                   "?z=\\\"\r\nwindow.__pwHacked=3;//",
                                   QStringLiteral("#\u2028window.__pwHacked=4;<!--")};
        const QString sound = m_server.url(QStringLiteral("/snd/bell.wav")).toString() +
                              "?\"+(window.__pwHacked=7)+\"";
        const QString title =
            QStringLiteral("</title><script>window.__pwHacked=5</script>"
                           "<img src=x onerror=\"window.__pwHacked=6\"> Caf\u00e9 & co");
        colURLs show;
        show.TrayFilename = QStringLiteral("/shows/Garden.txt");
        QJsonArray slides, sounds;
        for (int i = 0; i < 4; ++i) {
            const QString file = site + '/' + QChar(u'a' + i) + ".html";
            writeFile(file, "<!DOCTYPE html><title>Slide</title><p>" + file.toUtf8());
            show.Add(file + tails[i], i == 0 ? sound : QString(), 0, i == 2);
            qsizetype length = 0;
            slides.append(i == 2 ? QString()
                                 : modTemplate::PublishAddress(file + tails[i], site + '/',
                                                               QString(), &length));
            sounds.append(i == 0 ? sound : QString());
        }
        // Made through the dialog as a web based show, the slides' folder relocated to the
        // pages' own: first a show page that starts by itself, then pages the viewer starts.
        COptions options;
        frmWebShow window(show, options, false);
        window.show();
        window.findChild<QRadioButton*>("optShowType1")->click();
        const auto edit = [&window](const char* name, const QString& text) {
            window.findChild<QLineEdit*>(name)->setText(text);
        };
        edit("txtPathLcl", site + '/');
        edit("txtPath", site);
        edit("txtTitle", title);
        window.findChild<QComboBox*>("cboReloadInterval")->setEditText(QStringLiteral(" 2 sec"));
        window.findChild<QCheckBox*>("chkUseSnd")->setChecked(true);
        for (const bool autoStart : {true, false}) {
            window.findChild<QCheckBox*>("chkAutoStart")->setChecked(autoStart);
            edit("txtShowFile", autoStart ? "AutoShow.htm" : "WebShow.htm");
            edit("txtStartFile", autoStart ? "AutoStart.htm" : "StrtShow.htm");
            QTest::mouseClick(window.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        }
        QCOMPARE(m_prompts.shown().size(), 2);
        QCOMPARE(m_prompts.shown().last().title, QStringLiteral("Show Created"));
        for (const QString& name : QDir(site).entryList(QDir::Files))
            m_server.setPage("/site/" + name, fileBytes(site + '/' + name));

        QJsonObject result =
            drive(QStringLiteral("/site/AutoShow.htm"), "direct", {step("wait", 4500)});
        QVERIFY(clean(result));
        // The script holds the addresses exactly as published and the title is text.
        QCOMPARE(result.value(QStringLiteral("slides")).toArray(), slides);
        QCOMPARE(result.value(QStringLiteral("sounds")).toArray(), sounds);
        QCOMPARE(result.value(QStringLiteral("title")).toString(), title);
        // Nobody pressed Start: the slides in order, two seconds apart, the first at once.
        Shown shown = slideRequests(0);
        QCOMPARE(shown.paths.mid(0, 3),
                 QStringList({"/site/a.html", "/site/b.html", "/site/d.html"}));
        for (int i = 1; i < 3; ++i)
            QVERIFY2(shown.gap(i) >= 1600 && shown.gap(i) <= 2900,
                     qPrintable(QString::number(shown.gap(i))));
        qint64 page = 0;
        for (const TestHttpServer::Request& request : m_server.requests())
            page = request.path == QStringLiteral("/site/AutoShow.htm") ? request.msecs : page;
        QVERIFY2(shown.msecs[0] - page < 1500, qPrintable(QString::number(shown.msecs[0] - page)));

        const qsizetype before = m_server.requests().size();
        const QJsonObject status = step("status", true);
        const auto click = [](const char* id) { return step("click", id); };
        const auto wait = [](int ms) { return step("wait", ms); };
        result = drive(QStringLiteral("/site/StrtShow.htm"), "start",
                       {wait(800), status, click("#btnStart"), wait(2600), click("#btnPause"),
                        status, wait(2600), click("#btnPause"), wait(2400), click("#btnBack"),
                        click("#btnForward"), wait(2400), click("#btnStop"), status, wait(2600)});
        QVERIFY(clean(result));
        QCOMPARE(result.value(QStringLiteral("statuses")).toArray(),
                 QJsonArray({"Press Start to begin the show.", "Paused. Press Resume to go on.",
                             "Show stopped. Press Start to begin again."}));
        // The start page opened the control window at its width; it steers the first window.
        QVERIFY(result.value(QStringLiteral("popup")).toBool());
        QCOMPARE(result.value(QStringLiteral("controlUrl")).toString(),
                 m_server.url(QStringLiteral("/site/WebShow.htm")).toString());
        QCOMPARE(result.value(QStringLiteral("mode")).toString(), QStringLiteral("remote"));
        const QRegularExpression width(QStringLiteral("var width = (\\d+);"));
        QCOMPARE(result.value(QStringLiteral("innerWidth")).toInt(),
                 width.match(QString::fromUtf8(fileBytes(site + QStringLiteral("/StrtShow.htm"))))
                     .captured(1)
                     .toInt());

        // a and b two seconds apart; nothing while paused; on resume the full pause, then d (c
        // is skipped); Back b, Forward d, then round to a; Stop brings the start page back.
        shown = {};
        for (const QJsonValue& value : result.value(QStringLiteral("navigations")).toArray()) {
            const QJsonObject navigation = value.toObject();
            const QString name =
                QUrl(navigation.value(QStringLiteral("url")).toString()).fileName();
            if (navigation.value(QStringLiteral("window")).toInt() == 0 && !name.isEmpty() &&
                !(shown.paths.isEmpty() && name == QStringLiteral("StrtShow.htm")))
                shown.add(name, qint64(navigation.value(QStringLiteral("msecs")).toDouble()));
        }
        QCOMPARE(shown.paths, QStringList({"a.html", "b.html", "d.html", "b.html", "d.html",
                                           "a.html", "StrtShow.htm"}));
        QVERIFY2(shown.gap(1) >= 1600 && shown.gap(1) <= 2900,
                 qPrintable(QString::number(shown.gap(1))));
        // Paused about 2.6 s after Start, resumed 2.6 s later, d 2 s after that.
        QVERIFY2(shown.gap(2) >= 4700 && shown.gap(2) <= 7000,
                 qPrintable(QString::number(shown.gap(2))));
        QVERIFY(shown.gap(4) < 1500);
        // The sound came with the first slide.
        const Shown played = slideRequests(before);
        qint64 sounded = -1;
        for (const TestHttpServer::Request& request : m_server.requests().mid(before))
            sounded = sounded < 0 && request.path.startsWith("/snd/") ? request.msecs : sounded;
        QVERIFY(played.paths.size() >= 2);
        QVERIFY2(sounded >= played.msecs[0] - 300 && sounded < played.msecs[1],
                 qPrintable(QString::number(sounded)));
    }
};

QTEST_MAIN(tst_webshow_browser)
#include "tst_webshow_browser.moc"
