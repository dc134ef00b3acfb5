// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// One slide of a show. A plain record: setting a field has no side effects.
class cURL
{
public:
    QString HREF;                ///< web address, local file path or file address
    QString SoundFile;           ///< wave sound played with the slide; empty for none
    bool SkipField = false;      ///< kept in the show but passed over when it runs
    qint32 PauseTime = 0;        ///< seconds the slide stays up
    double DateLastVisited = 0;  ///< automation date it was last shown in this run
    qint16 TimesShown = 0;       ///< showings in this run
    qint16 ShownIndex = 0;       ///< position number recorded when shown
};
