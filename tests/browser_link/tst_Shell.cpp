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
    void desktopAssociation_data()
    {
        columns<QString, Files, int, QString>("desktop", "files", "code", "expected");
        const QString a = QStringLiteral("data-home/applications/a.desktop");
        const QString b = QStringLiteral("data-dir/applications/b.desktop");
        const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nExec=");
        const QString aEntry = entry + QStringLiteral("{bin}/browser-a %U\n");
        const QString bEntry = entry + QStringLiteral("{bin}/browser-b %u\n");
        const QString defaultA = QStringLiteral("[Default Applications]\ntext/html=a.desktop\n");
        const QString defaultB = QStringLiteral("[Default Applications]\ntext/html=b.desktop\n");
        const QString configList = QStringLiteral("config-home/mimeapps.list");
        const QString dataList = QStringLiteral("data-dir/applications/mimeapps.list");
        const QString docA = QStringLiteral("{bin}/browser-a {doc}");
        const QString docB = QStringLiteral("{bin}/browser-b {doc}");

        const auto row = [](const char* tag, const Files& files, int code, const QString& expected,
                            const char* desktop = "") {
            QTest::newRow(tag) << QString(desktop) << files << code << expected;
        };
        const int found = Shell::Found;
        row("document passed", {{configList, defaultA}, {a, aEntry}}, found, docA);
        row("document quoted",
            {{configList, defaultA}, {a, entry + "{bin}/browser-a --x \"%u\"\n"}}, found,
            "{bin}/browser-a \"%1\"");
        row("program alone", {{configList, defaultA}, {a, entry + "browser-a --flag\n"}}, found,
            "{bin}/browser-a");
        row("quoted, escaped", {{configList, defaultA}, {a, entry + "\"{bin}/my\\sbrowser\" %U\n"}},
            found, "{bin}/my browser {doc}");
        row("config home before data dirs",
            {{configList, defaultA}, {dataList, defaultB}, {a, aEntry}, {b, bEntry}}, found, docA);
        row("config dirs before data home",
            {{"config-dir/mimeapps.list", defaultB},
             {"data-home/applications/mimeapps.list", defaultA},
             {a, aEntry},
             {b, bEntry}},
            found, docB);
        row("desktop's own list first",
            {{configList, defaultA},
             {"config-home/test-mimeapps.list", defaultB},
             {a, aEntry},
             {b, bEntry}},
            found, docB, "Test:Other");
        row("missing and hidden skipped",
            {{configList, "[Default Applications]\ntext/html=gone.desktop;a.desktop;b.desktop;\n"},
             {a, aEntry + "Hidden=true\n"},
             {b, bEntry}},
            found, docB);
        row("lower default before higher added",
            {{configList, "[Added Associations]\ntext/html=a.desktop\n"},
             {dataList, defaultB},
             {a, aEntry},
             {b, bEntry}},
            found, docB);
        row("removed association skipped",
            {{configList, "[Removed Associations]\ntext/html=a.desktop\n"},
             {dataList, "[Added Associations]\ntext/html=a.desktop;b.desktop\n"},
             {a, aEntry},
             {b, bEntry}},
            found, docB);
        row("applications cache last",
            {{"data-dir/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=b.desktop;\n"},
             {b, bEntry}},
            found, docB);
        row("no association", {{a, aEntry}}, Shell::NoAssociation, "");
        row("missing document", {{configList, defaultA}, {a, aEntry}}, Shell::FileNotFound, "");
        row("program not installed",
            {{configList, defaultA}, {a, entry + "/nonexistent/browser %U\n"}},
            Shell::NoAssociation, "");
    }
    void desktopAssociation()
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
        if (code != Shell::FileNotFound)
            sandbox.writeFile(QStringLiteral("app/test.htm"), QStringLiteral("<html></html>"));

        QString result = QStringLiteral("stale");
        QCOMPARE(Shell::FindExecutable(QStringLiteral("test.htm"), sandbox.root() + "/app", result),
                 code);
        QCOMPARE(result, QString(expected)
                             .replace(QStringLiteral("{bin}"), sandbox.binDir())
                             .replace(QStringLiteral("{doc}"), sandbox.root() + "/app/test.htm"));
    }

    void startProgramWithQuotedPath()
    {
        QTemporaryDir dir;
        FakeBrowser browser(dir.path() + QStringLiteral("/with blank"));
        const QString command = QLatin1Char('"') + browser.program() + QStringLiteral("\" \"") +
                                browser.profileFlag() +
                                QStringLiteral("\" http://127.0.0.1/a \"two words\"");
        VbError error;
        const qint64 pid = Shell::StartProgram(command, &error);
        QVERIFY(pid > 0);
        QTRY_COMPARE_WITH_TIMEOUT(browser.addresses(),
                                  (QStringList{"http://127.0.0.1/a", "two words"}), 5000);
        QCOMPARE(browser.instancePid(), pid);
        QCOMPARE(Shell::ProcessesOf(browser.program()), QList<qint64>{pid});

        QCOMPARE(Shell::EndStartedProcesses(browser.program()), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!Shell::IsRunning(browser.program()), 5000);
        QCOMPARE(Shell::EndStartedProcesses(browser.program()), 0);
    }

    void startFailures_data()
    {
        columns<QString, int>("program", "errorNumber");
        QTest::newRow("missing program") << "/nonexistent/folder/browser" << 53;
        QTest::newRow("empty command") << "" << 53;
        QTest::newRow("not executable") << "{plain}" << 0;
    }
    void startFailures()
    {
        QFETCH(QString, program);
        QFETCH(int, errorNumber);
        DesktopSandbox sandbox;
        sandbox.writeFile(QStringLiteral("plain"), QStringLiteral("not a program"));
        program.replace(QStringLiteral("{plain}"), sandbox.root() + QStringLiteral("/plain"));

        VbError error;
        QCOMPARE(Shell::StartProgram(QLatin1Char('"') + program + QStringLiteral("\" x"), &error),
                 0);
        QCOMPARE(error.number, errorNumber);
    }

    void browserFlags_data()
    {
        columns<QString, QString, QStringList, bool>("program", "environment", "flags",
                                                     "sandboxOffAsRoot");
        const auto row = [](const char* program, const char* environment, const QStringList& flags,
                            bool sandboxOffAsRoot) {
            QTest::newRow(program)
                << QString(program) << QString(environment) << flags << sandboxOffAsRoot;
        };
        row("chromium", "", {}, true);
        row("/opt/google/chrome/google-chrome", "", {}, true);
        row("/opt/other/browser", "", {}, false);
        row("/usr/bin/firefox", "--a \"--b=c d\"", {"--a", "--b=c d"}, false);
        row("/usr/bin/chromium", "--no-sandbox --headless=new", {"--no-sandbox", "--headless=new"},
            false);
    }
    void browserFlags()
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
};

QTEST_GUILESS_MAIN(tst_Shell)
#include "tst_Shell.moc"
