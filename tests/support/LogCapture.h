// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// A real log file in a test folder with the chosen line categories on;
/// reads back what was written. Resets the program's state when it goes.
class LogCapture
{
public:
    LogCapture(const QString& folder, bool debugMode, bool errorMode);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// The messages written, time stamps taken off. A message holding a
    /// line break spans two file lines and comes back whole; a line with no
    /// well-formed stamp or end comes back marked, so a test sees it.
    QStringList messages() const;
    /// The same for any log file.
    static QStringList messagesOf(const QString& path);
    QByteArray bytes() const;

private:
    QString m_path;
};
