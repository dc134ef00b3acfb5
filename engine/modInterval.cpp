// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modInterval.h"

#include "engine/IntervalBox.h"
#include "startup/modMain.h"

#include <array>

namespace modInterval {

namespace {

struct Interval
{
    const char* text;
    qint32 seconds;
    bool listed;
};

constexpr std::array<Interval, 18> Table{{
    {" 0 sec", 0, true},
    {" 2 sec", 2, true},
    {" 5 sec", 5, true},
    {"10 sec", 10, true},
    {"15 sec", 15, true},
    {"30 sec", 30, true},
    {" 1 min", 60, true},
    {" 2 min", 120, false},
    {" 5 min", 300, true},
    {"10 min", 600, true},
    {"15 min", 900, true},
    {"30 min", 1800, true},
    {" 1 hour", 3600, true},
    {" 2 hours", 7200, true},
    {" 4 hours", 14400, true},
    {" 8 hours", 28800, true},
    {" 1 day", 86400, true},
    {" 2 days", 172800, true},
}};

} // namespace

qint32 TmeStrgtoSec(const QString& text)
{
    for (const Interval& row : Table) {
        if (text == QLatin1String(row.text))
            return row.seconds;
    }
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("TmeStrgtoSec: Cant understand: ") + text);
    return -1;
}

QString SectoTmeStrg(qint32 seconds)
{
    for (const Interval& row : Table) {
        if (row.seconds == seconds)
            return QLatin1String(row.text);
    }
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("SectoTmeStrg: Cant understand: ") +
                          QString::number(seconds));
    return QStringLiteral("-1");
}

QStringList ListTexts()
{
    QStringList texts;
    for (const Interval& row : Table) {
        if (row.listed)
            texts.append(QLatin1String(row.text));
    }
    return texts;
}

void load_reload_cbo(IntervalBox& box, qint32 reloadInterval)
{
    // The list goes in first: a combo box that gets its first entry takes
    // that entry as its text, which would hide the interval's own text.
    const QStringList texts = ListTexts();
    for (const QString& text : texts)
        box.addItem(text);
    box.setText(SectoTmeStrg(reloadInterval));
}

} // namespace modInterval
