// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "show/cURL.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

/// A show: the slides in order (positions 1 to Count), its file name and
/// two flags. The show owns its slides; a caller that keeps a slide's
/// pointer keeps the slide alive after the show drops it.
class colURLs
{
public:
    using Slide = std::shared_ptr<cURL>;
    using const_iterator = std::vector<Slide>::const_iterator;

    QString TrayFilename; ///< the file the show was read from or is saved to
    bool Changed = false; ///< edited since last read or saved
    bool NewFile = false; ///< has no file of its own yet

    /// Drops every slide; the three fields stay as they are.
    void EraseAll();
    /// Appends a slide with these values (other fields at their defaults).
    Slide Add(const QString& HREF, const QString& SoundFile, qint32 PauseTime, bool SkipField,
              const QString& key = QString());
    /// The slide at a 1-based position, or nullptr (logged in ErrorMode).
    Slide Item(qint32 position) const;
    /// The slide registered under a key, or nullptr.
    Slide Item(const QString& key) const;
    qint32 Count() const;

    /// For-each over the slides in order.
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

    /// In DebugMode, one log line per slide.
    void Print_URLs() const;
    /// Writes the show to TrayFilename.
    void SavetoDisk();
    /// Replaces the slides by those of a show file; true on success.
    bool Read_in_file(const QString& fileName);
    /// Writes every slide as a bookmark of a bookmark file; clears Changed
    /// when the file was written.
    void Export_Bookmarks(const QString& fileName);

private:
    /// Appends a slide, taking over the two texts.
    Slide append(QString HREF, QString SoundFile, qint32 PauseTime, bool SkipField);
    /// Reserves room for the slides a file of this size likely holds,
    /// judged by the lines read so far.
    void reserveFor(qint64 fileSize, qint64 bytesSeen);

    std::vector<Slide> m_items;
    QHash<QString, Slide> m_keys;
};
