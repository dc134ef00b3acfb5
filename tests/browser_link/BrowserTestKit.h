// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// Sets environment variables for its lifetime and restores them after.
class EnvironmentGuard
{
public:
    EnvironmentGuard() = default;
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    void set(const char* name, const QString& value);
    void unset(const char* name);

private:
    void remember(const char* name);
    QHash<QByteArray, QByteArray> m_saved;
    QList<QByteArray> m_unsetBefore;
};

/// A desktop of its own: the XDG config and data folders all lie in a
/// temporary folder, so the machine's own associations stay out, and a
/// folder of programs is the whole PATH.
class DesktopSandbox
{
public:
    DesktopSandbox();

    QString root() const { return m_dir.path(); }
    QString configHome() const { return root() + QStringLiteral("/config-home"); }
    QString configDir() const { return root() + QStringLiteral("/config-dir"); }
    QString dataHome() const { return root() + QStringLiteral("/data-home"); }
    QString dataDir() const { return root() + QStringLiteral("/data-dir"); }
    QString binDir() const { return root() + QStringLiteral("/bin"); }

    /// Writes a file below root(); "{bin}" in the contents is binDir().
    void writeFile(const QString& relativePath, const QString& contents);
    /// An executable file in binDir(); returns its path.
    QString addProgram(const QString& name);
    /// Makes program the desktop's default for HTML documents.
    void setDefaultBrowser(const QString& program, const QString& arguments);

    EnvironmentGuard& environment() { return m_environment; }

private:
    QTemporaryDir m_dir;
    EnvironmentGuard m_environment;
};

/// A copy of the test browser under a name of its own, with its profile
/// folder; ends its running instance when it goes.
class FakeBrowser
{
public:
    explicit FakeBrowser(const QString& folder, const QString& name = QString());
    ~FakeBrowser();
    FakeBrowser(const FakeBrowser&) = delete;
    FakeBrowser& operator=(const FakeBrowser&) = delete;

    QString program() const { return m_program; }
    QString profile() const { return m_profile; }
    /// The flag that points a browser at the profile folder.
    QString profileFlag() const { return QStringLiteral("--user-data-dir=") + m_profile; }

    /// The addresses the running instance was given, in order.
    QStringList addresses() const;
    /// Each invocation's arguments, in order.
    QList<QStringList> invocations() const;
    /// The running instance's process id, 0 when none runs.
    qint64 instancePid() const;
    /// Ends the running instance, if any.
    void kill();

private:
    QString m_program;
    QString m_profile;
};

/// Whether a process of that id is alive (and not a zombie).
bool processAlive(qint64 pid);
