// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextFileWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {
constexpr qsizetype FlushSize = 1 << 20;
}

TextFileWriter::TextFileWriter(const QString& path) : m_file(path)
{
    // A writable file in a folder the user may not write to is written in
    // place, as the user expects; only then can a failure leave it partly
    // written.
    m_file.setDirectWriteFallback(true);
}

bool TextFileWriter::open(VbError* error)
{
    const QFileInfo info(m_file.fileName());
    VbError failure;
    if (m_file.fileName().isEmpty() || info.isDir())
        failure = VbErrors::make(m_file.fileName().isEmpty() ? VbErrors::BadFileName
                                                             : VbErrors::PathFileAccess);
    else if (!info.absoluteDir().exists())
        failure = VbErrors::make(VbErrors::PathNotFound);
    // The permission bits, not access(): root may write anything, yet a
    // show the user made read-only must stay as it is.
    else if (info.exists()
             && (!info.isWritable()
                 || !(info.permissions()
                      & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther))))
        failure = VbErrors::make(VbErrors::PathFileAccess);
    else if (!m_file.open(QIODevice::WriteOnly))
        failure = VbErrors::make(errno == EACCES || errno == EPERM || errno == EROFS
                                     ? VbErrors::PermissionDenied
                                     : VbErrors::PathFileAccess);
    if (failure.isError()) {
        if (error)
            *error = failure;
        return false;
    }
    m_buffer.reserve(FlushSize + 4096);
    return true;
}

void TextFileWriter::writeLine(QStringView line)
{
    m_buffer.append(line.toUtf8());
    m_buffer.append("\r\n", 2);
    if (m_buffer.size() >= FlushSize)
        flush();
}

void TextFileWriter::writeRaw(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= FlushSize)
        flush();
}

bool TextFileWriter::flush()
{
    if (m_buffer.isEmpty() || m_failed)
        return !m_failed;
    errno = 0;
    if (m_file.write(m_buffer) != m_buffer.size()) {
        m_failed = true;
        m_errno = errno;
    }
    m_buffer.resize(0); // keeps the reserved capacity
    return !m_failed;
}

VbError TextFileWriter::writeError() const
{
    if (m_errno == ENOSPC || m_errno == EDQUOT || m_errno == EFBIG)
        return VbErrors::make(VbErrors::DiskFull);
    return VbErrors::make(VbErrors::PathFileAccess);
}

bool TextFileWriter::commit(VbError* error)
{
    flush();
    if (!m_failed) {
        errno = 0;
        if (!m_file.commit()) {
            m_failed = true;
            m_errno = errno;
        }
    } else {
        m_file.cancelWriting();
        m_file.commit();
    }
    if (m_failed && error)
        *error = writeError();
    return !m_failed;
}
