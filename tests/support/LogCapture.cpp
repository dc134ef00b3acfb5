// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"

#include "startup/modMain.h"

#include <QFile>
#include <QRegularExpression>

LogCapture::LogCapture(const QString& folder, bool debugMode, bool errorMode)
    : m_path(folder + QStringLiteral("/DebugFile.txt"))
{
    modMain::OpenLogFile(m_path);
    modMain::LogToFile = true;
    modMain::DebugMode = debugMode;
    modMain::ErrorMode = errorMode;
}

LogCapture::~LogCapture()
{
    modMain::ResetProgramState();
}

QStringList LogCapture::messagesOf(const QString& path)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    QFile file(path);
    QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    if (!text.isEmpty() && !text.endsWith(QStringLiteral("\r\n")))
        text += QStringLiteral("<no line end>\r\n");
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    QStringList result;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = stamp.match(line);
        if (match.hasMatch())
            result.append(line.mid(match.capturedLength()));
        else if (!result.isEmpty())
            result.last() += QStringLiteral("\r\n") + line;
        else
            result.append(QStringLiteral("<no stamp>") + line);
    }
    return result;
}
