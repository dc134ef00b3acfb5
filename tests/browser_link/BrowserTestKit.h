// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Shell.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

/// Adds a table column per name, of the types given in the same order.
template <typename... Types, typename... Names> void columns(Names... names)
{
    (QTest::addColumn<Types>(names), ...);
}

/// Adds a table row of the given values (text as const char* or QString).
template <typename... Values> void tableRow(const char* tag, const Values&... values)
{
    (QTest::newRow(tag) << ... << values);
}

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
    /// Each variable's value before each change; unset ones as null.
    QList<std::pair<const char*, QByteArray>> m_before;
};

/// XDG folders and a PATH of their own in a temporary folder.
class DesktopSandbox
{
public:
    DesktopSandbox();

    QString root() const { return m_dir.path(); }
    QString binDir() const { return root() + QStringLiteral("/bin"); }

    /// Writes a file below root(); "{bin}" in the contents is binDir().
    void writeFile(const QString& relativePath, const QString& contents);
    /// An executable file in binDir(); returns its path.
    QString addProgram(const QString& name);

    EnvironmentGuard& environment() { return m_environment; }

private:
    QTemporaryDir m_dir;
    EnvironmentGuard m_environment;
};

/// A copy of the test browser with its own name and profile; killed on destruction.
class FakeBrowser
{
public:
    explicit FakeBrowser(const QString& folder, const QString& name = QString());
    ~FakeBrowser();
    FakeBrowser(const FakeBrowser&) = delete;
    FakeBrowser& operator=(const FakeBrowser&) = delete;

    QString program() const { return m_program; }
    QString profileFlag() const { return QStringLiteral("--user-data-dir=") + m_profile; }

    QStringList addresses() const;
    QList<QStringList> invocations() const;
    /// 0 when no instance runs.
    qint64 instancePid() const;

private:
    QString m_program;
    QString m_profile;
};

/// Whether a process of that id is alive (and not a zombie).
bool processAlive(qint64 pid);

/// Answers the association lookup from a script and counts the questions.
class ScriptedAssociations final : public Shell::Associations
{
public:
    ScriptedAssociations(int code, const QString& answer) : m_code(code), m_answer(answer)
    {
        Shell::setAssociations(this);
    }
    ~ScriptedAssociations() override { Shell::setAssociations(nullptr); }

    int findExecutable(const QString& file, const QString& directory, QString& result) override
    {
        asked = QStringList{file, directory};
        result = m_answer;
        return m_code;
    }

    QStringList asked; // the last question

private:
    int m_code;
    QString m_answer;
};
