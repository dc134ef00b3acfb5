// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

/// The old platform's conversions of text to numbers and truth values.
namespace VbConvert {

/// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

/// The number at the start of the text: blanks skipped, then an optional
/// sign, digits and a decimal point; the rest ignored; no number gives 0.
double Val(QStringView text);

/// A rounded number into 16 or 32 bits; false on overflow.
bool toInt16(double value, qint16* result);
bool toInt32(double value, qint32* result);

/// The whole text as a number (blanks around it allowed, a fraction
/// rounded half to even); false when it is no number or too large.
bool textToInt16(QStringView text, qint16* result);
bool textToInt32(QStringView text, qint32* result);

/// True/False in any case, or a number (0 is false, any other true);
/// false when the text is neither.
bool textToBool(QStringView text, bool* result);

/// A truth value as the store writes it: "True" or "False".
QString boolText(bool value);

} // namespace VbConvert
