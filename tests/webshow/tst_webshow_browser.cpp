// SPDX-License-Identifier: GPL-3.0-or-later
// The web show's pages in headless Chromium, driven by js/drive.mjs as a viewer would: a page
// built directly and pages the dialog writes.
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
    /// The server's requests under the path, in order.
    Shown requests(const QString& prefix) const
    {
        Shown shown;
        for (const TestHttpServer::Request& request : m_server.requests()) {
            if (request.path.startsWith(prefix))
                shown.add(request.path, request.msecs);
        }
        return shown;
    }
    /// Ran cleanly: no script error, box or hijacked script.
    static bool clean(const QJsonObject& result)
    {
        if (result.isEmpty())
            return false;
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
        QVERIFY2(QFileInfo::exists(QStringLiteral(PW_APP_FOLDER "/NAV.txt")),
                 "the templates are not in the program folder");
        QVERIFY(m_server.listen());
    }
    void cleanupTestCase() { modMain::ResetProgramState(); }

    void hostileShowStartsByItselfAndRunsNothing()
    {
        // Addresses, a sound and a title that would break out of their string or element if
        // written as they stand.
        const QString base = m_server.url(QStringLiteral("/q/")).toString();
        const QStringList hrefs = {
            base + "1.html?x=\"</script><script>window.__pwHacked=1</script>",
            base + "2.html?y='+(window.__pwHacked=2)+'\";window.__pwHacked=2;//",
            base + "3.html?z=\\\"\r\nwindow.__pwHacked=3;//",
            base + QStringLiteral("4.html#\u2028window.__pwHacked=4;<!--"),
        };
        const QString sound = QStringLiteral("x.wav\"+(window.__pwHacked=7)+\"");
        colURLs show;
        QJsonArray expected, sounds;
        for (int i = 1; i <= 4; ++i) {
            m_server.setHtmlPage(QStringLiteral("/q/%1.html").arg(i), QStringLiteral("Q"));
            show.Add(hrefs[i - 1], sound, 0, false);
            qsizetype length = 0;
            expected.append(
                modTemplate::PublishAddress(hrefs[i - 1], QString(), QString(), &length));
            sounds.append(sound);
        }
        const QString title =
            QStringLiteral("</title><script>window.__pwHacked=5</script>"
                           "<img src=x onerror=\"window.__pwHacked=6\"> Caf\u00e9 & co");
        qint16 longest = 0;
        const QString page =
            modTemplate::BuildShowPage(title, 1, true, show, QString(), QString(), true, longest);
        m_server.setPage(QStringLiteral("/show/WebShow.htm"), page.toUtf8());

        const QJsonObject result =
            drive(QStringLiteral("/show/WebShow.htm"), "direct", {step("wait", 4500)});
        QVERIFY(clean(result));
        // The script holds the addresses exactly as published and the title is text.
        QCOMPARE(result.value(QStringLiteral("slides")).toArray(), expected);
        QCOMPARE(result.value(QStringLiteral("sounds")).toArray(), sounds);
        QCOMPARE(result.value(QStringLiteral("title")).toString(), title);
        // Nobody pressed Start: every slide in order, a second apart, the first at once.
        const Shown slides = requests(QStringLiteral("/q/"));
        QCOMPARE(slides.paths.mid(0, 4),
                 QStringList({"/q/1.html", "/q/2.html", "/q/3.html", "/q/4.html"}));
        for (int i = 1; i < 4; ++i)
            QVERIFY2(slides.gap(i) >= 700 && slides.gap(i) <= 1900,
                     qPrintable(QString::number(slides.gap(i))));
        const qint64 first = slides.msecs[0] - requests(QStringLiteral("/show/")).msecs[0];
        QVERIFY2(first < 1500, qPrintable(QString::number(first)));
    }

    void dialogShowSteeredOverHttp()
    {
        // Four slide pages, the third skipped, a sound with the first.
        const QString site = m_folder.filePath(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        m_server.setPage(QStringLiteral("/snd/bell.wav"), silentWave(), "audio/wav");
        colURLs show;
        show.TrayFilename = QStringLiteral("/shows/Garden.txt");
        for (const char* name : {"a", "b", "c", "d"}) {
            const QString file = site + '/' + name + QStringLiteral(".html");
            writeFile(file,
                      QByteArray("<!DOCTYPE html><title>Slide ") + name + "</title><p>" + name);
            show.Add(file,
                     *name == 'a' ? m_server.url(QStringLiteral("/snd/bell.wav")).toString()
                                  : QString(),
                     0, *name == 'c');
        }
        // Made through the dialog as a web based show: the slides' folder is relocated to the
        // pages' own.
        COptions options;
        frmWebShow window(show, options, false);
        window.show();
        window.findChild<QRadioButton*>("optShowType1")->click();
        window.findChild<QLineEdit*>("txtPathLcl")->setText(site + '/');
        window.findChild<QLineEdit*>("txtPath")->setText(site);
        window.findChild<QLineEdit*>("txtTitle")->setText(QStringLiteral("Garden"));
        window.findChild<QComboBox*>("cboReloadInterval")->setEditText(QStringLiteral(" 2 sec"));
        window.findChild<QCheckBox*>("chkAutoStart")->setChecked(false);
        window.findChild<QCheckBox*>("chkUseSnd")->setChecked(true);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(m_prompts.texts().size(), 1);
        QCOMPARE(m_prompts.shown().first().title, QStringLiteral("Show Created"));
        for (const QString& name : QDir(site).entryList(QDir::Files))
            m_server.setPage("/site/" + name, fileBytes(site + '/' + name));

        const QJsonObject status = step("status", true);
        const auto click = [](const char* id) { return step("click", id); };
        const auto wait = [](int ms) { return step("wait", ms); };
        const QJsonObject result =
            drive(QStringLiteral("/site/StrtShow.htm"), "start",
                  {wait(800), status, click("#btnStart"), wait(2600), click("#btnPause"), status,
                   wait(2600), click("#btnPause"), wait(2400), click("#btnBack"),
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
        Shown shown;
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
        Shown slides;
        const Shown all = requests(QStringLiteral("/site/"));
        for (int i = 0; i < all.paths.size(); ++i) {
            if (all.paths[i].endsWith(QStringLiteral(".html")))
                slides.add(all.paths[i], all.msecs[i]);
        }
        const Shown sounds = requests(QStringLiteral("/snd/"));
        QVERIFY(!sounds.paths.isEmpty() && slides.paths.size() >= 2);
        QVERIFY(sounds.msecs[0] >= slides.msecs[0] - 300 && sounds.msecs[0] < slides.msecs[1]);
    }
};

QTEST_MAIN(tst_webshow_browser)
#include "tst_webshow_browser.moc"
