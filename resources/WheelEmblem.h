// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPointF>

class QPainter;

/// The program's emblem and the palette its artwork shares, drawn alike
/// by the build-time picture tool and the splash window.
namespace WheelEmblem {

inline const QColor Navy(0x0f, 0x25, 0x40);
inline const QColor Teal(0x15, 0x61, 0x6d);
inline const QColor Cream(0xfd, 0xf6, 0xe3);
inline const QColor Amber(0xff, 0xb3, 0x47);

/// The point at a radius and angle (degrees, clockwise from 3 o'clock).
QPointF polar(QPointF centre, qreal radius, qreal degrees);

/// A rim carrying six upright pages like the cars of a big wheel, one of
/// them lit (the slide on screen), spokes and a hub, of radius r.
void draw(QPainter& p, QPointF centre, qreal r);

/// The program's icon: the emblem on a rounded navy tile, so the cream
/// wheel reads on light and dark panels alike; size pixels square.
void drawIcon(QPainter& p, qreal size);

/// The program's icon at the usual sizes, for windows and boxes.
QIcon programIcon();

} // namespace WheelEmblem
