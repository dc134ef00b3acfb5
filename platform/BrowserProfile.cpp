// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BrowserProfile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString ExitType = QStringLiteral("exit_type");
const QString ExitedCleanly = QStringLiteral("exited_cleanly");

} // namespace

bool BrowserProfile::MarkExitedCleanly(const QString& profileFolder)
{
    // The browser keeps the way its last run ended in the preferences of
    // its default profile.
    const QString path = profileFolder + QStringLiteral("/Default/Preferences");
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    file.close();
    if (!document.isObject())
        return false;

    QJsonObject preferences = document.object();
    QJsonObject profile = preferences.value(QStringLiteral("profile")).toObject();
    if (profile.value(ExitType).toString() == QStringLiteral("Normal") &&
        profile.value(ExitedCleanly).toBool(true))
        return true;
    profile.insert(ExitType, QStringLiteral("Normal"));
    profile.insert(ExitedCleanly, true);
    preferences.insert(QStringLiteral("profile"), profile);
    document.setObject(preferences);

    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) &&
           out.write(document.toJson(QJsonDocument::Compact)) >= 0 && out.commit();
}
