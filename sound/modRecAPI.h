// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

/// Recording a wave sound step by step on a recording device named by its
/// device id. Each step returns the device's error code (0 = success) and,
/// on a failure, shows it with MciErrorText.
namespace modRecAPI {

/// Opens a new, empty recording on the default input; deviceId gets its id.
quint16 MciOpenWave(quint32& deviceId);
/// Sets the recording format: PCM, 1 channel, 8 bits, 11025 samples a second.
quint16 MciSetFormat(quint32 deviceId);
/// Starts recording; returns at once while it records.
quint16 MciRecord(quint32 deviceId);
/// Stops recording.
quint16 MciStop(quint32 deviceId);
/// Writes the recording to a wave file.
quint16 MciSave(quint32 deviceId, const QString& fileName);
/// Closes the device; a recording not saved is lost.
quint16 MciClose(quint32 deviceId);
/// Logs the error's text and shows "MCI Error: " with it.
void MciErrorText(quint16 code);
/// The device's text for an error code.
QString MciErrorString(quint16 code);

} // namespace modRecAPI
