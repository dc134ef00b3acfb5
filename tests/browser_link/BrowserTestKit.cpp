// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

#include <csignal>

EnvironmentGuard::~EnvironmentGuard()
{
    // Backwards, so that the value before the first change is the last restored.
    for (auto it = m_before.crbegin(); it != m_before.crend(); ++it)
        it->second.isNull() ? qunsetenv(it->first) : qputenv(it->first, it->second);
}

void EnvironmentGuard::set(const char* name, const QString& value)
{
    m_before.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    qputenv(name, value.toLocal8Bit());
}

void EnvironmentGuard::unset(const char* name)
{
    m_before.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    qunsetenv(name);
}

DesktopSandbox::DesktopSandbox()
{
    const std::pair<const char*, const char*> folders[] = {{"XDG_CONFIG_HOME", "/config-home"},
                                                           {"XDG_CONFIG_DIRS", "/config-dir"},
                                                           {"XDG_DATA_HOME", "/data-home"},
                                                           {"XDG_DATA_DIRS", "/data-dir"},
                                                           {"PATH", "/bin"}};
    for (const auto& [name, folder] : folders) {
        QDir().mkpath(root() + QLatin1String(folder));
        m_environment.set(name, root() + QLatin1String(folder));
    }
    m_environment.unset("XDG_CURRENT_DESKTOP");
}

void DesktopSandbox::writeFile(const QString& relativePath, const QString& contents)
{
    const QString path = root() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QString(contents).replace(QStringLiteral("{bin}"), binDir()).toUtf8());
}

QString DesktopSandbox::addProgram(const QString& name)
{
    const QString path = binDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write("#!/bin/sh\nexit 0\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

FakeBrowser::FakeBrowser(const QString& folder, const QString& name)
{
    const QString fileName = name.isEmpty() ? QStringLiteral("fakebrowser-") +
                                                  QUuid::createUuid().toString(QUuid::Id128).left(8)
                                            : name;
    QDir().mkpath(folder);
    m_program = folder + QLatin1Char('/') + fileName;
    m_profile = folder + QStringLiteral("/profile-") + fileName;
    QFile::copy(QStringLiteral(FAKEBROWSER_PATH), m_program);
    QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

FakeBrowser::~FakeBrowser()
{
    if (const qint64 pid = instancePid())
        ::kill(pid_t(pid), SIGKILL);
}

static QStringList lines(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
               : QStringList();
}

QStringList FakeBrowser::addresses() const
{
    return lines(m_profile + QStringLiteral("/addresses.txt"));
}

QList<QStringList> FakeBrowser::invocations() const
{
    QList<QStringList> result;
    for (const QString& line : lines(m_profile + QStringLiteral("/invocations.txt")))
        result.append(line.split(QLatin1Char('\t')));
    return result;
}

qint64 FakeBrowser::instancePid() const
{
    QLockFile lock(m_profile + QStringLiteral("/lock"));
    qint64 pid = 0;
    return lock.getLockInfo(&pid, nullptr, nullptr) && processAlive(pid) ? pid : 0;
}

bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}
