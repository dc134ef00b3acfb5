// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Where a dialog opens: each dialog keeps its left and top edges (in
/// twips) in the "Settings" section under its window name + "Left" and
/// + "Top", restores them when it opens and saves them when it closes.
namespace DialogPosition {

struct Position
{
    qint32 left = 0;
    qint32 top = 0;
};

/// The stored position; each edge not stored (or no number) is the
/// design-time one.
Position Load(const QString& windowName, const Position& designPosition);
/// Stores the position, only when the window is neither minimized nor
/// maximized (the next opening then uses the previous one).
void Save(const QString& windowName, const Position& position, bool minimized, bool maximized);

/// A further value of the window's own (e.g. "Width", "ListWidth2"):
/// stored under window name + suffix.
qint32 LoadValue(const QString& windowName, const QString& suffix, qint32 defaultValue);
/// Stores it, under the same condition as Save.
void SaveValue(const QString& windowName, const QString& suffix, qint32 value, bool minimized,
               bool maximized);

} // namespace DialogPosition
