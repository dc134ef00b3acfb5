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

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArray LogCapture::bytes() const
{
    return fileBytes(m_path);
}

QStringList LogCapture::messages() const
{
    return messagesOf(m_path);
}

QStringList LogCapture::messagesOf(const QString& path)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    QString text = QString::fromUtf8(fileBytes(path));
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
