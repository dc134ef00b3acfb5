// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/modVolume.h"

#include "platform/Prompts.h"
#include "platform/WaveVolume.h"
#include "startup/modMain.h"

#include <algorithm>
#include <cmath>

namespace modVolume {

namespace {

constexpr qint32 FullVolume = 65535;
constexpr int SliderMaximum = 16;

quint16 clamp(qint32 volume)
{
    return quint16(std::clamp(volume, 0, FullVolume));
}

} // namespace

void GetWaveVolume(qint32& left, qint32& right)
{
    WaveVolume::Channels volume;
    VbError error;
    if (!WaveVolume::get(&volume, &error)) {
        left = right = 0;
        Prompts::MsgBox(QStringLiteral("Error setting volume in system") + QStringLiteral("\r\n") +
                            QStringLiteral(" Error code returned was ") +
                            QString::number(error.number) + QStringLiteral("."),
                        Prompts::vbExclamation, QStringLiteral("Sound Access Error"));
        modMain::errorLog(QStringLiteral("Volume read error ") + QString::number(error.number) +
                          QStringLiteral(",  Description: ") + error.description);
        return;
    }
    left = volume.left;
    right = volume.right;
}

void SetWaveVolume(qint32 left, qint32 right)
{
    VbError error;
    // Each slider step sets the volume; a server that went away is worth
    // a line, not a box at every step.
    if (!WaveVolume::set({clamp(left), clamp(right)}, &error))
        modMain::errorLog(QStringLiteral("Volume set error ") + QString::number(error.number) +
                          QStringLiteral(",  Description: ") + error.description);
}

qint32 SliderToVolume(int value)
{
    return value >= 1 ? std::min(value, SliderMaximum) * 4096 - 1 : 0;
}

int VolumeToSlider(qint32 volume)
{
    return std::clamp(int(std::lround(double(volume) / 4095.0)), 0, SliderMaximum);
}

QString VolumePercent(qint32 volume)
{
    return QString::number(std::lround(double(volume) * 100.0 / FullVolume)) + QLatin1Char('%');
}

} // namespace modVolume
