// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/WindowPlace.h"

#include "settings/DialogPosition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace WindowPlace {

double twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toTwips(int pixels)
{
    return int(std::lround(pixels * twipsPerPixel()));
}

int toPixels(int twips)
{
    return int(std::lround(twips / twipsPerPixel()));
}

void restore(QWidget* window, const QString& name, bool withWidth)
{
    const QPoint at = window->pos();
    const DialogPosition::Position position =
        DialogPosition::Load(name, {toTwips(at.x()), toTwips(at.y())});
    window->move(toPixels(position.left), toPixels(position.top));
    if (withWidth) {
        const int width =
            DialogPosition::LoadValue(name, QStringLiteral("Width"), toTwips(window->width()));
        window->resize(std::max(toPixels(width), window->minimumWidth()), window->height());
    }
}

void save(QWidget* window, const QString& name, bool withWidth)
{
    const bool minimized = window->isMinimized();
    const bool maximized = window->isMaximized() || window->isFullScreen();
    const QPoint at = window->pos();
    DialogPosition::Save(name, {toTwips(at.x()), toTwips(at.y())}, minimized, maximized);
    if (withWidth)
        DialogPosition::SaveValue(name, QStringLiteral("Width"), toTwips(window->width()),
                                  minimized, maximized);
}

} // namespace WindowPlace
