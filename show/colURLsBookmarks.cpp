// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Prompts.h"
#include "platform/TextFileWriter.h"
#include "show/colURLs.h"
#include "show/modInpExp.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>

namespace {

void reportExportError(const VbError& error)
{
    const QString number = QString::number(error.number);
    Prompts::MsgBox(QStringLiteral("You selected an invalid file, Error: ") + number +
                        QStringLiteral("\r\n") + error.description,
                    Prompts::vbOKOnly);
    if (modMain::ErrorMode)
        modMain::WriteLog(
            QStringLiteral("Export Bookmarks: user selected an invalid file, Error: ") + number +
            QStringLiteral("\r\n") + error.description);
}

} // namespace

void colURLs::Export_Bookmarks(const QString& fileName)
{
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("Saving contents to file: ") + fileName);

    // One moment for the whole file: every date of every bookmark is the same.
    const QString stamp = QString::number(
        modInpExp::DateToUnix(modFileTools::ToAutomationDate(QDateTime::currentDateTime())));
    const QString dates = QStringLiteral("\" ADD_DATE=\"") + stamp +
                          QStringLiteral("\" LAST_VISIT=\"") + stamp +
                          QStringLiteral("\" LAST_MODIFIED=\"") + stamp + QStringLiteral("\"> ");

    // Written to a temporary file first: a failure leaves an existing file whole.
    TextFileWriter writer(fileName);
    VbError error;
    if (!writer.open(&error)) {
        reportExportError(error);
        return;
    }
    writer.writeLine(u"<!DOCTYPE NETSCAPE-Bookmark-file-1>");
    writer.writeLine(u"<!-- This is an automatically generated file."
                     u"It will be read and overwritten."
                     u"Do Not Edit! -->"
                     u"<TITLE>Bookmarks</TITLE>"
                     u"<H1>Bookmarks</H1>"
                     u"<DL><p>");
    QString line;
    for (const Slide& slide : m_items) {
        if (modMain::DebugMode)
            modMain::WriteLog(QStringLiteral("URL: ") + slide->HREF);
        // Encoded, so an address is never markup when a browser opens the file.
        const QString address = modInpExp::EncodeHtml(slide->HREF);
        line =
            QStringLiteral("\t<DT><A HREF=\"") + address + dates + address + QStringLiteral("</A>");
        writer.writeLine(line);
    }
    writer.writeLine(u"</DL><p>");
    if (!writer.commit(&error)) {
        reportExportError(error);
        return;
    }
    Changed = false;
}
