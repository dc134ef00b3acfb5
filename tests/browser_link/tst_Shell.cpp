// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserTestKit.h"
#include "platform/Shell.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

using Files = QMap<QString, QString>;

class tst_Shell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void desktopAssociation_data();
    void desktopAssociation();
    void missingDocument();
    void startProgramWithQuotedPath();
    void startFailures_data();
    void startFailures();
    void browserFlags_data();
    void browserFlags();
};

void tst_Shell::desktopAssociation_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<Files>("files");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");

    const QString a = QStringLiteral("data-home/applications/a.desktop");
    const QString b = QStringLiteral("data-dir/applications/b.desktop");
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nExec=");
    const QString aEntry = entry + QStringLiteral("{bin}/browser-a %U\n");
    const QString bEntry = entry + QStringLiteral("{bin}/browser-b %u\n");
    const QString defaultA = QStringLiteral("[Default Applications]\ntext/html=a.desktop\n");
    const QString defaultB = QStringLiteral("[Default Applications]\ntext/html=b.desktop\n");
    const QString configList = QStringLiteral("config-home/mimeapps.list");
    const QString docA = QStringLiteral("{bin}/browser-a {doc}");
    const QString docB = QStringLiteral("{bin}/browser-b {doc}");

    QTest::newRow("document passed")
        << "" << Files{{configList, defaultA}, {a, aEntry}} << int(Shell::Found) << docA;
    QTest::newRow("document quoted")
        << "" << Files{{configList, defaultA}, {a, entry + "{bin}/browser-a --x \"%u\"\n"}}
        << int(Shell::Found) << "{bin}/browser-a \"%1\"";
    QTest::newRow("program alone, other words dropped")
        << "" << Files{{configList, defaultA}, {a, entry + "{bin}/browser-a --flag\n"}}
        << int(Shell::Found) << "{bin}/browser-a";
    QTest::newRow("program found on PATH")
        << "" << Files{{configList, defaultA}, {a, entry + "browser-a %f\n"}} << int(Shell::Found)
        << docA;
    QTest::newRow("quoted program with a blank")
        << "" << Files{{configList, defaultA}, {a, entry + "\"{bin}/my browser\" %U\n"}}
        << int(Shell::Found) << "{bin}/my browser {doc}";
    QTest::newRow("escapes before quoting")
        << "" << Files{{configList, defaultA}, {a, entry + "\"{bin}/my\\sbrowser\" %U\n"}}
        << int(Shell::Found) << "{bin}/my browser {doc}";
    QTest::newRow("config home before data dirs")
        << ""
        << Files{{configList, defaultA},
                 {"data-dir/applications/mimeapps.list", defaultB},
                 {a, aEntry},
                 {b, bEntry}}
        << int(Shell::Found) << docA;
    QTest::newRow("config dirs before data home")
        << ""
        << Files{{"config-dir/mimeapps.list", defaultB},
                 {"data-home/applications/mimeapps.list", defaultA},
                 {a, aEntry},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("desktop's own list first") << "Test:Other"
                                              << Files{{configList, defaultA},
                                                       {"config-home/test-mimeapps.list", defaultB},
                                                       {a, aEntry},
                                                       {b, bEntry}}
                                              << int(Shell::Found) << docB;
    QTest::newRow("missing entry skipped")
        << ""
        << Files{{configList, "[Default Applications]\ntext/html=gone.desktop;b.desktop;\n"},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("hidden entry skipped")
        << ""
        << Files{{configList, "[Default Applications]\ntext/html=a.desktop;b.desktop\n"},
                 {a, aEntry + "Hidden=true\n"},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("added association without default")
        << "" << Files{{configList, "[Added Associations]\ntext/html=a.desktop\n"}, {a, aEntry}}
        << int(Shell::Found) << docA;
    QTest::newRow("default of a lower list before added of a higher")
        << ""
        << Files{{configList, "[Added Associations]\ntext/html=a.desktop\n"},
                 {"data-dir/applications/mimeapps.list", defaultB},
                 {a, aEntry},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("removed association skipped")
        << ""
        << Files{{configList, "[Removed Associations]\ntext/html=a.desktop\n"},
                 {"data-dir/applications/mimeapps.list",
                  "[Added Associations]\ntext/html=a.desktop;b.desktop\n"},
                 {a, aEntry},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("applications cache last")
        << ""
        << Files{{"data-dir/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=b.desktop;\n"},
                 {b, bEntry}}
        << int(Shell::Found) << docB;
    QTest::newRow("no association") << "" << Files{{a, aEntry}} << int(Shell::NoAssociation) << "";
    QTest::newRow("program not installed")
        << "" << Files{{configList, defaultA}, {a, entry + "/nonexistent/browser %U\n"}}
        << int(Shell::NoAssociation) << "";
}

void tst_Shell::desktopAssociation()
{
    QFETCH(QString, desktop);
    QFETCH(Files, files);
    QFETCH(int, code);
    QFETCH(QString, expected);

    DesktopSandbox sandbox;
    if (!desktop.isEmpty())
        sandbox.environment().set("XDG_CURRENT_DESKTOP", desktop);
    sandbox.addProgram(QStringLiteral("browser-a"));
    sandbox.addProgram(QStringLiteral("browser-b"));
    sandbox.addProgram(QStringLiteral("my browser"));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        sandbox.writeFile(it.key(), it.value());
    sandbox.writeFile(QStringLiteral("app/test.htm"), QStringLiteral("<html></html>"));

    QString result = QStringLiteral("stale");
    QCOMPARE(Shell::FindExecutable(QStringLiteral("test.htm"), sandbox.root() + "/app", result),
             code);
    QCOMPARE(result, QString(expected)
                         .replace(QStringLiteral("{bin}"), sandbox.binDir())
                         .replace(QStringLiteral("{doc}"), sandbox.root() + "/app/test.htm"));
}

void tst_Shell::missingDocument()
{
    DesktopSandbox sandbox;
    sandbox.setDefaultBrowser(sandbox.addProgram(QStringLiteral("browser-a")),
                              QStringLiteral("%U"));
    QString result;
    QCOMPARE(Shell::FindExecutable(QStringLiteral("test.htm"), sandbox.root(), result),
             Shell::FileNotFound);
    QVERIFY(result.isEmpty());
}

void tst_Shell::startProgramWithQuotedPath()
{
    QTemporaryDir dir;
    FakeBrowser browser(dir.path() + QStringLiteral("/with blank"));
    const QString command = QLatin1Char('"') + browser.program() + QStringLiteral("\" \"") +
                            browser.profileFlag() +
                            QStringLiteral("\" http://127.0.0.1/a \"two words\"");
    VbError error;
    const qint64 pid = Shell::StartProgram(command, &error);
    QVERIFY(pid > 0);
    QVERIFY(!error.isError());
    QTRY_COMPARE_WITH_TIMEOUT(browser.addresses(), (QStringList{"http://127.0.0.1/a", "two words"}),
                              5000);
    QCOMPARE(browser.instancePid(), pid);
    QCOMPARE(Shell::ProcessesOf(browser.program()), QList<qint64>{pid});
    QVERIFY(Shell::IsRunning(browser.program()));

    QCOMPARE(Shell::EndStartedProcesses(browser.program()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!Shell::IsRunning(browser.program()), 5000);
    QCOMPARE(Shell::EndStartedProcesses(browser.program()), 0);
}

void tst_Shell::startFailures_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("errorNumber");

    QTest::newRow("missing program") << "/nonexistent/folder/browser" << 53;
    QTest::newRow("missing on PATH") << "no-such-browser-here" << 53;
    QTest::newRow("empty command") << "" << 53;
    QTest::newRow("not executable") << "{plain}" << 0;
}

void tst_Shell::startFailures()
{
    QFETCH(QString, program);
    QFETCH(int, errorNumber);

    DesktopSandbox sandbox;
    sandbox.writeFile(QStringLiteral("plain"), QStringLiteral("not a program"));
    program.replace(QStringLiteral("{plain}"), sandbox.root() + QStringLiteral("/plain"));

    VbError error;
    QCOMPARE(Shell::StartProgram(QLatin1Char('"') + program + QStringLiteral("\" x"), &error), 0);
    QCOMPARE(error.number, errorNumber);
}

void tst_Shell::browserFlags_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("sandboxOffAsRoot");

    QTest::newRow("chromium") << "chromium"
                              << "" << QStringList() << true;
    QTest::newRow("chrome by path") << "/opt/google/chrome/google-chrome"
                                    << "" << QStringList() << true;
    QTest::newRow("firefox") << "/usr/bin/firefox-esr"
                             << "" << QStringList() << false;
    QTest::newRow("other") << "/opt/other/browser"
                           << "" << QStringList() << false;
    QTest::newRow("flags from the environment")
        << "/usr/bin/firefox"
        << "--a \"--b=c d\"" << QStringList{"--a", "--b=c d"} << false;
    QTest::newRow("sandbox flag given once")
        << "chromium"
        << "--no-sandbox --headless=new" << QStringList{"--no-sandbox", "--headless=new"} << false;
}

void tst_Shell::browserFlags()
{
    QFETCH(QString, program);
    QFETCH(QString, environment);
    QFETCH(QStringList, flags);
    QFETCH(bool, sandboxOffAsRoot);

    EnvironmentGuard guard;
    guard.set("PAGEWHEEL_BROWSER_FLAGS", environment);
    if (sandboxOffAsRoot && ::geteuid() == 0)
        flags.append(QStringLiteral("--no-sandbox"));
    QCOMPARE(Shell::browserFlags(program), flags);
}

QTEST_GUILESS_MAIN(tst_Shell)
#include "tst_Shell.moc"
