// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class colURLs;

/// The audit of a web show: what the show's slides are (web pages or
/// files the pages refer to), which files keep a path of this computer,
/// and how long the show runs. No windows: the web show dialog shows the
/// report.
namespace WebShowAudit {

/// The web show dialog's settings the report names.
struct Settings
{
    QString showName;  ///< the show file's name without folder and ".txt"
    QString startPage; ///< the start page's file name
    QString showPage;  ///< the show-control page's file name
    QString title;
    bool autoStart = false;
    bool webMode = false; ///< a web-based show (else a local one)
    QString folder;       ///< where the pages are written
    QString localPath;    ///< the relocation pair
    QString webPath;
    QString pauseText;        ///< the pause as the list shows it
    qint64 pauseSeconds = -1; ///< its seconds; negative for no valid setting
};

/// What one address is to the audit.
enum class Kind
{
    Short,
    WebPage,
    ReferencedFile
};

/// The kind of a non-skipped slide's address.
Kind Classify(const QString& address);

/// Whether an address names a file by a path of this computer: it holds
/// a backslash, or it is an absolute path ("/...", "~/...") or a "file:"
/// address.
bool HasLocalPath(const QString& address);

/// The whole report, every line ended by CR LF.
QString RunAudit(const colURLs& show, const Settings& settings);

/// A whole number in the format "#,###": thousands grouped with the
/// locale's separator, nothing at all for 0.
QString FormatWhole(qint64 value);
/// A number in the format "#,###.#": grouped, the decimal point always,
/// the one decimal only when it is not 0 (5 gives "5.", 0.75 gives ".8").
QString FormatOneDecimal(double value);

} // namespace WebShowAudit
