// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

/// Sizes and positions in twips (1/1440 inch), converted at the screen's
/// logical DPI: 15 twips to a pixel at 96 DPI.
namespace Twips {

/// Twips in one pixel of the primary screen.
double perPixel();
/// Pixels of a length in twips (rounded).
int toPixels(int twips);
/// Twips of a length in pixels (rounded).
int fromPixels(int pixels);
/// A rectangle given in twips, in pixels.
QRect rect(int left, int top, int width, int height);
/// Places a widget at a rectangle given in twips.
void place(QWidget* widget, int left, int top, int width, int height);

} // namespace Twips
