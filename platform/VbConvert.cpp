// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VbConvert.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool textToNumber(QStringView text, double* result)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *result = value;
    return true;
}

template <typename Int>
bool toInt(double value, Int* result)
{
    const double rounded = VbConvert::roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<Int>::min()
        || rounded > std::numeric_limits<Int>::max())
        return false;
    *result = static_cast<Int>(rounded);
    return true;
}

} // namespace

double VbConvert::roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double VbConvert::Val(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number.append(text[i++]);
    bool point = false;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
            number.append(c);
        } else if (c == u'.' && !point) {
            point = true;
            number.append(c);
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    return QLocale::c().toDouble(number);
}

bool VbConvert::toInt16(double value, qint16* result)
{
    return toInt(value, result);
}

bool VbConvert::toInt32(double value, qint32* result)
{
    return toInt(value, result);
}

bool VbConvert::textToInt16(QStringView text, qint16* result)
{
    double value = 0;
    return textToNumber(text, &value) && toInt16(value, result);
}

bool VbConvert::textToInt32(QStringView text, qint32* result)
{
    double value = 0;
    return textToNumber(text, &value) && toInt32(value, result);
}

bool VbConvert::textToBool(QStringView text, bool* result)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0) {
        *result = true;
        return true;
    }
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0) {
        *result = false;
        return true;
    }
    double value = 0;
    if (!textToNumber(trimmed, &value))
        return false;
    *result = value != 0;
    return true;
}

QString VbConvert::boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
