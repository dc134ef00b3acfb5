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

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject profileSection(const QByteArray& preferences)
{
    return QJsonDocument::fromJson(preferences)
        .object()
        .value(QStringLiteral("profile"))
        .toObject();
}

} // namespace

class tst_BrowserProfile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crashedProfileIsMarkedClosed();
};

void tst_BrowserProfile::crashedProfileIsMarkedClosed()
{
    QTemporaryDir folder;
    const QString profile = folder.filePath(QStringLiteral("profile"));
    QVERIFY(QDir().mkpath(profile + QStringLiteral("/Default")));
    const QString preferences = profile + QStringLiteral("/Default/Preferences");
    QVERIFY(writeFile(preferences, R"({"profile":{"exit_type":"Crashed","exited_cleanly":false,)"
                                   R"("name":"Person 1"},"homepage":"about:blank"})"));

    // A stand-in browser notes what it found and how it was started.
    const QString seen = folder.filePath(QStringLiteral("seen.json"));
    const QString arguments = folder.filePath(QStringLiteral("arguments.txt"));
    const QString program = folder.filePath(QStringLiteral("browser"));
    QVERIFY(writeFile(program, "#!/bin/sh\ncp '" + preferences.toUtf8() + "' '" + seen.toUtf8() +
                                   "'\necho \"$@\" > '" + arguments.toUtf8() + "'\nexit 1\n"));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    AutomationBrowser browser;
    browser.setProgram(program);
    browser.setProfileFolder(profile);
    VbError error;
    QVERIFY(!browser.start(&error));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(arguments), 5000);

    const QJsonObject found = profileSection(readFile(seen));
    QCOMPARE(found.value(QStringLiteral("exit_type")).toString(), QStringLiteral("Normal"));
    QCOMPARE(found.value(QStringLiteral("exited_cleanly")).toBool(), true);
    QCOMPARE(found.value(QStringLiteral("name")).toString(), QStringLiteral("Person 1"));
    QCOMPARE(QJsonDocument::fromJson(readFile(seen)).object().value(QStringLiteral("homepage")),
             QJsonValue(QStringLiteral("about:blank")));
    QVERIFY(readFile(arguments).contains("--hide-crash-restore-bubble"));

    // A profile never used stays untouched.
    QVERIFY(BrowserProfile::MarkExitedCleanly(folder.filePath(QStringLiteral("new"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("new/Default/Preferences"))));
}

QTEST_GUILESS_MAIN(tst_BrowserProfile)
#include "tst_BrowserProfile.moc"
