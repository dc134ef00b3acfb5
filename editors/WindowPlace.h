// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

/// A dialog's remembered place: its left and top edges (and, for some,
/// its width) in twips under the window's name in the settings store.
namespace WindowPlace {

/// Twips per pixel at the screen's logical DPI (15 at 96 DPI).
double twipsPerPixel();
int toTwips(int pixels);
int toPixels(int twips);

/// Moves the window to its stored place; the current one stands in for
/// what is not stored.
void restore(QWidget* window, const QString& name, bool withWidth);
/// Stores the place when the window is neither minimized nor maximized.
void save(QWidget* window, const QString& name, bool withWidth);

} // namespace WindowPlace
