// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WaveRecorder.h"

#include "platform/WaveVolume.h"

#include <QAudioFormat>
#include <QAudioSource>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSaveFile>
#include <QThread>
#include <QtEndian>

namespace {

constexpr quint16 FormatPcm = 1;
// A small buffer makes the sound server hand over the input in short
// pieces; by default it keeps about two seconds before it sends any.
constexpr qsizetype InputBufferBytes = 1024;
// How long Stop waits for the input that is still on its way.
constexpr qint64 StopWaitMs = 3000;

void appendU16(QByteArray& bytes, quint16 value)
{
    char le[2];
    qToLittleEndian(value, le);
    bytes.append(le, 2);
}

void appendU32(QByteArray& bytes, quint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

} // namespace

QString WaveRecorderErrors::text(int code)
{
    switch (code) {
    case NoInputDevice:
        return QStringLiteral("There is no sound input device. Connect a microphone or choose an "
                              "input in the sound settings.");
    case DeviceBusy:
        return QStringLiteral("The sound input could not be opened; another program may be using "
                              "it. Close that program and try again.");
    case ServerNotRunning:
        return QStringLiteral("The sound server is not running. Start it (PulseAudio or "
                              "PipeWire) and try again.");
    case WriteFailed:
        return QStringLiteral("The sound file could not be written. Check that its folder exists "
                              "and can be written to, and that the disk has room.");
    case DeviceNotOpen:
        return QStringLiteral("The recording device is not open.");
    case UnsupportedFormat:
        return QStringLiteral("The recording format is not supported.");
    case InputFailed:
        return QStringLiteral("The sound input stopped during the recording; the recording may "
                              "be incomplete.");
    default:
        return QString();
    }
}

WaveRecorder::WaveRecorder(QObject* parent) : QObject(parent)
{
}

WaveRecorder::~WaveRecorder()
{
    release();
}

int WaveRecorder::open()
{
    if (m_open)
        return WaveRecorderErrors::DeviceBusy;
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        // Without a server there are no devices at all; say which it is,
        // since the remedies differ.
        return WaveVolume::serverRunning() ? WaveRecorderErrors::NoInputDevice
                                           : WaveRecorderErrors::ServerNotRunning;
    }
    m_device = device;
    m_format = Format();
    m_samples.clear();
    m_failed = false;
    m_open = true;
    return 0;
}

int WaveRecorder::setFormat(quint16 formatTag, quint16 channels, quint16 blockAlign,
                            quint16 bitsPerSample)
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    const bool supported = formatTag == FormatPcm && (channels == 1 || channels == 2) &&
                           (bitsPerSample == 8 || bitsPerSample == 16) &&
                           blockAlign == channels * bitsPerSample / 8;
    if (!supported || isRecording())
        return WaveRecorderErrors::UnsupportedFormat;
    m_format.formatTag = formatTag;
    m_format.channels = channels;
    m_format.blockAlign = blockAlign;
    m_format.bitsPerSample = bitsPerSample;
    m_format.avgBytesPerSec = m_format.samplesPerSec * blockAlign;
    return 0;
}

int WaveRecorder::setRate(quint32 samplesPerSec, quint32 avgBytesPerSec)
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    if (samplesPerSec < 1000 || samplesPerSec > 192000 ||
        avgBytesPerSec != samplesPerSec * m_format.blockAlign || isRecording())
        return WaveRecorderErrors::UnsupportedFormat;
    m_format.samplesPerSec = samplesPerSec;
    m_format.avgBytesPerSec = avgBytesPerSec;
    return 0;
}

int WaveRecorder::record()
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    if (isRecording())
        return 0;
    QAudioFormat format;
    format.setSampleRate(int(m_format.samplesPerSec));
    format.setChannelCount(m_format.channels);
    format.setSampleFormat(m_format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    m_samples.clear();
    m_failed = false;
    auto* source = new QAudioSource(m_device, format, this);
    m_source = source;
    source->setBufferSize(InputBufferBytes);
    connect(source, &QAudioSource::stateChanged, this, &WaveRecorder::sourceStateChanged);
    // Pull mode: the source writes what arrives into the buffer.
    m_buffer.setBuffer(&m_samples);
    m_buffer.open(QIODevice::WriteOnly);
    source->start(&m_buffer);
    if (source->error() != QAudio::NoError) {
        release();
        return WaveVolume::serverRunning() ? WaveRecorderErrors::DeviceBusy
                                           : WaveRecorderErrors::ServerNotRunning;
    }
    m_started.start();
    return 0;
}

int WaveRecorder::stop()
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    if (!isRecording())
        return 0;
    // The server hands the input over late and in pieces: wait until what
    // was recorded up to now has come in, and no longer.
    const qint64 frame = std::max<qint64>(m_format.blockAlign, 1);
    const qint64 wanted = m_started.elapsed() * m_format.avgBytesPerSec / 1000 / frame * frame;
    QElapsedTimer waited;
    waited.start();
    while (m_source && !m_failed && m_samples.size() < wanted && waited.elapsed() < StopWaitMs) {
        // Only the input's own events: a click must not re-enter here.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    const bool failed = m_failed;
    release();
    if (m_samples.size() > wanted)
        m_samples.truncate(wanted);
    return failed ? WaveRecorderErrors::InputFailed : 0;
}

int WaveRecorder::save(const QString& path)
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    // A failed write leaves any file of that name as it was.
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly))
        return WaveRecorderErrors::WriteFailed;
    const QByteArray bytes = riff(m_format, m_samples);
    if (file.write(bytes) != bytes.size() || !file.commit())
        return WaveRecorderErrors::WriteFailed;
    return 0;
}

int WaveRecorder::close()
{
    if (!m_open)
        return WaveRecorderErrors::DeviceNotOpen;
    release();
    m_open = false;
    m_device = QAudioDevice();
    return 0;
}

QByteArray WaveRecorder::riff(const Format& format, const QByteArray& samples)
{
    // Whole frames only, and the data chunk padded to an even length.
    const qsizetype frame = std::max<qsizetype>(format.blockAlign, 1);
    const quint32 dataSize = quint32(samples.size() / frame * frame);
    const quint32 pad = dataSize & 1;
    QByteArray bytes;
    bytes.reserve(44 + dataSize + pad);
    bytes.append("RIFF", 4);
    appendU32(bytes, 36 + dataSize + pad);
    bytes.append("WAVE", 4);
    bytes.append("fmt ", 4);
    appendU32(bytes, 16);
    appendU16(bytes, format.formatTag);
    appendU16(bytes, format.channels);
    appendU32(bytes, format.samplesPerSec);
    appendU32(bytes, format.avgBytesPerSec);
    appendU16(bytes, format.blockAlign);
    appendU16(bytes, format.bitsPerSample);
    bytes.append("data", 4);
    appendU32(bytes, dataSize);
    bytes.append(samples.constData(), dataSize);
    if (pad)
        bytes.append('\0');
    return bytes;
}

void WaveRecorder::sourceStateChanged()
{
    if (!m_source)
        return;
    if (m_source->state() == QAudio::StoppedState && m_source->error() != QAudio::NoError) {
        // The input went away (e.g. the sound server ended): keep what came
        // in and tell at Stop.
        m_failed = true;
    }
}

void WaveRecorder::release()
{
    if (m_source) {
        QAudioSource* source = m_source;
        m_source = nullptr;
        source->disconnect(this);
        source->stop();
        // Now, while the buffer it writes to is still there (never called
        // from the source's own signals).
        delete source;
    }
    m_buffer.close();
}
