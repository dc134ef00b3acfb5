// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/SlideSound.h"

#include "platform/CommonDialog.h"
#include "sound/modPlayWave.h"

namespace SlideSound {

void play(const QString& fileName, COptions&, QWidget*)
{
    modPlayWave::PlayWaveFile(fileName);
}

QString chooseFile(COptions&, QWidget* parent)
{
    CommonDialog dialog(parent);
    dialog.DialogTitle = QStringLiteral("Choose a sound file");
    dialog.Filter = QStringLiteral("Wave files (.wav)|*.wav|All Files (*.*)|*.*");
    return dialog.ShowOpen();
}

} // namespace SlideSound
