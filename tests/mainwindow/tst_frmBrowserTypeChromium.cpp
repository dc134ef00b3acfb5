// SPDX-License-Identifier: GPL-3.0-or-later
// Options > Browser in a running main window with the real Chromium: from
// the remote-open line to automation. OK closes the old browser, starts
// the new one, and the next slide goes through the new one.
#include "MainWindowRig.h"
#include "browser/BrowserConnection.h"
#include "mainwindow/frmMain.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The browser processes (not their helpers) started with this settings
/// folder; automation ones when asked, else the remote-open ones.
QList<qint64> browsersOf(const QByteArray& configHome, bool automation)
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        const QByteArray environment = fileBytes(QStringLiteral("/proc/%1/environ").arg(pid));
        const QByteArray commandLine = fileBytes(QStringLiteral("/proc/%1/cmdline").arg(pid));
        const QByteArray stat = fileBytes(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z" || commandLine.contains("--type=") ||
            commandLine.contains("crashpad") ||
            !environment.contains(QByteArray("XDG_CONFIG_HOME=" + configHome + '\0')) ||
            !commandLine.contains("chrom"))
            continue;
        if (commandLine.contains("--remote-debugging-pipe") == automation)
            found.append(pid);
    }
    return found;
}

} // namespace

class tst_frmBrowserTypeChromium : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void remoteOpenToAutomation();
};

void tst_frmBrowserTypeChromium::remoteOpenToAutomation()
{
    QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
             "no Chromium-family browser on PATH");
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "remote-open needs a display");
    TestHttpServer server;
    QVERIFY(server.listen());
    server.setHtmlPage(QStringLiteral("/one.html"), QStringLiteral("One"));
    server.setHtmlPage(QStringLiteral("/two.html"), QStringLiteral("Two"));

    MainWindowRig rig;
    const QByteArray configHome = rig.config.path().toUtf8();
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", rig.files.filePath(QStringLiteral("data")).toUtf8());
    COptions options = rig.options();
    options.AutoMode = 0;
    const QPointer<frmMain> window = rig.openOnOwnBrowser(options);
    BrowserConnection& connection = window->browserConnection();
    QVERIFY(connection.UseDDE);

    auto* box = window->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    const auto send = [box](const QUrl& address) {
        box->setEditText(address.toString());
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    };
    send(server.url(QStringLiteral("/one.html")));
    QTRY_COMPARE_WITH_TIMEOUT(server.requestCount(QStringLiteral("/one.html")), 1, 30000);
    const QList<qint64> remoteOpen = browsersOf(configHome, false);
    QVERIFY(!remoteOpen.isEmpty());

    // The user picks the automation choice and confirms.
    rig.prompts.answer(1);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QStringLiteral("frmBrowserType"));
        dialog->findChild<QRadioButton*>(QStringLiteral("optBrowser2"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    MainWindowRig::action(window, QStringLiteral("mnuOptionsBrowser"))->trigger();
    QCOMPARE(rig.boxes(), QStringList{QStringLiteral("Reseting to new browser.")});
    QVERIFY(connection.UseOLE && !connection.UseDDE);
    QCOMPARE(window->Options().AutoMode, qint16(2));
    QVERIFY(window->Options().Changed);
    QVERIFY(connection.instance());
    QTRY_VERIFY_WITH_TIMEOUT(browsersOf(configHome, false).isEmpty(), 10000);

    send(server.url(QStringLiteral("/two.html")));
    QTRY_COMPARE_WITH_TIMEOUT(connection.instance()->LocationURL(),
                              server.url(QStringLiteral("/two.html")).toString(), 30000);
    QCOMPARE(server.requestCount(QStringLiteral("/two.html")), 1);
    QVERIFY(!browsersOf(configHome, true).isEmpty());

    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(browsersOf(configHome, true).isEmpty(), 10000);
    qputenv("XDG_DATA_HOME", oldDataHome);
}

QTEST_MAIN(tst_frmBrowserTypeChromium)
#include "tst_frmBrowserTypeChromium.moc"
