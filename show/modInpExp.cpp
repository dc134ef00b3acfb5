// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/modInpExp.h"

#include "platform/Prompts.h"
#include "platform/TextCodec.h"
#include "platform/TextFileReader.h"
#include "platform/VbConvert.h"
#include "show/colURLs.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstring>
#include <vector>

namespace modInpExp {

namespace {

using modMain::debugLog;

using TextCodec::Encoding;

// Bookmark lines are examined in a buffer of this many characters; the
// rest of a longer line is never looked at.
constexpr qsizetype LineBuffer = 256;
// A UTF-8 prefix of this many bytes always holds the buffer's characters.
constexpr qsizetype Utf8Prefix = 4 * LineBuffer;

const QLatin1StringView BookmarkTag("<DT><A HREF=");
const QLatin1StringView DateAttribute("ADD_DATE");
// The address starts after the tag and its opening quote, and ends before
// the closing quote and the blank that stand in front of ADD_DATE.
constexpr qsizetype AddressStart = 13;
constexpr qsizetype AddressGap = 15;

const VbError InvalidCall{5, QStringLiteral("Invalid procedure call or argument")};

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

/// Where an upper-case ASCII pattern first occurs in bytes that are one
/// character each, letters compared without case; -1 when nowhere. The
/// search runs on the pattern's first character that is no letter (the
/// pattern must have one), which needs no folding.
qsizetype findNoCase(QByteArrayView text, QLatin1StringView pattern)
{
    const char* const wanted = pattern.data();
    const qsizetype size = pattern.size();
    qsizetype anchor = 0;
    while (anchor < size && wanted[anchor] >= 'A' && wanted[anchor] <= 'Z')
        ++anchor;
    Q_ASSERT(anchor < size);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* probe = begin + anchor;
    while (probe < end) {
        probe = static_cast<const char*>(std::memchr(probe, wanted[anchor], size_t(end - probe)));
        if (!probe)
            return -1;
        const char* const candidate = probe - anchor;
        if (end - candidate >= size) {
            qsizetype matched = 0;
            while (matched < size && upperAscii(candidate[matched]) == wanted[matched])
                ++matched;
            if (matched == size)
                return candidate - begin;
        }
        ++probe;
    }
    return -1;
}

qsizetype findNoCase(QStringView text, QLatin1StringView pattern)
{
    return text.indexOf(pattern, 0, Qt::CaseInsensitive);
}

enum class Found
{
    Nothing,
    Address,
    BadLength
};

/// Where the address of a bookmark line lies; works on bytes (when each
/// byte is one character) and on decoded text alike.
template <typename Text> Found locateAddress(Text line, qsizetype* start, qsizetype* length)
{
    const qsizetype tag = findNoCase(line, BookmarkTag);
    if (tag < 0)
        return Found::Nothing;
    // A bookmark without a date is passed over; the next line is read as
    // any other, so a bookmark there still counts.
    const qsizetype date = findNoCase(line, DateAttribute);
    if (date < 0)
        return Found::Nothing;
    *start = tag + AddressStart;
    *length = date - tag - AddressGap;
    return *length < 0 ? Found::BadLength : Found::Address;
}

bool isAscii(QByteArrayView bytes)
{
    // Eight bytes at a time: every line of the file passes here.
    constexpr quint64 HighBits = 0x8080808080808080ull;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    quint64 any = 0;
    for (; end - at >= 8; at += 8) {
        quint64 word;
        std::memcpy(&word, at, 8);
        any |= word;
    }
    for (; at < end; ++at)
        any |= uchar(*at);
    return (any & HighBits) == 0;
}

/// The address of a bookmark line, empty when the line holds none.
QString bookmarkAddress(QByteArrayView line, Encoding encoding)
{
    qsizetype start = 0;
    qsizetype length = 0;
    Found found = Found::Nothing;
    QString address;
    const QByteArrayView cut = line.first(std::min(line.size(), LineBuffer));
    if (encoding == Encoding::Windows1252 || isAscii(cut)) {
        // One byte is one character: the bytes are searched as they stand
        // and only the address is decoded.
        found = locateAddress(cut, &start, &length);
        if (found == Found::Address)
            address = TextCodec::decode(cut.sliced(start, length), encoding);
    } else {
        QString text = TextCodec::decode(line.first(std::min(line.size(), Utf8Prefix)), encoding);
        text.truncate(LineBuffer);
        found = locateAddress(QStringView(text), &start, &length);
        if (found == Found::Address)
            address = text.mid(start, length);
    }
    if (found == Found::BadLength)
        debugLog(QStringLiteral("read_in_file ERROR: ") + QString::number(InvalidCall.number) +
                 QStringLiteral("\r\nDescription: ") + InvalidCall.description);
    return address;
}

QString dataFolder()
{
    return modFileTools::JoinPath(modMain::AppFolder, QStringLiteral("data"));
}

} // namespace

QString EncodeHtml(const QString& text)
{
    QString encoded;
    encoded.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            encoded += QLatin1StringView("&amp;");
            break;
        case '<':
            encoded += QLatin1StringView("&lt;");
            break;
        case '>':
            encoded += QLatin1StringView("&gt;");
            break;
        case '"':
            encoded += QLatin1StringView("&quot;");
            break;
        case '\'':
            encoded += QLatin1StringView("&#39;");
            break;
        // A line end decoded from an entity must not end the bookmark's line.
        case '\r':
            encoded += QLatin1StringView("&#13;");
            break;
        case '\n':
            encoded += QLatin1StringView("&#10;");
            break;
        default:
            encoded += c;
        }
    }
    return encoded;
}

namespace {

/// The character of a numeric entity's digits ("#39", "#x27"); 0 when the
/// digits name no character a text may hold.
char32_t numericEntity(QStringView digits)
{
    const bool hex =
        digits.size() > 1 && (digits[1] == QLatin1Char('x') || digits[1] == QLatin1Char('X'));
    const QStringView number = digits.sliced(hex ? 2 : 1);
    if (number.isEmpty() || number.size() > 7)
        return 0;
    uint code = 0;
    for (const QChar c : number) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (hex && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (hex && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            return 0;
        code = code * (hex ? 16 : 10) + uint(digit);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return char32_t(code);
}

} // namespace

QString DecodeHtml(QStringView text)
{
    if (!text.contains(QLatin1Char('&')))
        return text.toString();
    static const struct
    {
        QLatin1StringView name;
        QChar character;
    } named[] = {{QLatin1StringView("amp"), QLatin1Char('&')},
                 {QLatin1StringView("lt"), QLatin1Char('<')},
                 {QLatin1StringView("gt"), QLatin1Char('>')},
                 {QLatin1StringView("quot"), QLatin1Char('"')},
                 {QLatin1StringView("apos"), QLatin1Char('\'')}};
    QString decoded;
    decoded.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype semicolon =
            text.at(at) == QLatin1Char('&') ? text.indexOf(QLatin1Char(';'), at + 1) : -1;
        if (semicolon > at + 1 && semicolon - at <= 10) {
            const QStringView entity = text.sliced(at + 1, semicolon - at - 1);
            bool done = false;
            if (entity.front() == QLatin1Char('#')) {
                if (const char32_t code = numericEntity(entity)) {
                    decoded += QString::fromUcs4(&code, 1);
                    done = true;
                }
            } else {
                for (const auto& known : named) {
                    if (entity == known.name) {
                        decoded += known.character;
                        done = true;
                        break;
                    }
                }
            }
            if (done) {
                at = semicolon + 1;
                continue;
            }
        }
        decoded += text.at(at);
        ++at;
    }
    return decoded;
}

qint64 DateToUnix(double date)
{
    constexpr double UnixEpoch = 25569.0;
    if (!(date > UnixEpoch))
        return 0;
    return qint64(VbConvert::roundHalfEven((date - UnixEpoch) * 86400.0));
}

bool ReadInBookmarks(const QString& fileName, colURLs& show, bool* bShowEdited)
{
    if (fileName.isEmpty())
        return false;

    // Collected first: a file found not to be UTF-8 part way is read again
    // from the start, and the show must not hold the first reading's
    // slides. The show then also grows only after the reader's buffer has
    // gone.
    std::vector<QString> addresses;
    const auto onLine = [&addresses](QByteArrayView line, Encoding encoding) {
        QString address = bookmarkAddress(line, encoding);
        if (!address.isEmpty())
            addresses.push_back(std::move(address));
    };
    VbError error;
    if (!TextFileReader::forEachLine(
            fileName, onLine, [&addresses] { addresses.clear(); }, &error)) {
        debugLog(QStringLiteral("ReadInOptions, error opening file:_") + fileName +
                 QStringLiteral("_ Err:") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);
        debugLog(QStringLiteral("--End: ReadIn Bookmark File--"));
        return false;
    }

    // Browsers write an address as an attribute value, its markup characters
    // as entities.
    for (const QString& address : addresses)
        show.Add(DecodeHtml(address), QString(), 0, false);
    const bool added = !addresses.empty();
    if (added)
        show.Changed = true;
    show.Print_URLs();
    if (show.Changed && bShowEdited)
        *bShowEdited = true;
    return added;
}

FileChoice ExportDialog()
{
    return {QString(), QStringLiteral("Bookmarks.htm"),
            QStringLiteral("HTML files|*.htm|All Files (*.*)|*.*"), dataFolder()};
}

FileChoice ImportDialog()
{
    return {QStringLiteral("Choose a Bookmark file to Import"), QString(),
            QStringLiteral("HTML (.htm) files|*.htm|All Files (*.*)|*.*"), dataFolder()};
}

void ExportBookmarksCommand(colURLs& show, const ChooseFile& chooseSaveFile, int helpContext)
{
    QString fileName;
    for (;;) {
        VbError error;
        fileName = chooseSaveFile(ExportDialog(), &error);
        if (fileName.isEmpty() || error.isError())
            return;
        if (!modFileTools::FileExists(fileName))
            break;
        const int answer =
            Prompts::MsgBox(QStringLiteral("Do you want to overwrite this file?"),
                            Prompts::vbYesNoCancel + Prompts::vbExclamation,
                            QStringLiteral("Save File"), modMain::HelpFile(), helpContext);
        if (answer == Prompts::vbYes) {
            debugLog(QStringLiteral("Overwriting file"));
            break;
        }
        if (answer == Prompts::vbCancel) {
            debugLog(QStringLiteral("Aborting save.."));
            return;
        }
    }
    show.NewFile = false;
    show.Export_Bookmarks(fileName);
}

void ImportBookmarksCommand(colURLs& currentShow, const ImportSteps& steps)
{
    VbError error;
    const QString fileName = steps.chooseOpenFile(ImportDialog(), &error);
    if (error.isError()) {
        if (modMain::ErrorMode)
            modMain::WriteLog(QStringLiteral("ERROR on open file: ") +
                              QString::number(error.number) + QStringLiteral("\r\n") +
                              error.description);
        return;
    }
    if (fileName.isEmpty())
        return;
    if (currentShow.Changed && currentShow.Count() >= 1 && !steps.AskSaveShowEdits())
        return;

    colURLs& show = steps.StartNewShow();
    show.Changed = true;
    if (!ReadInBookmarks(fileName, show, steps.bShowEdited))
        Prompts::MsgBox(QStringLiteral("No bookmarks were readable in file or file not found."),
                        Prompts::vbOKOnly + Prompts::vbExclamation);
    steps.Refresh();
}

} // namespace modInpExp
