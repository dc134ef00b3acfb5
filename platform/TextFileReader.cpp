// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

class LineSplitter
{
public:
    LineSplitter(QFile& file, qsizetype blockSize) : m_file(file), m_blockSize(blockSize) {}

    /// Fills the buffer with the first block; false on a read error.
    bool fill()
    {
        if (m_end - m_begin == m_buffer.size() && m_begin == 0)
            m_buffer.resize(qMax<qsizetype>(m_blockSize, m_buffer.size() * 2));
        if (m_begin > 0) {
            std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, m_end - m_begin);
            m_base += m_begin;
            m_end -= m_begin;
            m_scanned = qMax<qsizetype>(0, m_scanned - m_begin);
            m_begin = 0;
        }
        if (m_buffer.isEmpty())
            m_buffer.resize(m_blockSize);
        const qint64 got = m_file.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got < 0)
            return false;
        if (got == 0)
            m_eof = true;
        m_end += got;
        return true;
    }

    /// The bytes up to the last complete line end in the buffer (all of it
    /// at the end of the file).
    QByteArrayView completeLines() const
    {
        if (m_eof)
            return QByteArrayView(m_buffer.constData() + m_begin, m_end - m_begin);
        qsizetype last = m_end;
        while (last > m_begin && m_buffer[last - 1] != '\n' && m_buffer[last - 1] != '\r')
            --last;
        return QByteArrayView(m_buffer.constData() + m_begin, last - m_begin);
    }

    /// The next line, reading more of the file as needed; false at the end
    /// or on a read error (see failed()). A line ends at LF, CR LF, or a CR
    /// alone, as old Mac files end their lines.
    bool next(QByteArrayView* line)
    {
        for (;;) {
            const char* const base = m_buffer.constData();
            const char* const from = base + qMax(m_begin, m_scanned);
            const char* const end = base + m_end;
            const char* const lf = search(from, end, '\n');
            const char* const cr = search(from, lf ? lf : end, '\r');
            // A CR last in the buffer may yet be followed by its LF.
            if (cr && (cr + 1 < end || m_eof)) {
                const qsizetype at = cr - base;
                *line = take(at, cr + 1 == lf ? at + 2 : at + 1);
                return true;
            }
            if (lf && !cr) {
                const qsizetype at = lf - base;
                *line = take(at, at + 1);
                return true;
            }
            m_scanned = cr ? cr - base : m_end;
            if (m_eof) {
                if (m_begin >= m_end)
                    return false;
                *line = take(m_end, m_end);
                return true;
            }
            if (!fill()) {
                m_failed = true;
                return false;
            }
        }
    }

    bool failed() const { return m_failed; }
    /// Bytes of the file handed out so far, line ends included.
    qint64 consumed() const { return m_base + m_begin; }

private:
    static const char* search(const char* from, const char* end, char c)
    {
        return from < end ? static_cast<const char*>(std::memchr(from, c, size_t(end - from)))
                          : nullptr;
    }

    QByteArrayView take(qsizetype lineEnd, qsizetype next)
    {
        const QByteArrayView line(m_buffer.constData() + m_begin, lineEnd - m_begin);
        m_begin = next;
        m_scanned = next;
        return line;
    }

    QFile& m_file;
    qsizetype m_blockSize;
    QByteArray m_buffer;
    qint64 m_base = 0;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    qsizetype m_scanned = 0;
    bool m_eof = false;
    bool m_failed = false;
};

VbError readError()
{
    return VbErrors::make(VbErrors::PathFileAccess);
}

} // namespace

VbError TextFileReader::openError(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        return VbErrors::make(VbErrors::BadFileName);
    if (!info.exists()) {
        if (!info.absoluteDir().exists())
            return VbErrors::make(VbErrors::PathNotFound);
        return VbErrors::make(VbErrors::FileNotFound);
    }
    return VbErrors::make(VbErrors::PathFileAccess);
}

bool TextFileReader::forEachLine(const QString& path, const LineFn& onLine,
                                 const std::function<void()>& onRestart, VbError* error,
                                 qsizetype blockSize)
{
    using TextCodec::Encoding;
    QFile file(path);
    // Only regular files: a pipe could block and a device never end.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = openError(path);
        return false;
    }

    // A small file gets a block of its own size, not the full block.
    blockSize = qsizetype(qMin<qint64>(blockSize, qMax<qint64>(4096, file.size() + 1)));
    Encoding encoding = Encoding::Utf8;
    bool restarted = false;
    for (;;) {
        LineSplitter splitter(file, blockSize);
        if (!splitter.fill()) {
            if (error)
                *error = readError();
            return false;
        }
        // The first block decides the encoding before any line is handed out.
        qsizetype checkedUpTo = 0;
        if (encoding == Encoding::Utf8) {
            const QByteArrayView first = splitter.completeLines();
            if (!TextCodec::isValidUtf8(first))
                encoding = Encoding::Windows1252;
            checkedUpTo = first.size();
        }

        bool mustRestart = false;
        bool first = true;
        QByteArrayView line;
        while (splitter.next(&line)) {
            // A byte-order mark, as some editors write, is no part of the text.
            if (first && line.startsWith("\xEF\xBB\xBF"))
                line = line.sliced(3);
            first = false;
            if (encoding == Encoding::Utf8 && splitter.consumed() > checkedUpTo &&
                !TextCodec::isValidUtf8(line)) {
                encoding = Encoding::Windows1252;
                mustRestart = true;
                break;
            }
            onLine(line, encoding);
        }
        if (splitter.failed()) {
            if (error)
                *error = readError();
            return false;
        }
        if (!mustRestart || restarted)
            return true;
        restarted = true;
        if (onRestart)
            onRestart();
        file.seek(0);
    }
}
