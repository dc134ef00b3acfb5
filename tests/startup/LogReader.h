// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

/// The messages of a log file: each line's text after its time stamp.
/// Returns an empty list when a line is not "MM-dd hh:mm:ss  " + text + CR LF.
inline QStringList logMessages(const QString& path, bool* wellFormed = nullptr)
{
    QFile file(path);
    if (wellFormed)
        *wellFormed = true;
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    QStringList messages;
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    else if (wellFormed)
        *wellFormed = false;
    for (const QString& line : lines) {
        if (!stamp.match(line).hasMatch() || line.contains(QLatin1Char('\n'))) {
            if (wellFormed)
                *wellFormed = false;
            continue;
        }
        messages.append(line.mid(16));
    }
    return messages;
}
