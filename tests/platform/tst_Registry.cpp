// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Registry::Root;

class tst_Registry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void storeLivesUnderConfigHome();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void allSettingsAndDelete();
    void appsHaveFilesOfTheirOwn();
    void handEditedValues();
    void machineKeys();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_bin;
};

void tst_Registry::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
}

void tst_Registry::storeLivesUnderConfigHome()
{
    QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                                  QStringLiteral("ToolTips"), QStringLiteral("False")));
    const QString file = Registry::settingsFile(QStringLiteral("Pagewheel"));
    QCOMPARE(file, m_home.path() + QStringLiteral("/Pagewheel/Pagewheel.ini"));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.contains("[Options]"));
    QVERIFY(text.contains("ToolTips=False"));
}

void tst_Registry::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("path") << QStringLiteral("/home/me/shows/Demo Show.txt");
    QTest::newRow("commas") << QStringLiteral("a, b,c");
    QTest::newRow("quotes and backslashes") << QStringLiteral("say \"hi\" C:\\x\\");
    QTest::newRow("leading at sign") << QStringLiteral("@Variant(x)");
    QTest::newRow("blanks around") << QStringLiteral("  padded  ");
    QTest::newRow("non-ASCII") << QStringLiteral("Gr\u00fc\u00dfe \u20ac \u65e5\u672c");
    QTest::newRow("semicolon and equals") << QStringLiteral("k=v; #not a comment");
    QTest::newRow("empty") << QString();
}

void tst_Registry::valuesRoundTrip()
{
    QFETCH(QString, value);
    const QString app = QStringLiteral("Pagewheel");
    QVERIFY(Registry::SaveSetting(app, QStringLiteral("Settings"), QStringLiteral("Value"), value));
    QCOMPARE(Registry::GetSetting(app, QStringLiteral("Settings"), QStringLiteral("Value"),
                                  QStringLiteral("default")),
             value);
    const auto all = Registry::GetAllSettings(app, QStringLiteral("Settings"));
    QVERIFY(all.contains(Registry::Setting(QStringLiteral("Value"), value)));
}

void tst_Registry::allSettingsAndDelete()
{
    const QString app = QStringLiteral("ListApp");
    QVERIFY(Registry::GetAllSettings(app, QStringLiteral("Options")).isEmpty());
    QCOMPARE(Registry::GetSetting(app, QStringLiteral("Options"), QStringLiteral("Missing"),
                                  QStringLiteral("5")),
             QStringLiteral("5"));
    Registry::SaveSetting(app, QStringLiteral("Options"), QStringLiteral("B"), QStringLiteral("2"));
    Registry::SaveSetting(app, QStringLiteral("Options"), QStringLiteral("A"), QStringLiteral("1"));
    Registry::SaveSetting(app, QStringLiteral("Other"), QStringLiteral("C"), QStringLiteral("3"));
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Options")),
             (QList<Registry::Setting>{{"A", "1"}, {"B", "2"}}));
    Registry::DeleteSetting(app, QStringLiteral("Options"), QStringLiteral("A"));
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Options")).size(), 1);
    Registry::DeleteSetting(app, QStringLiteral("Options"));
    QVERIFY(Registry::GetAllSettings(app, QStringLiteral("Options")).isEmpty());
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Other")).size(), 1);
}

void tst_Registry::appsHaveFilesOfTheirOwn()
{
    Registry::SaveSetting(QStringLiteral("First"), QStringLiteral("S"), QStringLiteral("K"),
                          QStringLiteral("one"));
    QCOMPARE(Registry::GetSetting(QStringLiteral("Second"), QStringLiteral("S"),
                                  QStringLiteral("K")),
             QString());
    QVERIFY(QFile::exists(Registry::settingsFile(QStringLiteral("First"))));
}

void tst_Registry::handEditedValues()
{
    // A value typed into the file with commas is still one text.
    QDir().mkpath(m_home.path() + QStringLiteral("/Pagewheel"));
    QFile ini(Registry::settingsFile(QStringLiteral("Edited")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Options]\nCarouselFileName=/home/u/a,b.txt\n");
    ini.close();
    QCOMPARE(Registry::GetSetting(QStringLiteral("Edited"), QStringLiteral("Options"),
                                  QStringLiteral("CarouselFileName")),
             QStringLiteral("/home/u/a,b.txt"));
    QCOMPARE(Registry::GetAllSettings(QStringLiteral("Edited"), QStringLiteral("Options")).first().second,
             QStringLiteral("/home/u/a,b.txt"));
}

void tst_Registry::machineKeys()
{
    // A fake browser and system information program on PATH.
    for (const char* name : {"chromium", "hardinfo", "MyBrowser"}) {
        QFile program(m_bin.filePath(QString::fromLatin1(name)));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", m_bin.path().toUtf8());
    const QString appPaths =
        QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "IExplore.exe", QString()),
             m_bin.filePath(QStringLiteral("chromium")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "mybrowser.EXE", QString()),
             m_bin.filePath(QStringLiteral("MyBrowser")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "Netscape.exe", QString(),
                                    QStringLiteral("none")),
             QStringLiteral("none"));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine,
                                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                    QStringLiteral("PATH")),
             m_bin.filePath(QStringLiteral("hardinfo")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, QStringLiteral("SOFTWARE\\Anything"),
                                    QStringLiteral("Value"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    qputenv("PATH", oldPath);
}

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_Registry.moc"
