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
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it)
        qputenv(it.key().constData(), it.value());
    for (const QByteArray& name : m_unsetBefore)
        qunsetenv(name.constData());
}

void EnvironmentGuard::remember(const char* name)
{
    const QByteArray key(name);
    if (m_saved.contains(key) || m_unsetBefore.contains(key))
        return;
    if (qEnvironmentVariableIsSet(name))
        m_saved.insert(key, qgetenv(name));
    else
        m_unsetBefore.append(key);
}

void EnvironmentGuard::set(const char* name, const QString& value)
{
    remember(name);
    qputenv(name, value.toLocal8Bit());
}

void EnvironmentGuard::unset(const char* name)
{
    remember(name);
    qunsetenv(name);
}

DesktopSandbox::DesktopSandbox()
{
    for (const QString& folder : {configHome(), configDir(), dataHome(), dataDir(), binDir()})
        QDir().mkpath(folder);
    m_environment.set("XDG_CONFIG_HOME", configHome());
    m_environment.set("XDG_CONFIG_DIRS", configDir());
    m_environment.set("XDG_DATA_HOME", dataHome());
    m_environment.set("XDG_DATA_DIRS", dataDir());
    m_environment.unset("XDG_CURRENT_DESKTOP");
    m_environment.set("PATH", binDir());
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

void DesktopSandbox::setDefaultBrowser(const QString& program, const QString& arguments)
{
    writeFile(QStringLiteral("config-home/mimeapps.list"),
              QStringLiteral("[Default Applications]\ntext/html=pagewheel-test.desktop\n"));
    writeFile(QStringLiteral("data-home/applications/pagewheel-test.desktop"),
              QStringLiteral("[Desktop Entry]\nType=Application\nName=Test browser\nExec=") +
                  program + QLatin1Char(' ') + arguments + QLatin1Char('\n'));
}

FakeBrowser::FakeBrowser(const QString& folder, const QString& name)
{
    // A name of its own keeps it apart from the other tests' browsers.
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
    kill();
}

QStringList FakeBrowser::addresses() const
{
    QFile file(m_profile + QStringLiteral("/addresses.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

QList<QStringList> FakeBrowser::invocations() const
{
    QList<QStringList> result;
    QFile file(m_profile + QStringLiteral("/invocations.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.isEmpty())
            result.append(line.split(QLatin1Char('\t')));
    }
    return result;
}

qint64 FakeBrowser::instancePid() const
{
    QLockFile lock(m_profile + QStringLiteral("/lock"));
    qint64 pid = 0;
    if (!lock.getLockInfo(&pid, nullptr, nullptr) || !processAlive(pid))
        return 0;
    return pid;
}

void FakeBrowser::kill()
{
    const qint64 pid = instancePid();
    if (pid > 0)
        ::kill(pid_t(pid), SIGKILL);
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
