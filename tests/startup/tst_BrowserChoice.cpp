// SPDX-License-Identifier: GPL-3.0-or-later
// The first start without an installation record chooses the browser as
// the installation step would, from the programs on PATH.
#include "LogCapture.h"
#include "platform/Registry.h"
#include "settings/modRegistry.h"
#include "startup/BrowserChoice.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_BrowserChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordsWhatIsOnPath_data();
    void recordsWhatIsOnPath();
};

void tst_BrowserChoice::recordsWhatIsOnPath_data()
{
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QString>("recordedBefore");
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<qint16>("mode");

    QTest::newRow("Chromium family") << QStringList{"firefox", "google-chrome"} << ""
                                     << "C" << qint16(2);
    QTest::newRow("Firefox only") << QStringList{"firefox-esr"} << ""
                                  << "F" << qint16(5);
    QTest::newRow("neither") << QStringList{"lynx"} << ""
                             << "" << qint16(0);
    QTest::newRow("already recorded") << QStringList{"chromium"} << "D"
                                      << "D" << qint16(3);
}

void tst_BrowserChoice::recordsWhatIsOnPath()
{
    QFETCH(QStringList, programs);
    QFETCH(QString, recordedBefore);
    QFETCH(QString, recorded);
    QFETCH(qint16, mode);

    QTemporaryDir home;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    // Two folders: only the second holds the programs.
    const QString bin = home.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    qputenv("PATH", (home.filePath(QStringLiteral("empty")) + QLatin1Char(':') + bin).toUtf8());
    for (const QString& name : programs) {
        QFile program(bin + QLatin1Char('/') + name);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    modMain::ResetProgramState();
    modMain::SetProgramFolder(home.path());
    LogCapture log(home.path(), true, false);
    if (!recordedBefore.isEmpty())
        Registry::SaveSetting(modRegistry::RegistrationApp, modRegistry::RegistrationSection,
                              QStringLiteral("IBROWSER"), recordedBefore);

    const QString now = BrowserChoice::RecordIfMissing();
    qputenv("PATH", oldPath);

    QCOMPARE(now, recordedBefore.isEmpty() ? recorded : QString());
    QCOMPARE(Registry::GetSetting(modRegistry::RegistrationApp, modRegistry::RegistrationSection,
                                  QStringLiteral("IBROWSER")),
             recorded);
    QCOMPARE(modRegistry::GetBrowserChoice(), mode);
    if (!now.isEmpty())
        QVERIFY(log.messages().contains(QStringLiteral("Browser choice recorded: ") + now));
}

QTEST_GUILESS_MAIN(tst_BrowserChoice)
#include "tst_BrowserChoice.moc"
