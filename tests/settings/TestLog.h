// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// A real log file in a test folder: opens it, turns the chosen line
/// categories on, and reads back the messages that were written.
class TestLog
{
public:
    TestLog(const QString& folder, bool debugMode, bool errorMode);
    ~TestLog();
    TestLog(const TestLog&) = delete;
    TestLog& operator=(const TestLog&) = delete;

    /// The messages written so far, time stamps taken off. A message that
    /// holds a line break spans two file lines and comes back as one; a line
    /// without a well-formed stamp comes back marked "<no stamp>".
    QStringList messages() const;
    /// The file's bytes as written.
    QByteArray bytes() const;

private:
    QString m_path;
};
