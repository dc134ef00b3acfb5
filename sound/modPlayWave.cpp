// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/modPlayWave.h"

#include "platform/WavePlayer.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QCoreApplication>
#include <QPointer>

namespace modPlayWave {

namespace {

// One player for the whole program, so a new sound cuts the one playing.
// It belongs to the application and goes with it.
WavePlayer* player()
{
    static QPointer<WavePlayer> instance;
    if (!instance)
        instance = new WavePlayer(QCoreApplication::instance());
    return instance;
}

} // namespace

void PlayWaveFile(const QString& fileName)
{
    QString path = fileName;
    if (!modFileTools::HasSeparator(path))
        path = modFileTools::JoinPath(modMain::AppFolder, path);
    VbError error;
    if (player()->play(path, &error))
        return;
    // A file that is missing or no wave sound plays nothing, and that is
    // all: only a failing sound output is worth a line.
    if (error.number == WaveErrors::FileNotFound || error.number == WaveErrors::InvalidFormat)
        return;
    if (modMain::ErrorMode)
        modMain::WriteLog(QStringLiteral("Play wave error: ") + QString::number(error.number) +
                          QStringLiteral(" Desc: ") + error.description);
}

} // namespace modPlayWave
