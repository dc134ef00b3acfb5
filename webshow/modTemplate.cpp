// SPDX-License-Identifier: GPL-3.0-or-later
#include "webshow/modTemplate.h"

#include "platform/Prompts.h"
#include "platform/TextCodec.h"
#include "platform/TextFileReader.h"
#include "platform/TextFileWriter.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "webshow/JsText.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace modTemplate {

namespace {

const QString NewLine = QStringLiteral("\r\n");

/// A number as the page's globals write it: a blank in front unless negative.
QString signedNumber(qint64 value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

/// Whether the address names its own scheme ("https://", "ftp://",
/// "file://" ...): such an address is complete as it stands.
bool hasScheme(const QString& address)
{
    const qsizetype colon = address.indexOf(QLatin1StringView("://"));
    if (colon < 1 || !address.front().isLetter() || address.front().unicode() > 0x7F)
        return false;
    return std::all_of(address.cbegin(), address.cbegin() + colon, [](QChar c) {
        return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
    });
}

/// The bare host names that are taken for web addresses.
bool endsInWebDomain(const QString& address, qsizetype length)
{
    // The dot is looked for where the address had it before relocation.
    const qsizetype dot = length - 4;
    if (dot < 0 || dot >= address.size() || address.at(dot) != u'.')
        return false;
    const QStringView ending = QStringView(address).right(3);
    return ending == u"org" || ending == u"com" || ending == u"gov" || ending == u"edu";
}

/// The system's separator between hours and minutes.
QChar timeSeparator()
{
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    qsizetype at = 0;
    while (at < format.size() && format.at(at).toLower() != u'h')
        ++at;
    while (at < format.size() && format.at(at).toLower() == u'h')
        ++at;
    if (at < format.size() && !format.at(at).isLetterOrNumber() && !format.at(at).isSpace() &&
        format.at(at) != u'\'')
        return format.at(at);
    return u':';
}

/// The page's identifier: a fingerprint of the slides it holds, taken
/// sixteen characters at a time in four lanes (a large show's page is
/// tens of megabytes).
QString pageIdentifier(QStringView slides)
{
    quint64 lanes[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull,
                        quint64(slides.size())};
    const auto mix = [](quint64& lane, quint64 word) {
        lane = (lane ^ word) * 0xFF51AFD7ED558CCDull;
        lane ^= lane >> 32;
    };
    const char16_t* at = slides.utf16();
    const char16_t* const end = at + slides.size();
    for (; end - at >= 16; at += 16) {
        quint64 words[4];
        std::memcpy(words, at, sizeof words);
        for (int lane = 0; lane < 4; ++lane)
            mix(lanes[lane], words[lane]);
    }
    for (; at < end; ++at)
        mix(lanes[0], *at);
    quint64 hash = lanes[3];
    for (int lane = 0; lane < 3; ++lane)
        mix(hash, lanes[lane]);
    return QStringLiteral("%1")
        .arg(quint32(hash ^ (hash >> 29)), 8, 16, QLatin1Char('0'))
        .toUpper();
}

/// The show page's name as the start page refers to it: forward slashes,
/// and every character that would end the reference or change its meaning
/// percent-encoded.
QString pageReference(const QString& showPageFile)
{
    QString name = showPageFile;
    name.replace(u'\\', u'/');
    return QString::fromLatin1(QUrl::toPercentEncoding(name, QByteArrayLiteral("/:@!$()*+,;=~")));
}

char16_t* writeLatin1(char16_t* out, QLatin1StringView text)
{
    for (const char c : text)
        *out++ = char16_t(uchar(c));
    return out;
}

/// Writes the lines of one array straight into the page: a tab, the
/// element, " = ", the literal and ";". The page grows in large steps
/// and is cut to its length at the end (a large show has hundreds of
/// thousands of lines).
class ArrayWriter
{
public:
    ArrayWriter(QString& out, QLatin1StringView element)
        : m_out(out), m_element(element), m_used(out.size())
    {
    }

    void line(qint32 index, QStringView value)
    {
        const QLatin1StringView equals("] = ");
        const QLatin1StringView end(";\r\n");
        const qsizetype room =
            m_element.size() + 12 + equals.size() + JsText::literalRoom(value.size()) + end.size();
        if (m_out.size() - m_used < room) {
            m_out.resize(std::max(m_used + room, std::max(m_out.capacity(), m_used * 3 / 2)));
            m_base = reinterpret_cast<char16_t*>(m_out.data());
        }
        char digits[12];
        const char* const digitsEnd = std::to_chars(digits, digits + sizeof digits, index).ptr;
        char16_t* at = writeLatin1(m_base + m_used, m_element);
        at = writeLatin1(at, QLatin1StringView(digits, digitsEnd - digits));
        at = writeLatin1(at, equals);
        at = JsText::writeStringLiteral(at, value);
        at = writeLatin1(at, end);
        m_used = at - m_base;
    }

    /// Cuts the page to what was written.
    void finish() { m_out.truncate(m_used); }

private:
    QString& m_out;
    QLatin1StringView m_element;
    qsizetype m_used = 0;
    char16_t* m_base = nullptr;
};

/// Letters compared as the case-insensitive search of text does it.
bool sameNoCase(QChar a, QChar b)
{
    if (a == b)
        return true;
    if (a.unicode() < 0x80 && b.unicode() < 0x80)
        return (a.unicode() | 0x20) == (b.unicode() | 0x20) && (a.unicode() | 0x20) >= u'a' &&
               (a.unicode() | 0x20) <= u'z';
    return a.toCaseFolded() == b.toCaseFolded();
}

/// The relocation of one show's addresses: the local path, in any letter
/// case and written with either separator, replaced by the web path.
class Relocation
{
public:
    Relocation(const QString& localPath, const QString& webPath)
        : m_local(localPath), m_web(webPath)
    {
        m_local.replace(u'\\', u'/');
        m_web.replace(u'\\', u'/');
        if (!m_local.isEmpty()) {
            m_firstLower = m_local.front().toLower();
            m_firstUpper = m_local.front().toUpper();
        }
    }

    QString publish(const QString& href, qsizetype* length) const;

private:
    qsizetype find(QStringView address, qsizetype from) const;
    QString relocate(const QString& address) const;

    QString m_local;
    QString m_web;
    QChar m_firstLower;
    QChar m_firstUpper;
};

qsizetype Relocation::find(QStringView address, qsizetype from) const
{
    // Most addresses never hold the local path. When its first character
    // is plain ASCII, the address is searched for it in either case (a
    // fast search) before anything is folded.
    const QChar first = m_local.front();
    const bool asciiFirst = first.unicode() < 0x80;
    const qsizetype last = address.size() - m_local.size();
    for (qsizetype at = from; at <= last; ++at) {
        if (asciiFirst) {
            qsizetype lower = address.indexOf(m_firstLower, at);
            qsizetype upper = m_firstUpper == m_firstLower ? -1 : address.indexOf(m_firstUpper, at);
            if (lower < 0 || (upper >= 0 && upper < lower))
                lower = upper;
            if (lower < 0 || lower > last)
                return -1;
            at = lower;
        } else if (!sameNoCase(address[at], first)) {
            continue;
        }
        qsizetype matched = 1;
        while (matched < m_local.size() && sameNoCase(address[at + matched], m_local[matched]))
            ++matched;
        if (matched == m_local.size())
            return at;
    }
    return -1;
}

QString Relocation::relocate(const QString& address) const
{
    qsizetype at = m_local.isEmpty() ? -1 : find(address, 0);
    if (at < 0)
        return address;
    QString result;
    result.reserve(address.size() + m_web.size());
    qsizetype from = 0;
    while (at >= 0) {
        result += QStringView(address).sliced(from, at - from);
        result += m_web;
        from = at + m_local.size();
        at = find(address, from);
    }
    result += QStringView(address).sliced(from);
    return result;
}

QString Relocation::publish(const QString& href, qsizetype* length) const
{
    const qsizetype measured = href.size();
    if (measured <= 4) {
        *length = 0;
        return href;
    }
    *length = measured;
    QString address = href;
    // Both paths of the relocation have forward slashes already.
    address.replace(u'\\', u'/');
    address = relocate(address);
    if (address.startsWith(QLatin1StringView("http:")) || hasScheme(address))
        return address;
    if (address.startsWith(QLatin1StringView("www.")) || endsInWebDomain(address, measured)) {
        *length += 7;
        return QStringLiteral("http://") + address;
    }
    return address;
}

QString publishedSound(const cURL& slide)
{
    if (slide.SkipField || slide.SoundFile.isEmpty())
        return QString();
    QString sound = slide.SoundFile;
    sound.replace(u'\\', u'/');
    return sound;
}

/// Appends the lines of the slides array (see BuildSlideArrays) and
/// keeps each slide's published sound for the sounds array: the show is
/// walked once.
void appendSlidesLines(const colURLs& show, const Relocation& relocation, qint16& longest,
                       QString& out, std::vector<QString>& sounds)
{
    ArrayWriter lines(out, QLatin1StringView("\tslides["));
    sounds.reserve(std::size_t(show.Count()));
    qint32 index = 0;
    QString address;
    for (const colURLs::Slide& slide : show) {
        address.clear();
        if (!slide->SkipField) {
            qsizetype length = 0;
            address = relocation.publish(slide->HREF, &length);
            longest = qint16(std::clamp<qsizetype>(length, longest, 32767));
        }
        const QString& sound = sounds.emplace_back(publishedSound(*slide));
        if (modMain::DebugMode)
            modMain::WriteLog(u'[' + signedNumber(index) + QStringLiteral("] ID: ") + address +
                              QStringLiteral(" sound File: ") + sound);
        lines.line(index, address);
        ++index;
    }
    lines.finish();
}

/// Appends the lines of the sounds array: sounds are not relocated.
void appendSoundsLines(const std::vector<QString>& sounds, QString& out)
{
    ArrayWriter lines(out, QLatin1StringView("\tsounds["));
    qint32 index = 0;
    for (const QString& sound : sounds)
        lines.line(index++, sound);
    lines.finish();
}

// Room reserved for the array lines of one slide: a page that needs more
// grows in large steps as it is written.
constexpr qsizetype SlideLineRoom = 80;
constexpr qsizetype SoundLineRoom = 24;

} // namespace

QString PublishAddress(const QString& href, const QString& localPath, const QString& webPath,
                       qsizetype* length)
{
    return Relocation(localPath, webPath).publish(href, length);
}

SlideArrays BuildSlideArrays(const colURLs& show, const QString& localPath, const QString& webPath,
                             qint16& longest)
{
    SlideArrays arrays;
    arrays.slides.reserve(qsizetype(show.Count()) * SlideLineRoom);
    arrays.sounds.reserve(qsizetype(show.Count()) * SoundLineRoom);
    std::vector<QString> sounds;
    appendSlidesLines(show, Relocation(localPath, webPath), longest, arrays.slides, sounds);
    appendSoundsLines(sounds, arrays.sounds);
    return arrays;
}

QString BuildShowPage(const QString& title, qint32 pause, bool useSound, const colURLs& show,
                      const QString& localPath, const QString& webPath, bool autoStart,
                      qint16& longest, const QDateTime& generatedAt)
{
    const QDateTime at = generatedAt.isValid() ? generatedAt : QDateTime::currentDateTime();
    const QString stamp = at.toString(QStringLiteral("MM-dd-yy ")) +
                          at.toString(QStringLiteral("HH")) + timeSeparator() +
                          at.toString(QStringLiteral("mm"));

    // The arrays are written straight into the page; the identifier, which
    // depends on them, takes its place in the second line afterwards.
    QString page;
    page.reserve(qsizetype(show.Count()) * (SlideLineRoom + SoundLineRoom) + 64 * 1024);
    page += QStringLiteral("<!-- Auto generated by Pagewheel -->\r\n<!-- ") + stamp +
            QStringLiteral(" Do not modify ID ");
    const qsizetype identifierAt = page.size();
    page += QStringLiteral("00000000 -->\r\n<html>\r\n<head>\r\n<title>") +
            JsText::htmlText(title) +
            QStringLiteral("</title>\r\n</head>\r\n<script LANGUAGE=\"JavaScript\">\r\n"
                           "<!-- Hide\r\n"
                           "/****** GLOBALS ********/\r\n"
                           "var nSlide =-1;\r\n"
                           "var nTimer = null;\r\n"
                           "var MAX_SLIDE =") +
            signedNumber(show.Count()) + QStringLiteral(";\r\nvar SEC_PAUSE =") +
            signedNumber(pause) + QStringLiteral(";\r\nvar bUseSnd = ") +
            (useSound ? QStringLiteral("true") : QStringLiteral("false")) +
            QStringLiteral(";\r\n"
                           "var slides = new Array(MAX_SLIDE);\r\n"
                           "var sounds = new Array(MAX_SLIDE);\r\n"
                           "var newone = null;\r\n"
                           "var bSndNowOn = false;\r\n"
                           "var sHome = \"\";\r\n"
                           "\r\n"
                           "function init_array() {\r\n");
    const qsizetype arraysFrom = page.size();
    std::vector<QString> sounds;
    appendSlidesLines(show, Relocation(localPath, webPath), longest, page, sounds);
    page += QStringLiteral("}\r\n\r\nfunction init_sounds() {\r\n");
    appendSoundsLines(sounds, page);
    const QString identifier =
        pageIdentifier(QStringView(page).sliced(arraysFrom, page.size() - arraysFrom));
    page.replace(identifierAt, identifier.size(), identifier);
    page += QStringLiteral("}\r\n\r\n");

    QString control = ReadTemplate(QStringLiteral("NAV") + u'.' + QStringLiteral("txt"));
    // A page without its script would run nothing: no page at all lets the
    // caller report the failure.
    if (control.isEmpty())
        return QString();
    if (autoStart)
        control.replace(QLatin1StringView("onload=\"start_man()\""),
                        QLatin1StringView("onload=\"start_auto()\""));
    page += control;
    return page;
}

QString BuildStartPage(const QString& showPageFile, const QString& width,
                       const QString& templateName)
{
    if (templateName.isEmpty())
        return QString();
    QString page = ReadTemplate(templateName);
    page.replace(QLatin1StringView("DO_NOT_ALTER_FILE"), pageReference(showPageFile));
    page.replace(QLatin1StringView("DO_NOT_ALTER_WIDTH"), width);
    return page;
}

QString ReadTemplate(const QString& fileName, bool* ok)
{
    const QString path = modMain::AppFolder + fileName;
    QFile file(path);
    QByteArray bytes;
    bool read = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    if (read) {
        bytes = file.readAll();
        read = file.error() == QFileDevice::NoError;
    }
    if (ok)
        *ok = read;
    if (!read) {
        const VbError error = file.isOpen() ? VbErrors::make(VbErrors::PathFileAccess)
                                            : TextFileReader::openError(path);
        Prompts::MsgBox(QStringLiteral("Error reading template file: ") + path + NewLine +
                            QStringLiteral("Error: ") + QString::number(error.number) + NewLine +
                            QStringLiteral("Description: ") + error.description,
                        Prompts::vbOKOnly + Prompts::vbExclamation);
        return QString();
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return TextCodec::decode(bytes, TextCodec::isValidUtf8(bytes)
                                        ? TextCodec::Encoding::Utf8
                                        : TextCodec::Encoding::Windows1252);
}

bool WritePage(const QString& fileName, const QString& text, VbError* error)
{
    // Encoded a block at a time: a large show's page never sits in memory
    // a second time as a whole.
    constexpr qsizetype Block = 256 * 1024;
    TextFileWriter writer(fileName);
    if (!writer.open(error))
        return false;
    QStringEncoder utf8(QStringEncoder::Utf8);
    QByteArray bytes(utf8.requiredSpace(Block), Qt::Uninitialized);
    for (qsizetype from = 0; from < text.size(); from += Block) {
        const QStringView block =
            QStringView(text).sliced(from, std::min(Block, text.size() - from));
        char* const end = utf8.appendToBuffer(bytes.data(), block);
        writer.writeRaw(QByteArrayView(bytes.constData(), end - bytes.constData()));
    }
    writer.writeRaw("\r\n");
    return writer.commit(error);
}

QString StartPageWidth(qint16 longest)
{
    if (longest < 20)
        return QStringLiteral("240");
    if (longest < 30)
        return QStringLiteral("290");
    if (longest < 40)
        return QStringLiteral("370");
    if (longest < 60)
        return QStringLiteral("400");
    if (longest < 80)
        return QStringLiteral("425");
    if (longest < 100)
        return QStringLiteral("430");
    return QStringLiteral("450");
}

} // namespace modTemplate
