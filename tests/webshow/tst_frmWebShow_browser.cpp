// SPDX-License-Identifier: GPL-3.0-or-later
// The pages the web show dialog makes, at work in headless Chromium over
// HTTP and from the disk, with the show page's buttons pressed.
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "tests/support/TestHttpServer.h"
#include "webshow/frmWebShow.h"
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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct Shown
{
    QString name; ///< the page's file name
    qint64 msecs = 0;
};

} // namespace

class tst_frmWebShow_browser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void buttonsSteerTheShowOverHttp();
    void autoStartRunsFromTheDisk();

private:
    /// Four slide pages in the folder, the third skipped in the show.
    colURLs slidesIn(const QString& folder);
    /// Makes the show through the dialog into the folder.
    void makeShow(const colURLs& show, const QString& folder, bool web, bool autoStart);
    QJsonObject drive(const QString& url, const QJsonArray& steps);
    /// The slide window's pages after the start page, with their times.
    static QList<Shown> slideWindow(const QJsonObject& result);
    static void checkClean(const QJsonObject& result);

    QString m_node;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_frmWebShow_browser::initTestCase()
{
    m_node = QStandardPaths::findExecutable(QStringLiteral("node"));
    QVERIFY2(!m_node.isEmpty(), "node is not installed (scripts/install-deps.sh installs it)");
    QVERIFY2(QFileInfo::exists(QStringLiteral(PW_SOURCE_DIR "/node_modules/playwright-core")),
             "playwright-core is missing: scripts/install-deps.sh installs it (npm ci)");
}

void tst_frmWebShow_browser::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
    modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
}

void tst_frmWebShow_browser::cleanup()
{
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

colURLs tst_frmWebShow_browser::slidesIn(const QString& folder)
{
    colURLs show;
    show.TrayFilename = QStringLiteral("/shows/Garden.txt");
    QDir().mkpath(folder);
    for (const char* name : {"a", "b", "c", "d"}) {
        const QString file =
            folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".html");
        writeFile(file,
                  QByteArray("<!DOCTYPE html><title>Slide ") + name + "</title><p>Slide " + name);
        show.Add(file, QString(), 0, name[0] == 'c');
    }
    return show;
}

void tst_frmWebShow_browser::makeShow(const colURLs& show, const QString& folder, bool web,
                                      bool autoStart)
{
    COptions options;
    frmWebShow window(show, options, false);
    window.show();
    window
        .findChild<QRadioButton*>(web ? QStringLiteral("optShowType1")
                                      : QStringLiteral("optShowType0"))
        ->click();
    // On the web the slides sit beside the pages: their folder goes.
    window.findChild<QLineEdit*>(QStringLiteral("txtPathLcl"))->setText(folder + QLatin1Char('/'));
    window.findChild<QLineEdit*>(QStringLiteral("txtPath"))->setText(folder);
    window.findChild<QLineEdit*>(QStringLiteral("txtTitle"))->setText(QStringLiteral("Garden"));
    window.findChild<QComboBox*>(QStringLiteral("cboReloadInterval"))
        ->setEditText(QStringLiteral(" 2 sec"));
    window.findChild<QCheckBox*>(QStringLiteral("chkAutoStart"))->setChecked(autoStart);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(m_prompts->shown().size(), 1);
    QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Show Created"));
}

QJsonObject tst_frmWebShow_browser::drive(const QString& url, const QJsonArray& steps)
{
    const QString scenarioFile = m_folder->filePath(QStringLiteral("scenario.json"));
    QFile file(scenarioFile);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(
        QJsonDocument(QJsonObject{{"url", url}, {"open", "start"}, {"steps", steps}}).toJson());
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
    limit.start(100000);
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

QList<Shown> tst_frmWebShow_browser::slideWindow(const QJsonObject& result)
{
    QList<Shown> shown;
    for (const QJsonValue& value : result.value(QStringLiteral("navigations")).toArray()) {
        const QJsonObject navigation = value.toObject();
        if (navigation.value(QStringLiteral("window")).toInt() != 0)
            continue;
        const QString name = QUrl(navigation.value(QStringLiteral("url")).toString()).fileName();
        shown.append({name, qint64(navigation.value(QStringLiteral("msecs")).toDouble())});
    }
    // The viewer opened the start page first.
    if (!shown.isEmpty() && shown.first().name == QStringLiteral("StrtShow.htm"))
        shown.removeFirst();
    return shown;
}

void tst_frmWebShow_browser::checkClean(const QJsonObject& result)
{
    QVERIFY2(!result.isEmpty(), "no result from the browser");
    QVERIFY2(!result.contains(QStringLiteral("error")),
             qPrintable(result.value(QStringLiteral("error")).toString()));
    QCOMPARE(result.value(QStringLiteral("pageErrors")).toArray(), QJsonArray());
    QCOMPARE(result.value(QStringLiteral("dialogs")).toArray(), QJsonArray());
    QVERIFY(result.value(QStringLiteral("popup")).toBool());
}

void tst_frmWebShow_browser::buttonsSteerTheShowOverHttp()
{
    // A web based show: the slides' folder is relocated to the pages' own.
    const QString site = m_folder->filePath(QStringLiteral("site"));
    makeShow(slidesIn(site), site, true, false);
    QVERIFY(!QTest::currentTestFailed());
    TestHttpServer server;
    QVERIFY(server.listen());
    for (const QString& name : QDir(site).entryList(QDir::Files))
        server.setPage(QStringLiteral("/site/") + name, fileBytes(site + QLatin1Char('/') + name));

    const auto click = [](const char* id) { return QJsonObject{{"click", id}}; };
    const auto wait = [](int ms) { return QJsonObject{{"wait", ms}}; };
    const QJsonObject status{{"status", true}};
    const QJsonObject result =
        drive(server.url(QStringLiteral("/site/StrtShow.htm")).toString(),
              {wait(800), status, click("#btnStart"), wait(2600), click("#btnPause"), status,
               wait(2600), click("#btnPause"), wait(2400), click("#btnBack"), click("#btnForward"),
               click("#btnStop"), status, wait(2600)});
    checkClean(result);
    QCOMPARE(result.value(QStringLiteral("statuses")).toArray(),
             QJsonArray({"Press Start to begin the show.", "Paused. Press Resume to go on.",
                         "Show stopped. Press Start to begin again."}));

    // a and b two seconds apart; nothing while paused; on resume the full
    // pause, then d (c is skipped); Back b, Forward d; Stop brings the
    // start page back and nothing follows.
    const QList<Shown> shown = slideWindow(result);
    QStringList names;
    for (const Shown& page : shown)
        names.append(page.name);
    QCOMPARE(names,
             QStringList({"a.html", "b.html", "d.html", "b.html", "d.html", "StrtShow.htm"}));
    const qint64 ab = shown[1].msecs - shown[0].msecs;
    QVERIFY2(ab >= 1600 && ab <= 2900, qPrintable(QString::number(ab)));
    // Paused about 2.6 s after Start, resumed 2.6 s later, d 2 s after that.
    const qint64 bd = shown[2].msecs - shown[1].msecs;
    QVERIFY2(bd >= 4700 && bd <= 7000, qPrintable(QString::number(bd)));
    QVERIFY(shown[5].msecs - shown[3].msecs < 1500);
}

void tst_frmWebShow_browser::autoStartRunsFromTheDisk()
{
    const QString pages = m_folder->filePath(QStringLiteral("pages"));
    QVERIFY(QDir().mkpath(pages));
    makeShow(slidesIn(m_folder->filePath(QStringLiteral("slides"))), pages, false, true);
    QVERIFY(!QTest::currentTestFailed());

    const QJsonObject result =
        drive(QUrl::fromLocalFile(pages + QStringLiteral("/StrtShow.htm")).toString(),
              {QJsonObject{{"wait", 5000}}});
    checkClean(result);
    const QList<Shown> shown = slideWindow(result);
    QVERIFY(shown.size() >= 3);
    QCOMPARE(QStringList({shown[0].name, shown[1].name, shown[2].name}),
             QStringList({"a.html", "b.html", "d.html"}));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = shown[i].msecs - shown[i - 1].msecs;
        QVERIFY2(gap >= 1600 && gap <= 2900, qPrintable(QString::number(gap)));
    }
}

QTEST_MAIN(tst_frmWebShow_browser)
#include "tst_frmWebShow_browser.moc"
