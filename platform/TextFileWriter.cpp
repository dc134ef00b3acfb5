// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextFileWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype FlushSize = 1 << 20;

/// Whether this process may write the path, as the file system itself
/// judges it for the user it acts as.
bool mayWrite(const QString& path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

} // namespace

TextFileWriter::TextFileWriter(const QString& path) : m_file(path)
{
    // Writing in place is this class's own: the save file's fallback would
    // empty the old file before a byte of the new one is written.
    m_file.setDirectWriteFallback(false);
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
    else if (info.exists() &&
             (!info.isWritable() ||
              !(info.permissions() &
                (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther))))
        failure = VbErrors::make(VbErrors::PathFileAccess);
    else if (!m_file.open(QIODevice::WriteOnly)) {
        const int reason = errno;
        // The folder refuses a new file, yet the file itself may be written.
        m_inPlace = info.exists() && !mayWrite(info.absolutePath()) && mayWrite(info.filePath());
        if (!m_inPlace)
            failure = VbErrors::make(reason == EACCES || reason == EPERM || reason == EROFS
                                         ? VbErrors::PermissionDenied
                                         : VbErrors::PathFileAccess);
    }
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
    if (m_buffer.size() >= FlushSize && !m_inPlace)
        flush();
}

void TextFileWriter::writeRaw(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= FlushSize && !m_inPlace)
        flush();
}

bool TextFileWriter::flush()
{
    if (m_buffer.isEmpty() || m_failed || m_inPlace)
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

bool TextFileWriter::writeInPlace()
{
    const QByteArray name = QFile::encodeName(m_file.fileName());
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        m_errno = errno;
        return false;
    }
    // Room for the whole text first (taken back by the truncation below
    // when the old file was longer); only then is the old text overwritten.
    struct stat old = {};
    const off_t size = off_t(m_buffer.size());
    int result = ::fstat(fd, &old) == 0 ? 0 : errno;
    if (result == 0 && size > 0) {
        result = ::posix_fallocate(fd, 0, size);
        // A refusal may still have grown the file: back to its old length.
        if (result != 0 && ::ftruncate(fd, old.st_size) != 0)
            result = errno;
    }
    for (off_t done = 0; result == 0 && done < size;) {
        const ssize_t written =
            ::pwrite(fd, m_buffer.constData() + done, size_t(size - done), done);
        if (written < 0 && errno != EINTR)
            result = errno;
        else if (written > 0)
            done += written;
    }
    if (result == 0 && ::ftruncate(fd, size) != 0)
        result = errno;
    if (result == 0 && ::fsync(fd) != 0)
        result = errno;
    if (::close(fd) != 0 && result == 0)
        result = errno;
    m_errno = result;
    return result == 0;
}

bool TextFileWriter::commit(VbError* error)
{
    if (m_inPlace) {
        m_failed = !writeInPlace();
        m_buffer.clear();
        if (m_failed && error)
            *error = writeError();
        return !m_failed;
    }
    flush();
    errno = 0;
    // A small file waits in the file's own buffer until now, and a short
    // write of it when the file closes would go unreported: write it out
    // and look first.
    if (!m_failed && !m_file.flush()) {
        m_failed = true;
        m_errno = errno;
    }
    if (!m_failed) {
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
