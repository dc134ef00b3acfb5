// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The user's options: the show mode and its settings, what opens at
/// start-up, the browser choice and a few switches. Setting a field never
/// sets Changed; the window that changed it does.
class COptions
{
public:
    qint32 ReloadInterval = 0;
    qint16 ReloadMode = 0;
    qint16 CarouselMode = 0;
    qint16 CarouselOperation = 0;
    bool Changed = false;
    QString CarouselFileName;
    QString StartingAddress;
    bool DisplayTips = false;
    bool UseDefault = false;
    bool BusyWait = false;
    bool AutoStart = false;
    bool ToolTips = false;
    qint16 AutoMode = 0;
    QString AutoDDEexe;
    QString AutoDDEapp;
    qint16 StartingSlide = 0;
    bool DisplayWizard = false;

    /// Sets the sixteen options to their defaults (not Changed).
    void init_options();
    /// Copies the sixteen options into the target (not Changed).
    void Copy_Object_to(COptions& target) const;
    /// Writes the options file; true when written.
    bool SavetoFile(const QString& fileName) const;
};
