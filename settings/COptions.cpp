// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/COptions.h"

#include "platform/Prompts.h"
#include "platform/TextFileWriter.h"
#include "startup/modMain.h"

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString numberLine(const char* key, qint32 value)
{
    return quoted(QLatin1String(key)) + QLatin1Char(',') + QString::number(value);
}

// Text goes out between quotes as it stands: the file format has no escapes.
QString textLine(const char* key, const QString& value)
{
    return quoted(QLatin1String(key)) + QLatin1Char(',') + quoted(value);
}

QString boolLine(const char* key, bool value)
{
    return quoted(QLatin1String(key)) + QLatin1Char(',') +
           (value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"));
}

void reportSaveError(const VbError& error)
{
    const QString detail =
        QString::number(error.number) + QStringLiteral("\r\n") + error.description;
    Prompts::MsgBox(QStringLiteral("You selected an invalid file, Error: ") + detail,
                    Prompts::vbOKOnly);
    if (modMain::ErrorMode)
        modMain::WriteLog(
            QStringLiteral("Save options to disk: user selected an invalid file, Error: ") +
            detail);
}

} // namespace

void COptions::init_options()
{
    ReloadInterval = 15;
    ReloadMode = 1;
    CarouselMode = 1;
    CarouselOperation = 1;
    // The program's folder always ends in a separator.
    CarouselFileName = modMain::AppFolder + QStringLiteral("data/DemoShow.txt");
    StartingAddress = modMain::AppFolder + QStringLiteral("data/vexilo.jpg");
    DisplayTips = true;
    UseDefault = true;
    BusyWait = false;
    AutoStart = false;
    ToolTips = true;
    AutoMode = 5;
    AutoDDEexe = QStringLiteral("Netscape.exe");
    AutoDDEapp = QStringLiteral("NETSCAPE");
    StartingSlide = 0;
    DisplayWizard = true;
}

void COptions::Copy_Object_to(COptions& target) const
{
    target.ReloadInterval = ReloadInterval;
    target.ReloadMode = ReloadMode;
    target.CarouselMode = CarouselMode;
    target.CarouselOperation = CarouselOperation;
    target.CarouselFileName = CarouselFileName;
    target.StartingAddress = StartingAddress;
    target.StartingSlide = StartingSlide;
    target.DisplayTips = DisplayTips;
    target.DisplayWizard = DisplayWizard;
    target.BusyWait = BusyWait;
    target.AutoStart = AutoStart;
    target.UseDefault = UseDefault;
    target.ToolTips = ToolTips;
    target.AutoMode = AutoMode;
    target.AutoDDEexe = AutoDDEexe;
    target.AutoDDEapp = AutoDDEapp;
}

bool COptions::SavetoFile(const QString& fileName) const
{
    if (fileName.isEmpty())
        return false;
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("Saving options to file: ") + fileName);

    // The writer replaces the old file only once every line is written, so a
    // failure never leaves the user with an empty or half options file.
    TextFileWriter file(fileName);
    VbError error;
    if (!file.open(&error)) {
        reportSaveError(error);
        return false;
    }
    file.writeLine(numberLine("ReloadInterval", ReloadInterval));
    file.writeLine(numberLine("ReloadMode", ReloadMode));
    file.writeLine(numberLine("CarouselMode", CarouselMode));
    file.writeLine(numberLine("CarouselOperation", CarouselOperation));
    file.writeLine(textLine("CarouselFileName", CarouselFileName));
    file.writeLine(textLine("StartingAddress", StartingAddress));
    file.writeLine(numberLine("StartingSlide", StartingSlide));
    file.writeLine(boolLine("DisplayTips", DisplayTips));
    file.writeLine(boolLine("DisplayWizard", DisplayWizard));
    file.writeLine(boolLine("BusyWait", BusyWait));
    file.writeLine(boolLine("AutoStart", AutoStart));
    file.writeLine(boolLine("UseDefault", UseDefault));
    file.writeLine(boolLine("ToolTips", ToolTips));
    file.writeLine(numberLine("AutoMode", AutoMode));
    file.writeLine(textLine("AutoDDEexe", AutoDDEexe));
    file.writeLine(textLine("AutoDDEapp", AutoDDEapp));
    if (!file.commit(&error)) {
        reportSaveError(error);
        return false;
    }
    return true;
}
