// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// A window's position and size, in twips.
struct WindowGeometry
{
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;
};

/// The main window's layout as the settings store keeps it: position,
/// size, which of its five bars are shown, and the recent-show list. Keys
/// are the window's name followed by a suffix ("frmMainMainLeft",
/// "frmMainBarSlideOn", "frmMainFile1" ...), in the "Settings" section of
/// the application's store.
///
/// Sizes are kept in 32 bits: a wide screen is more twips across than a
/// 16-bit number holds.
class cScreenSettings
{
public:
    static constexpr qint32 DefaultLeft = 105;
    static constexpr qint32 DefaultTop = 105;
    /// The most recent shows restored.
    static constexpr int RecentFiles = 5;

    explicit cScreenSettings(const QString& windowName = QStringLiteral("frmMain"));

    bool BarNavOn = false;
    bool BarSlideOn = false;
    bool BarCollectOn = false;
    bool BarOptOn = false;
    bool BarStatusOn = false;
    /// The default size; after GetPrevious the window's size.
    qint32 WidthLarge = 5745;
    qint32 HeightLarge = 4800;

    const QString& windowName() const { return m_windowName; }

    /// Writes the window's position and size and the five bar flags.
    void SaveSettings(const WindowGeometry& window) const;
    /// Reads the position and size back (defaults where none, or where a
    /// value is no number), keeps the size in WidthLarge and HeightLarge,
    /// and reads the bar flags (default shown).
    WindowGeometry GetPrevious();
    /// Writes the recent-show captions in order under "File1", "File2" ...,
    /// up to count of them and stopping at the first empty one.
    void SaveSettingsFiles(const QStringList& captions, int count) const;
    /// The recent shows, "File1" on, at most five, up to the first empty.
    QStringList GetPrevFiles() const;

private:
    QString key(const QString& suffix) const { return m_windowName + suffix; }
    void save(const QString& suffix, const QString& value) const;
    QString read(const QString& suffix, const QString& defaultValue = QString()) const;
    qint32 readNumber(const QString& suffix, qint32 defaultValue) const;
    bool readFlag(const QString& suffix) const;

    QString m_windowName;
};
