// SPDX-License-Identifier: GPL-3.0-or-later
// A profile left by a browser that crashed or was killed opens clean: the
// automation browser mends it before it starts the browser on it.
#include "platform/AutomationBrowser.h"
#include "platform/BrowserProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class tst_BrowserProfile : public QObject
{
    Q_OBJECT

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private Q_SLOTS:
    void crashedProfileIsMarkedClosed()
    {
        QTemporaryDir folder;
        const QString profile = folder.filePath(QStringLiteral("profile"));
        QVERIFY(QDir().mkpath(profile + QStringLiteral("/Default")));
        const QString preferences = profile + QStringLiteral("/Default/Preferences");
        QVERIFY(writeFile(preferences,
                          R"({"profile":{"exit_type":"Crashed","exited_cleanly":false,)"
                          R"("name":"Person 1"},"homepage":"about:blank"})"));
        // A stand-in browser notes what it found and how it was started.
        const QString seen = folder.filePath(QStringLiteral("seen.json"));
        const QString arguments = folder.filePath(QStringLiteral("arguments.txt"));
        const QString program = folder.filePath(QStringLiteral("browser"));
        QVERIFY(writeFile(program, "#!/bin/sh\ncp '" + preferences.toUtf8() + "' '" +
                                       seen.toUtf8() + "'\necho \"$@\" > '" + arguments.toUtf8() +
                                       "'\nexit 1\n"));
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        AutomationBrowser browser;
        browser.setProgram(program);
        browser.setProfileFolder(profile);
        QVERIFY(!browser.start());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(arguments), 5000);
        QFile seenFile(seen);
        QVERIFY(seenFile.open(QIODevice::ReadOnly));
        const QJsonObject found = QJsonDocument::fromJson(seenFile.readAll()).object();
        const QJsonObject section = found.value(QStringLiteral("profile")).toObject();
        QCOMPARE(section.value(QStringLiteral("exit_type")).toString(), QStringLiteral("Normal"));
        QCOMPARE(section.value(QStringLiteral("exited_cleanly")).toBool(), true);
        QCOMPARE(section.value(QStringLiteral("name")).toString(), QStringLiteral("Person 1"));
        QCOMPARE(found.value(QStringLiteral("homepage")).toString(), QStringLiteral("about:blank"));
        QFile argumentsFile(arguments);
        QVERIFY(argumentsFile.open(QIODevice::ReadOnly));
        QVERIFY(argumentsFile.readAll().contains("--hide-crash-restore-bubble"));

        // A profile never used stays untouched.
        QVERIFY(BrowserProfile::MarkExitedCleanly(folder.filePath(QStringLiteral("new"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("new/Default/Preferences"))));
    }
};

QTEST_GUILESS_MAIN(tst_BrowserProfile)
#include "tst_BrowserProfile.moc"
