// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TextCodec.h"
#include "platform/VbError.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

/// Reads a text file line by line in blocks, so a large file never sits
/// in memory twice. Lines end at LF, CR LF or a lone CR; a leading UTF-8 byte-order
/// mark is dropped. The file is read as UTF-8 unless it is not valid
/// UTF-8, when it is read as Windows-1252. Only regular files are read.
class TextFileReader
{
public:
    /// Receives each line (without its end) and the encoding to decode it with.
    using LineFn = std::function<void(QByteArrayView line, TextCodec::Encoding encoding)>;

    /// Reads the file. When invalid UTF-8 turns up after lines were
    /// already handed out as UTF-8, onRestart is called and the file is
    /// read again from its start as Windows-1252 (only files larger than
    /// one block can need this). False with the error when the file could
    /// not be opened or read.
    static bool forEachLine(const QString& path, const LineFn& onLine,
                            const std::function<void()>& onRestart, VbError* error,
                            qsizetype blockSize = 8 << 20);

    /// The error of a file that could not be opened for reading.
    static VbError openError(const QString& path);
};
