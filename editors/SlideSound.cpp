// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/SlideSound.h"

#include "sound/frmPlayRec.h"

namespace SlideSound {

QString openDialog(const QString& fileName, const COptions& options, QWidget* parent,
                   qint32 listRow)
{
    frmPlayRec dialog(parent);
    dialog.setOptions(options);
    dialog.setSoundFile(fileName);
    if (listRow > 0)
        dialog.setListMode(qint16(qMin(listRow, qint32(0x7fff))));
    else
        dialog.setSlideEditorMode();
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = dialog.fileName();
    return chosen.isNull() ? QStringLiteral("") : chosen;
}

QString chooseFile(const COptions& options, QWidget* parent)
{
    frmPlayRec dialog(parent);
    dialog.setOptions(options);
    return dialog.get_file_name();
}

} // namespace SlideSound
