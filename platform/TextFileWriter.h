// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

/// Writes a text file in UTF-8 with CR LF line ends. The new text goes to
/// a temporary file in the same folder, which replaces the old file only
/// when all of it was written: a failed write leaves the old file whole.
/// A writable file in a folder the user may not write to is written in
/// place, as the user expects: the text is gathered first and written only
/// once the disk has given room for all of it, so there too a failure
/// leaves the old file whole.
class TextFileWriter
{
public:
    explicit TextFileWriter(const QString& path);

    /// Opens the temporary file; false with the error when the folder or
    /// an existing read-only file forbids writing.
    bool open(VbError* error);
    void writeLine(QStringView line);
    /// Writes raw bytes (already encoded, line ends included).
    void writeRaw(QByteArrayView bytes);
    /// Writes what is left and replaces the file; false with the error
    /// when any write failed (the old file is then untouched).
    bool commit(VbError* error);

private:
    bool flush();
    bool writeInPlace();
    VbError writeError() const;

    QSaveFile m_file;
    QByteArray m_buffer;
    bool m_inPlace = false;
    bool m_failed = false;
    int m_errno = 0;
};
