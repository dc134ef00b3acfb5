// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Makes a file read-only while it lives (immutable too where permission bits
/// do not stop root); undoes both when it goes, so the folder can be removed.
class UnwritableFile
{
public:
    explicit UnwritableFile(const QString& path);
    ~UnwritableFile();
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;

    /// True when the file really cannot be written (a test skips otherwise).
    bool holds() const;

private:
    QString m_path;
    bool m_immutable = false;
};
