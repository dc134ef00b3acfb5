// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/SlideText.h"

#include "platform/Prompts.h"

namespace SlideText {

bool storable(const QString& text)
{
    return !text.contains(QLatin1Char('"'));
}

QString quoteMessage(const QString& text, const QString& what)
{
    return QStringLiteral("The ") + what + QStringLiteral(" ") + text +
           QStringLiteral("\r\ncontains a double quote (\"), which a show file cannot store.") +
           QStringLiteral("\r\nRemove the quote, or rename the file, and try again.");
}

bool accept(const QString& text, const QString& what)
{
    if (storable(text))
        return true;
    Prompts::MsgBox(quoteMessage(text, what), Prompts::vbOKOnly + Prompts::vbExclamation,
                    QStringLiteral("Field Error"));
    return false;
}

QStringList acceptFiles(const QStringList& paths)
{
    QStringList taken;
    QStringList refused;
    for (const QString& path : paths)
        (storable(path) ? taken : refused).append(path);
    reportRefused(refused);
    return taken;
}

void reportRefused(const QStringList& refused)
{
    if (!refused.isEmpty()) {
        Prompts::MsgBox(QStringLiteral("These files were left out: their names contain a double "
                                       "quote (\"), which a show file cannot store.\r\n") +
                            refused.join(QStringLiteral("\r\n")) +
                            QStringLiteral("\r\nRename them and add them again."),
                        Prompts::vbOKOnly + Prompts::vbExclamation, QStringLiteral("Field Error"));
    }
}

} // namespace SlideText
