// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class IntervalBox;

/// The table of reload intervals: 18 texts with their seconds, from
/// " 0 sec" to " 2 days". Texts are compared exactly (case and blanks).
namespace modInterval {

/// The seconds of the text; -1 (logged) for a text not in the table.
qint32 TmeStrgtoSec(const QString& text);
/// The text of the seconds; "-1" (logged) for a value not in the table.
QString SectoTmeStrg(qint32 seconds);
/// The 17 texts the box's list offers, in table order (" 2 min" is not
/// among them, though both conversions know it).
QStringList ListTexts();
/// Fills the box: its list with the 17 texts and its text with the
/// interval's own text.
void load_reload_cbo(IntervalBox& box, qint32 reloadInterval);

} // namespace modInterval
