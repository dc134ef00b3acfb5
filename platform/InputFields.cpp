// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InputFields.h"

#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

const char* find(const char* p, const char* end, char c)
{
    const void* found = std::memchr(p, c, std::size_t(end - p));
    return found ? static_cast<const char*>(found) : end;
}

InputFields::Kind unquotedKind(QByteArrayView bytes)
{
    if (bytes.size() < 6 || bytes.front() != '#' || bytes.back() != '#')
        return InputFields::Kind::Text;
    if (bytes.size() == 6 && bytes.compare(QByteArrayView("#TRUE#"), Qt::CaseInsensitive) == 0)
        return InputFields::Kind::True;
    if (bytes.size() == 7 && bytes.compare(QByteArrayView("#FALSE#"), Qt::CaseInsensitive) == 0)
        return InputFields::Kind::False;
    return InputFields::Kind::Text;
}

// The UTF-8 byte-order mark some editors write; in a field it is never text.
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

const char* skipByteOrderMarks(const char* p, const char* end)
{
    while (end - p >= 3 && std::memcmp(p, ByteOrderMark, 3) == 0)
        p += 3;
    return p;
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
        // Blanks and a byte-order mark before a field are skipped, so a
        // field holding only a mark is empty.
        for (const char* before = nullptr; before != p;) {
            before = p;
            while (p < end && isBlank(*p))
                ++p;
            p = skipByteOrderMarks(p, end);
        }
        Field& field = fields[count++];
        if (p < end && *p == '"') {
            const char* start = skipByteOrderMarks(++p, end);
            p = find(start, end, '"');
            field.bytes = QByteArrayView(start, p - start);
            field.kind = Kind::Quoted;
            // Anything between the closing quote and the comma is passed over.
            p = find(p, end, ',');
        } else {
            const char* start = p;
            p = find(p, end, ',');
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
