// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

/// A real log file in a test folder with the chosen line categories on;
/// reads back what was written. Resets the program's state when it goes.
class LogCapture
{
public:
    LogCapture(const QString& folder, bool debugMode, bool errorMode);
    ~LogCapture();

    /// The messages written, time stamps taken off; a message spanning lines comes
    /// back whole, a line with no well-formed stamp or end comes back marked.
    QStringList messages() const { return messagesOf(m_path); }
    /// The same for any log file.
    static QStringList messagesOf(const QString& path);

private:
    QString m_path;
};
