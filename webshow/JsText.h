// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

/// Texts of a show written into a generated page. Both forms come out in
/// plain ASCII, so the page reads the same whatever encoding a browser
/// assumes for it, and neither can end the element it stands in.
namespace JsText {

/// Appends the text as a double-quoted JavaScript string literal that is
/// safe inside a script element: quotes, backslashes, line breaks and
/// other controls are escaped, "<" and ">" too (no "</script>" or "<!--"
/// can form), and every character outside ASCII as \uXXXX.
void appendStringLiteral(QString& out, QStringView text);
QString stringLiteral(QStringView text);

/// The most characters the literal of a text of this size can take.
constexpr qsizetype literalRoom(qsizetype size)
{
    return 2 + 6 * size;
}
/// Writes the literal at out, which has room for literalRoom(text.size())
/// characters; returns the end of what it wrote.
char16_t* writeStringLiteral(char16_t* out, QStringView text);

/// The text as HTML character data: "&", "<", ">" and quotes as entities,
/// controls and every character outside ASCII as numeric references.
QString htmlText(QStringView text);

} // namespace JsText
