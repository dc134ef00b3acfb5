// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Makes a file unwritable for the life of the guard. Permission bits do
/// not stop root, so the immutable attribute is used where they do not
/// hold; the guard gives it back, so a temporary folder can be removed.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    /// True when the file really cannot be written (tests skip otherwise).
    bool holds() const;

private:
    QString m_path;
    bool m_immutable = false;
};
