// SPDX-License-Identifier: GPL-3.0-or-later
#include "webshow/JsText.h"

namespace JsText {

namespace {

constexpr char16_t Hex[] = u"0123456789ABCDEF";

/// Printable ASCII that stands for itself in a literal.
bool plainInLiteral(char16_t c)
{
    return c >= 0x20 && c < 0x7F && c != u'\\' && c != u'"' && c != u'\'' && c != u'<' && c != u'>';
}

char16_t* writeHex(char16_t* out, char16_t c, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        *out++ = Hex[(c >> shift) & 0xF];
    return out;
}

char16_t* writeEscape(char16_t* out, char16_t c)
{
    char16_t simple = 0;
    switch (c) {
    case u'\\':
    case u'"':
    case u'\'':
        simple = c;
        break;
    case u'\n':
        simple = u'n';
        break;
    case u'\r':
        simple = u'r';
        break;
    case u'\t':
        simple = u't';
        break;
    default:
        break;
    }
    *out++ = u'\\';
    if (simple) {
        *out++ = simple;
        return out;
    }
    if (c < 0x80) {
        *out++ = u'x';
        return writeHex(out, c, 2);
    }
    // UTF-16 units one by one: a pair comes back as the same pair, and
    // U+2028 and U+2029 cannot end the line of the script.
    *out++ = u'u';
    return writeHex(out, c, 4);
}

} // namespace

char16_t* writeStringLiteral(char16_t* out, QStringView text)
{
    *out++ = u'"';
    const char16_t* const data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (plainInLiteral(c))
            *out++ = c;
        else
            out = writeEscape(out, c);
    }
    *out++ = u'"';
    return out;
}

void appendStringLiteral(QString& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + literalRoom(text.size()));
    char16_t* const base = reinterpret_cast<char16_t*>(out.data());
    out.truncate(writeStringLiteral(base + start, text) - base);
}

QString stringLiteral(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    appendStringLiteral(out, text);
    return out;
}

QString htmlText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x7F) {
            switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&#39;";
                break;
            default:
                out += QChar(c);
            }
            continue;
        }
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0) {
            code = 0xFFFD;
        }
        out += u"&#" + QString::number(uint(code)) + u';';
    }
    return out;
}

} // namespace JsText
