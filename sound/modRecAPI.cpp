// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/modRecAPI.h"

#include "platform/Prompts.h"
#include "platform/WaveRecorder.h"
#include "startup/modMain.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>

namespace modRecAPI {

namespace {

/// The open devices by id. They belong to the application, so a device
/// left open goes with it.
QHash<quint32, QPointer<WaveRecorder>>& devices()
{
    static QHash<quint32, QPointer<WaveRecorder>> open;
    return open;
}

WaveRecorder* device(quint32 deviceId)
{
    return devices().value(deviceId);
}

quint16 checked(int code)
{
    if (code != 0)
        MciErrorText(quint16(code));
    return quint16(code);
}

void logDeviceId(quint32 deviceId)
{
    modMain::debugLog(QStringLiteral("MCI device id _") + QString::number(deviceId) +
                      QStringLiteral("_"));
}

} // namespace

quint16 MciOpenWave(quint32& deviceId)
{
    static quint32 lastId = 0;
    auto* recorder = new WaveRecorder(QCoreApplication::instance());
    const int code = recorder->open();
    if (code != 0) {
        delete recorder;
        deviceId = 0;
        modMain::debugLog(QStringLiteral("MCI_OPEN FAILED, code ") + QString::number(code));
        MciErrorText(quint16(code));
        logDeviceId(deviceId);
        return quint16(code);
    }
    deviceId = ++lastId;
    devices().insert(deviceId, recorder);
    modMain::debugLog(QStringLiteral("Open Suceeeded"));
    logDeviceId(deviceId);
    return 0;
}

quint16 MciSetFormat(quint32 deviceId)
{
    WaveRecorder* recorder = device(deviceId);
    if (!recorder)
        return checked(WaveRecorderErrors::DeviceNotOpen);
    const WaveRecorder::Format format;
    int code = recorder->setFormat(format.formatTag, format.channels, format.blockAlign,
                                   format.bitsPerSample);
    if (code == 0)
        code = recorder->setRate(format.samplesPerSec, format.avgBytesPerSec);
    return checked(code);
}

quint16 MciRecord(quint32 deviceId)
{
    WaveRecorder* recorder = device(deviceId);
    const int code = recorder ? recorder->record() : WaveRecorderErrors::DeviceNotOpen;
    if (code != 0) {
        modMain::debugLog(QStringLiteral("MCI_RECORD FAILED, code ") + QString::number(code));
        return checked(code);
    }
    modMain::debugLog(QStringLiteral("Record start Suceeeded"));
    return 0;
}

quint16 MciStop(quint32 deviceId)
{
    WaveRecorder* recorder = device(deviceId);
    return checked(recorder ? recorder->stop() : WaveRecorderErrors::DeviceNotOpen);
}

quint16 MciSave(quint32 deviceId, const QString& fileName)
{
    WaveRecorder* recorder = device(deviceId);
    const int code = recorder ? recorder->save(fileName) : WaveRecorderErrors::DeviceNotOpen;
    if (code != 0) {
        modMain::debugLog(QStringLiteral("MCI_Save FAILED, code ") + QString::number(code));
        MciErrorText(quint16(code));
        modMain::debugLog(QStringLiteral(" Failed file ") + fileName);
        return quint16(code);
    }
    modMain::debugLog(QStringLiteral("Save Suceeeded into file ") + fileName);
    return 0;
}

quint16 MciClose(quint32 deviceId)
{
    QPointer<WaveRecorder> recorder = devices().take(deviceId);
    if (!recorder)
        return checked(WaveRecorderErrors::DeviceNotOpen);
    const int code = recorder->close();
    // Not at once: a Stop may still be waiting inside it for the input.
    recorder->deleteLater();
    return checked(code);
}

QString MciErrorString(quint16 code)
{
    const QString text = WaveRecorderErrors::text(code);
    return text.isEmpty() ? QStringLiteral("Unknown error code ") + QString::number(code) : text;
}

void MciErrorText(quint16 code)
{
    const QString text = MciErrorString(code);
    modMain::errorLog(QStringLiteral("Error: ") + text);
    Prompts::MsgBox(QStringLiteral("MCI Error: ") + text, Prompts::vbExclamation);
}

} // namespace modRecAPI
