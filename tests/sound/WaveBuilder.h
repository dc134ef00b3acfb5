// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

/// Wave files for the sound tests, built byte by byte.
namespace WaveBuilder {

/// A sine tone as signed 16-bit mono samples.
QByteArray tone16(int sampleRate, int milliseconds, double frequency, int amplitude);

/// A RIFF file: the "fmt " chunk with these fields, then any extra chunks
/// (whole, header included), then the "data" chunk.
QByteArray riff(quint16 formatTag, int channels, int sampleRate, int bitsPerSample,
                const QByteArray& samples, const QByteArray& extraChunks = QByteArray());
/// A chunk: its id, its length and the body, padded to even length.
QByteArray chunk(const char id[4], const QByteArray& body);

} // namespace WaveBuilder
