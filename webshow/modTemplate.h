// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QDateTime>
#include <QString>

class colURLs;

/// The web show pages: the show-control page (the show's slides and
/// sounds as script arrays, followed by the template NAV.txt) and the
/// start page (the template STRTTOUR.txt with its two markers filled in).
/// Both templates are read from the program's folder each time.
namespace modTemplate {

/// The lines of init_array and init_sounds, CR LF after each.
struct SlideArrays
{
    QString slides;
    QString sounds;
};

/// The address as the page publishes it: the local path replaced by the
/// web path, forward slashes, and "http://" in front of a bare web host.
/// *length is the length that counts for the start page's width (0 for
/// an address of four characters or fewer).
QString PublishAddress(const QString& href, const QString& localPath, const QString& webPath,
                       qsizetype* length);

/// One line per slide for each array; a skipped slide keeps its index
/// with empty entries. Raises longest to the longest published address.
SlideArrays BuildSlideArrays(const colURLs& show, const QString& localPath, const QString& webPath,
                             qint16& longest);

/// The whole show-control page; empty when NAV.txt cannot be read (the
/// reader has then shown its message). longest is raised as by
/// BuildSlideArrays. The time written into the page is generatedAt, or
/// now when that is not valid.
QString BuildShowPage(const QString& title, qint32 pause, bool useSound, const colURLs& show,
                      const QString& localPath, const QString& webPath, bool autoStart,
                      qint16& longest, const QDateTime& generatedAt = QDateTime());

/// The start page: the template with every "DO_NOT_ALTER_FILE" replaced
/// by the show page's name and every "DO_NOT_ALTER_WIDTH" by the width.
/// Empty with an empty template name or a template that cannot be read.
QString BuildStartPage(const QString& showPageFile, const QString& width,
                       const QString& templateName);

/// The whole text of a file of the program's folder. When it cannot be
/// read, a message box says so and the result is empty (*ok false).
QString ReadTemplate(const QString& fileName, bool* ok = nullptr);

/// Writes a page's text and a line end to the file in UTF-8; false with
/// the error when the file could not be written (an existing file then
/// stays as it was).
bool WritePage(const QString& fileName, const QString& text, VbError* error);

/// The start page's window width for the longest address length.
QString StartPageWidth(qint16 longest);

} // namespace modTemplate
