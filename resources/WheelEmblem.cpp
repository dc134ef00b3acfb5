// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/WheelEmblem.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

#include <cmath>
#include <numbers>

using namespace WheelEmblem;

QPointF WheelEmblem::polar(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

void WheelEmblem::draw(QPainter& p, QPointF centre, qreal r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(Cream, r * 0.035));
    for (int i = 0; i < 6; ++i)
        p.drawLine(polar(centre, r * 0.2, i * 60.0 - 90.0),
                   polar(centre, r * 0.78, i * 60.0 - 90.0));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Cream, r * 0.07));
    p.drawEllipse(centre, r * 0.8, r * 0.8);

    const QSizeF page(r * 0.34, r * 0.44);
    for (int i = 0; i < 6; ++i) {
        const qreal angle = i * 60.0 - 90.0;
        p.save();
        p.translate(polar(centre, r * 0.8, angle));
        const QRectF rect(-page.width() / 2, -page.height() / 2, page.width(), page.height());
        const bool lit = i == 0;
        p.setPen(QPen(lit ? Amber.darker(130) : Navy, r * 0.025));
        p.setBrush(lit ? Amber : Cream);
        p.drawRoundedRect(rect, r * 0.04, r * 0.04);
        // Three text lines on each page.
        p.setPen(QPen(lit ? Navy : Teal, r * 0.022, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 3; ++line) {
            const qreal y = rect.top() + page.height() * (0.3 + 0.2 * line);
            const qreal right = rect.right() - page.width() * (line == 2 ? 0.45 : 0.22);
            p.drawLine(QPointF(rect.left() + page.width() * 0.22, y), QPointF(right, y));
        }
        p.restore();
    }

    p.setPen(QPen(Cream, r * 0.03));
    p.setBrush(Amber);
    p.drawEllipse(centre, r * 0.16, r * 0.16);
    p.setBrush(Navy);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, r * 0.06, r * 0.06);
    p.restore();
}

void WheelEmblem::drawIcon(QPainter& p, qreal size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 0, size, size);
    tile.setColorAt(0.0, Navy);
    tile.setColorAt(1.0, Teal);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(size * 0.03, size * 0.03, size * 0.94, size * 0.94), size * 0.2,
                      size * 0.2);
    draw(p, QPointF(size / 2, size / 2), size * 0.4);
    p.restore();
}

QIcon WheelEmblem::programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        drawIcon(p, size);
        p.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
