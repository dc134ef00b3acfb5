// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WavePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;
// The first two bytes of the PCM sub-format's GUID; the rest is the
// standard base GUID.
constexpr quint16 SubFormatPcm = 1;
constexpr char BaseGuidTail[14] = {'\x00', '\x00', '\x00', '\x00', '\x10', '\x00', '\x80',
                                   '\x00', '\x00', '\xAA', '\x00', '\x38', '\x9B', '\x71'};

// Silence after the clip: the output starts its stream with a little delay
// and rounds to its own periods; the padding keeps the clip's last samples
// clear of both.
constexpr int PaddingMs = 60;
// After the last byte is handed over, the output still plays what its
// buffer holds; this much is added to the buffer's own length.
constexpr int TailMarginMs = 150;

quint16 readU16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 readU32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

bool fail(int number, VbError* error)
{
    if (error)
        *error = WaveErrors::make(number);
    return false;
}

} // namespace

VbError WaveErrors::make(int number)
{
    switch (number) {
    case FileNotFound:
        return {number, QStringLiteral("File not found")};
    case InvalidFormat:
        return {number, QStringLiteral("Invalid file format")};
    case NoOutput:
        return {number, QStringLiteral("No sound output device")};
    case OutputFailed:
        return {number, QStringLiteral("The sound output could not be started")};
    default:
        return VbErrors::make(number);
    }
}

qint64 WaveClip::frames() const
{
    const int frame = bytesPerFrame();
    return frame > 0 ? samples.size() / frame : 0;
}

qint64 WaveClip::durationMs() const
{
    return sampleRate > 0 ? frames() * 1000 / sampleRate : 0;
}

WavePlayer::WavePlayer(QObject* parent) : QObject(parent)
{
    m_tail.setSingleShot(true);
    connect(&m_tail, &QTimer::timeout, this, [this] {
        release();
        Q_EMIT finished();
    });
}

WavePlayer::~WavePlayer()
{
    release();
}

bool WavePlayer::parse(const QByteArray& bytes, WaveClip* clip, VbError* error)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return fail(WaveErrors::InvalidFormat, error);

    WaveClip result;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype pos = 12;
    while (pos + 8 <= size) {
        const char* chunk = data + pos;
        const quint32 declared = readU32(chunk + 4);
        const qsizetype body = pos + 8;
        // A file cut short keeps what it has (writers that never finished
        // leave the declared size too large, or 0xFFFFFFFF).
        const qsizetype length = qsizetype(std::min<quint64>(declared, quint64(size - body)));
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16)
                return fail(WaveErrors::InvalidFormat, error);
            quint16 format = readU16(data + body);
            result.channels = readU16(data + body + 2);
            result.sampleRate = int(std::min<quint32>(readU32(data + body + 4), 0x7FFFFFFF));
            result.bitsPerSample = readU16(data + body + 14);
            if (format == FormatExtensible && length >= 40) {
                const char* guid = data + body + 24;
                if (readU16(guid) == SubFormatPcm && std::memcmp(guid + 2, BaseGuidTail, 14) == 0)
                    format = FormatPcm;
            }
            if (format != FormatPcm)
                return fail(WaveErrors::InvalidFormat, error);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return fail(WaveErrors::InvalidFormat, error);
            result.samples = bytes.mid(body, length);
            haveData = true;
            break;
        }
        // Chunks are padded to an even length.
        pos = body + length + (length & 1);
    }
    const bool supported =
        haveFormat && haveData && (result.channels == 1 || result.channels == 2) &&
        (result.bitsPerSample == 8 || result.bitsPerSample == 16) && result.sampleRate > 0;
    if (!supported)
        return fail(WaveErrors::InvalidFormat, error);
    // A last, partial frame is no sound.
    result.samples.truncate(result.frames() * result.bytesPerFrame());
    if (clip)
        *clip = std::move(result);
    return true;
}

bool WavePlayer::read(const QString& path, WaveClip* clip, VbError* error)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || !file.isReadable())
        return fail(WaveErrors::FileNotFound, error);
    // A wave file is read whole; a folder or a device opens but gives no
    // sound.
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        return fail(WaveErrors::FileNotFound, error);
    return parse(bytes, clip, error);
}

bool WavePlayer::play(const QString& path, VbError* error)
{
    WaveClip clip;
    if (!read(path, &clip, error))
        return false;
    return play(clip, error);
}

bool WavePlayer::play(const WaveClip& clip, VbError* error)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return fail(WaveErrors::NoOutput, error);

    QAudioFormat format;
    format.setSampleRate(clip.sampleRate);
    format.setChannelCount(clip.channels);
    format.setSampleFormat(clip.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    const qint64 paddingFrames = qint64(clip.sampleRate) * PaddingMs / 1000;
    const char silence = clip.bitsPerSample == 8 ? char(0x80) : char(0);
    m_data = clip.samples;
    m_data.append(QByteArray(paddingFrames * clip.bytesPerFrame(), silence));
    m_buffer.setData(m_data);
    m_buffer.open(QIODevice::ReadOnly);

    auto* sink = new QAudioSink(device, format, this);
    m_sink = sink;
    connect(sink, &QAudioSink::stateChanged, this, &WavePlayer::sinkStateChanged);
    sink->start(&m_buffer);
    if (sink->error() != QAudio::NoError) {
        release();
        return fail(WaveErrors::OutputFailed, error);
    }
    return true;
}

void WavePlayer::stop()
{
    release();
}

void WavePlayer::sinkStateChanged()
{
    if (!m_sink)
        return;
    const QAudio::State state = m_sink->state();
    if (state == QAudio::IdleState && m_buffer.atEnd()) {
        // All handed over; the output's buffer still holds the end.
        const QAudioFormat format = m_sink->format();
        const int buffered =
            format.isValid() ? int(format.durationForBytes(m_sink->bufferSize()) / 1000) : 0;
        if (!m_tail.isActive())
            m_tail.start(buffered + TailMarginMs);
    } else if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
        // The output went away (e.g. the sound server ended): nothing plays.
        QTimer::singleShot(0, this, &WavePlayer::release);
    }
}

void WavePlayer::release()
{
    m_tail.stop();
    if (m_sink) {
        QAudioSink* sink = m_sink;
        m_sink = nullptr;
        sink->disconnect(this);
        sink->stop();
        // It may be the sender of the signal being handled.
        sink->deleteLater();
    }
    m_buffer.close();
}
