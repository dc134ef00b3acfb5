// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/colURLs.h"

#include "platform/InputFields.h"
#include "platform/Prompts.h"
#include "platform/TextFileReader.h"
#include "platform/TextFileWriter.h"
#include "platform/VbConvert.h"
#include "platform/VbError.h"
#include "startup/ShippedPath.h"
#include "startup/modMain.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

using TextCodec::Encoding;

// Records are formatted into chunks of this size before they go to the file.
constexpr qsizetype WriteChunk = 1 << 20;

// Lines read before the show's size is estimated from the file's size.
constexpr qint64 SampleLines = 4096;
// The smallest record a real slide plausibly takes; it bounds the estimate
// so a file that starts with tiny lines cannot reserve far too much.
constexpr qint64 SmallestRecord = 24;

QString slideLine(const cURL& slide)
{
    return QStringLiteral("ID: ") + slide.HREF + QStringLiteral(" sound File: ") + slide.SoundFile +
           QStringLiteral(" Pause Timer: ") + QString::number(slide.PauseTime);
}

void logReadError(const VbError& error)
{
    if (!modMain::ErrorMode)
        return;
    modMain::WriteLog(QStringLiteral("read_in_file ERROR: ") + QString::number(error.number) +
                      QStringLiteral("\r\nDescription: ") + error.description);
}

/// Field 4: #TRUE#/#FALSE#, the words True/False or a number; empty is
/// false. Anything else is a type mismatch and reads as false.
bool readSkip(const InputFields::Field& field, Encoding encoding)
{
    if (field.kind == InputFields::Kind::True)
        return true;
    if (field.kind == InputFields::Kind::False || field.bytes.isEmpty())
        return false;
    bool value = false;
    if (VbConvert::textToBool(field.text(encoding), &value))
        return value;
    logReadError(VbErrors::make(VbErrors::TypeMismatch));
    return false;
}

/// Field 3: the number at its start, rounded half to even into 32 bits,
/// so every pause the slide editor takes (up to 999999) reads back as
/// written. Out of range is an overflow and reads as 0.
qint32 readPause(const InputFields::Field& field, Encoding encoding)
{
    // Almost every pause is a few plain digits; those need no detour
    // through text and floating point.
    if (!field.bytes.isEmpty() && field.bytes.size() <= 9) {
        int value = 0;
        for (const char c : field.bytes) {
            if (c < '0' || c > '9') {
                value = -1;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (value >= 0)
            return value;
    }
    qint32 pause = 0;
    if (!VbConvert::toInt32(VbConvert::Val(field.text(encoding)), &pause)) {
        logReadError(VbErrors::make(VbErrors::Overflow));
        return 0;
    }
    return pause;
}

QString recordLine(qint32 accepted, const QString& href, const QString& sound, const QString& pause,
                   bool skip)
{
    return QString::number(accepted) + QStringLiteral("-> Frame:_") + href +
           QStringLiteral("_ Sound:_") + sound + QStringLiteral("_ Pause:_") + pause +
           QStringLiteral("_ Skip:_") + VbConvert::boolText(skip) + QStringLiteral("<-");
}

/// One slide as its line in a show file gives it.
struct Record
{
    QString href;
    QString sound;
    qint32 pause = 0;
    bool skip = false;
};

/// Reads the record of one line; false when the line holds no slide.
/// `accepted` is the number of slides taken so far, for the debug log.
bool readRecord(QByteArrayView line, Encoding encoding, qint32 accepted, Record* record)
{
    // One line is one record: a short line leaves the missing fields empty.
    InputFields::Field fields[4];
    InputFields::split(line, fields, 4);
    record->skip = readSkip(fields[3], encoding);
    if (fields[0].bytes.isEmpty() && fields[1].bytes.isEmpty()) {
        if (modMain::DebugMode)
            modMain::WriteLog(QStringLiteral("(Line  is empty)"));
        return false;
    }
    record->href = fields[0].text(encoding);
    record->sound = fields[1].text(encoding);
    if (modMain::DebugMode)
        modMain::WriteLog(recordLine(accepted, record->href, record->sound,
                                     fields[2].text(encoding), record->skip));
    record->pause = readPause(fields[2], encoding);
    return true;
}

void reportReadFailure(const QString& fileName, const VbError& error, bool partWay)
{
    if (partWay) {
        // The slides read before the failure stay.
        logReadError(error);
    } else if (modMain::ErrorMode) {
        modMain::WriteLog(QStringLiteral("Opening read_in_file ERROR: ") +
                          QString::number(error.number) + QStringLiteral("\r\nDescription: ") +
                          error.description);
    }
    Prompts::MsgBox(QStringLiteral("The Show file, ") + fileName +
                        QStringLiteral(", is not valid."),
                    Prompts::vbOKOnly + Prompts::vbExclamation, QStringLiteral("File Error"));
}

/// Formats records straight into a byte buffer, so saving a large show
/// builds no text per slide.
class RecordFormatter
{
public:
    void append(const cURL& slide)
    {
        const qsizetype worstCase = m_utf8.requiredSpace(slide.HREF.size()) +
                                    m_utf8.requiredSpace(slide.SoundFile.size()) + 32;
        if (m_buffer.size() < m_used + worstCase)
            m_buffer.resize(std::max(m_used + worstCase, WriteChunk + 4096));
        char* out = m_buffer.data() + m_used;
        *out++ = '"';
        out = m_utf8.appendToBuffer(out, slide.HREF);
        out = put(out, "\",\"");
        out = m_utf8.appendToBuffer(out, slide.SoundFile);
        out = put(out, "\",\"");
        out = std::to_chars(out, out + 12, slide.PauseTime).ptr;
        out = slide.SkipField ? put(out, "\",#TRUE#\r\n") : put(out, "\",#FALSE#\r\n");
        m_used = out - m_buffer.constData();
    }

    bool full() const { return m_used >= WriteChunk; }
    QByteArrayView bytes() const { return QByteArrayView(m_buffer.constData(), m_used); }
    void clear() { m_used = 0; }

private:
    template <std::size_t N> static char* put(char* out, const char (&text)[N])
    {
        std::memcpy(out, text, N - 1);
        return out + N - 1;
    }

    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    QByteArray m_buffer;
    qsizetype m_used = 0;
};

void reportSaveError(const VbError& error)
{
    const QString number = QString::number(error.number);
    Prompts::MsgBox(QStringLiteral("You selected an invalid file, Error: ") + number +
                        QStringLiteral("\r\n") + error.description,
                    Prompts::vbOKOnly);
    if (modMain::ErrorMode)
        modMain::WriteLog(QStringLiteral("Save to disk: user selected an invalid file, Error: ") +
                          number + QStringLiteral("\r\n") + error.description);
}

} // namespace

void colURLs::EraseAll()
{
    // A new, empty collection: the old one's memory goes back at once.
    std::vector<Slide>().swap(m_items);
    m_keys.clear();
}

colURLs::Slide colURLs::Add(const QString& HREF, const QString& SoundFile, qint32 PauseTime,
                            bool SkipField, const QString& key)
{
    // Like the old keyed collection, a key already in use adds nothing.
    if (!key.isEmpty() && m_keys.contains(key))
        return nullptr;
    Slide slide = append(HREF, SoundFile, PauseTime, SkipField);
    if (!key.isEmpty())
        m_keys.insert(key, slide);
    return slide;
}

colURLs::Slide colURLs::append(QString HREF, QString SoundFile, qint32 PauseTime, bool SkipField)
{
    Slide& slide = m_items.emplace_back(std::make_shared<cURL>());
    slide->HREF = std::move(HREF);
    slide->SoundFile = std::move(SoundFile);
    slide->PauseTime = PauseTime;
    slide->SkipField = SkipField;
    return slide;
}

colURLs::Slide colURLs::Item(qint32 position) const
{
    if (position <= 0 || position > Count()) {
        if (modMain::ErrorMode)
            modMain::WriteLog(QStringLiteral("Invalid colURLS index") + QString::number(position));
        return nullptr;
    }
    return m_items[std::size_t(position - 1)];
}

colURLs::Slide colURLs::Item(const QString& key) const
{
    return m_keys.value(key);
}

qint32 colURLs::Count() const
{
    return qint32(m_items.size());
}

void colURLs::Print_URLs() const
{
    if (!modMain::DebugMode)
        return;
    for (const Slide& slide : m_items)
        modMain::WriteLog(slideLine(*slide));
}

void colURLs::SavetoDisk()
{
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("Saving contents to file: ") + TrayFilename);

    // The writer fills a temporary file and replaces the show file only
    // when all of it was written, so a failure leaves the old show whole.
    TextFileWriter writer(TrayFilename);
    VbError error;
    if (!writer.open(&error)) {
        reportSaveError(error);
        return;
    }
    RecordFormatter records;
    for (const Slide& slide : m_items) {
        if (modMain::DebugMode)
            modMain::WriteLog(slideLine(*slide));
        records.append(*slide);
        if (records.full()) {
            writer.writeRaw(records.bytes());
            records.clear();
        }
    }
    writer.writeRaw(records.bytes());
    if (!writer.commit(&error)) {
        reportSaveError(error);
        return;
    }
    Changed = false;
}

bool colURLs::Read_in_file(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    // Emptied before the file is opened: a file that cannot be read leaves
    // an empty show.
    EraseAll();
    const qint64 fileSize = QFileInfo(fileName).size();
    qint64 lines = 0;
    qint64 bytesSeen = 0;
    Record record;
    const QString showFolder = QFileInfo(fileName).absolutePath();
    const auto onLine = [&](QByteArrayView line, Encoding encoding) {
        ++lines;
        bytesSeen += line.size() + 2;
        if (lines == SampleLines)
            reserveFor(fileSize, bytesSeen);
        if (readRecord(line, encoding, Count(), &record))
            append(ShippedPath::resolve(record.href, showFolder),
                   ShippedPath::resolve(record.sound, showFolder), record.pause, record.skip);
    };
    // The file turned out not to be UTF-8 after some lines were taken as
    // UTF-8; it is read again from the start as Windows-1252.
    const auto onRestart = [&] {
        m_items.clear();
        m_keys.clear();
        lines = 0;
        bytesSeen = 0;
    };

    VbError error;
    if (!TextFileReader::forEachLine(fileName, onLine, onRestart, &error)) {
        reportReadFailure(fileName, error, lines > 0);
        return false;
    }
    TrayFilename = fileName;
    return true;
}

void colURLs::reserveFor(qint64 fileSize, qint64 bytesSeen)
{
    // Estimated from the lines read so far, and never more than records of
    // a plausible smallest size could fill: a large show then grows in one
    // step instead of by doubling, without reserving for slides that never
    // come.
    if (bytesSeen <= 0 || m_items.empty())
        return;
    const double perByte = double(m_items.size()) / double(bytesSeen);
    const qint64 estimate =
        std::min(qint64(double(fileSize) * perByte * 1.02) + 16, fileSize / SmallestRecord);
    if (estimate > qint64(m_items.capacity()))
        m_items.reserve(std::size_t(estimate));
}
