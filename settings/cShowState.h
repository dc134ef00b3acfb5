// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

/// The running show's state, shared by the engine and the windows that
/// show it. A plain record of 16-bit values, all 0 at creation; truth
/// values are True (-1) and False (0). Not saved anywhere.
class cShowState
{
public:
    static constexpr qint16 True = -1;
    static constexpr qint16 False = 0;

    qint16 NumSlidesShown = 0;     ///< slides shown in this run
    qint16 IsPaused = False;       ///< the show is paused
    qint16 NumCurrentSlide = 0;    ///< 1-based slide on screen; 0 is the rest point
    qint16 SlideSelectionMode = 0; ///< 1 sequential, 2 random
    qint16 ShowRepeatMode = 0;     ///< 1 once, 2 continuous
    qint16 IsBacking = False;      ///< a Back waits for the next step
};
