// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double DefaultDpi = 96.0;

} // namespace

double Twips::perPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : DefaultDpi;
    return TwipsPerInch / (dpi > 0 ? dpi : DefaultDpi);
}

int Twips::toPixels(int twips)
{
    return int(std::lround(twips / perPixel()));
}

int Twips::fromPixels(int pixels)
{
    return int(std::lround(pixels * perPixel()));
}

QRect Twips::rect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

void Twips::place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(rect(left, top, width, height));
}
