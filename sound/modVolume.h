// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

/// The wave output volume, each channel 0..65535, and the 0..16 scale of
/// the volume sliders.
namespace modVolume {

/// Reads the left and right volume; when the sound cannot be reached it
/// says so ("Sound Access Error") and both are 0.
void GetWaveVolume(qint32& left, qint32& right);
/// Sets the left and right volume.
void SetWaveVolume(qint32 left, qint32 right);

/// The volume of a slider value: v * 4096 - 1, and 0 for 0.
qint32 SliderToVolume(int value);
/// The slider value of a volume: volume / 4095, rounded.
int VolumeToSlider(qint32 volume);
/// The label of a volume: its share of 65535 as "##0%".
QString VolumePercent(qint32 volume);

} // namespace modVolume
