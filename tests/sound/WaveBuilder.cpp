// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveBuilder.h"

#include <QtEndian>

#include <cmath>
#include <numbers>

namespace WaveBuilder {

namespace {

void appendU16(QByteArray& bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

void appendU32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

} // namespace

QByteArray tone16(int sampleRate, int milliseconds, double frequency, int amplitude)
{
    const qint64 frames = qint64(sampleRate) * milliseconds / 1000;
    QByteArray samples;
    samples.reserve(frames * 2);
    for (qint64 i = 0; i < frames; ++i) {
        const double phase = 2 * std::numbers::pi * frequency * double(i) / sampleRate;
        appendU16(samples, quint16(qint16(std::lround(amplitude * std::sin(phase)))));
    }
    return samples;
}

QByteArray chunk(const char id[4], const QByteArray& body)
{
    QByteArray bytes(id, 4);
    appendU32(bytes, quint32(body.size()));
    bytes += body;
    if (body.size() & 1)
        bytes.append('\0');
    return bytes;
}

QByteArray riff(quint16 formatTag, int channels, int sampleRate, int bitsPerSample,
                const QByteArray& samples, const QByteArray& extraChunks)
{
    QByteArray format;
    appendU16(format, formatTag);
    appendU16(format, quint16(channels));
    appendU32(format, quint32(sampleRate));
    appendU32(format, quint32(sampleRate * channels * bitsPerSample / 8));
    appendU16(format, quint16(channels * bitsPerSample / 8));
    appendU16(format, quint16(bitsPerSample));
    QByteArray body("WAVE");
    body += chunk("fmt ", format);
    body += extraChunks;
    body += chunk("data", samples);
    return chunk("RIFF", body);
}

} // namespace WaveBuilder
