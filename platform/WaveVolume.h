// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QtGlobal>

/// The errors the volume layer reports.
namespace WaveVolumeErrors {
constexpr int ServerNotRunning = 30010; ///< "The sound server is not running"
constexpr int NoOutput = 30011;         ///< "No sound output device"
constexpr int Failed = 30012;           ///< "The sound server refused the request"

VbError make(int number);
} // namespace WaveVolumeErrors

/// The wave output volume: the default sound output's left and right
/// channel on the sound server (PulseAudio, or PipeWire's pulse server),
/// each 0..65535 as the old wave output gave it. 65535 is the output's
/// normal volume; a louder setting made elsewhere reads as 65535. An
/// output with a single channel reads as that channel on both sides and
/// is set from the left. Every call is a short, synchronous conversation
/// with the server, given up after a second.
namespace WaveVolume {

struct Channels
{
    quint16 left = 0;
    quint16 right = 0;
};

/// Reads the volume; false with the reason when the server cannot be
/// reached or has no output.
bool get(Channels* volume, VbError* error = nullptr);
/// Sets the volume; false with the reason.
bool set(const Channels& volume, VbError* error = nullptr);
/// The sound server answers.
bool serverRunning();

} // namespace WaveVolume
