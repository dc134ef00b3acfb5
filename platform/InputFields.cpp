// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InputFields.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

InputFields::Kind unquotedKind(QByteArrayView bytes)
{
    if (bytes.size() == 6 && bytes.compare(QByteArrayView("#TRUE#"), Qt::CaseInsensitive) == 0)
        return InputFields::Kind::True;
    if (bytes.size() == 7 && bytes.compare(QByteArrayView("#FALSE#"), Qt::CaseInsensitive) == 0)
        return InputFields::Kind::False;
    return InputFields::Kind::Text;
}

} // namespace

QString InputFields::Field::text(TextCodec::Encoding encoding) const
{
    switch (kind) {
    case Kind::True:
        return QStringLiteral("True");
    case Kind::False:
        return QStringLiteral("False");
    default:
        return TextCodec::decode(bytes, encoding);
    }
}

int InputFields::split(QByteArrayView line, Field* fields, int maxFields)
{
    const char* p = line.data();
    const char* end = p + line.size();
    int count = 0;
    while (count < maxFields) {
        while (p < end && isBlank(*p))
            ++p;
        Field& field = fields[count++];
        if (p < end && *p == '"') {
            const char* start = ++p;
            while (p < end && *p != '"')
                ++p;
            field.bytes = QByteArrayView(start, p - start);
            field.kind = Kind::Quoted;
            // Anything between the closing quote and the comma is passed over.
            while (p < end && *p != ',')
                ++p;
        } else {
            const char* start = p;
            while (p < end && *p != ',')
                ++p;
            const char* stop = p;
            while (stop > start && isBlank(stop[-1]))
                --stop;
            field.bytes = QByteArrayView(start, stop - start);
            field.kind = unquotedKind(field.bytes);
        }
        if (p >= end)
            break;
        ++p; // the comma
    }
    return count;
}
