// SPDX-License-Identifier: GPL-3.0-or-later
#include "webshow/WebShowAudit.h"

#include "show/colURLs.h"
#include "startup/modMain.h"

#include <QLocale>

#include <cmath>

namespace WebShowAudit {

namespace {

const QString NewLine = QStringLiteral("\r\n");

bool noLocalPath(const QString& address)
{
    return !HasLocalPath(address);
}

/// The address as the published page names it: the local path replaced
/// by the web path, letter case ignored.
QString relocated(const QString& address, const QString& localPath, const QString& webPath)
{
    if (localPath.isEmpty())
        return address;
    QString result = address;
    result.replace(localPath, webPath, Qt::CaseInsensitive);
    return result;
}

QString line(const QString& text)
{
    return text + NewLine;
}

} // namespace

bool HasLocalPath(const QString& address)
{
    return address.contains(u'\\') || address.startsWith(u'/') ||
           address.startsWith(QLatin1StringView("~/")) ||
           address.startsWith(QLatin1StringView("file:"), Qt::CaseInsensitive);
}

Kind Classify(const QString& address)
{
    const qsizetype length = address.size();
    if (length <= 4)
        return Kind::Short;
    // "https:" is as much a web page as "http:" is.
    if (address.startsWith(QLatin1StringView("http:")) ||
        address.startsWith(QLatin1StringView("https:")) ||
        address.startsWith(QLatin1StringView("www.")))
        return Kind::WebPage;
    if (address.at(length - 4) == u'.') {
        const QStringView ending = QStringView(address).right(3);
        if (ending == u"com" || ending == u"org" || ending == u"gov" || ending == u"edu")
            return Kind::WebPage;
        if (ending == u"htm" && noLocalPath(address))
            return Kind::WebPage;
        return Kind::ReferencedFile;
    }
    if (address.at(length - 5) == u'.') {
        if (QStringView(address).right(4) == u"html" && noLocalPath(address))
            return Kind::WebPage;
        return Kind::ReferencedFile;
    }
    if (address.at(length - 3) == u'.')
        return Kind::WebPage;
    return Kind::ReferencedFile;
}

QString FormatWhole(qint64 value)
{
    if (value == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value);
}

QString FormatOneDecimal(double value)
{
    const QLocale locale;
    const double tenths = std::round(std::fabs(value) * 10.0);
    const qint64 whole = qint64(tenths / 10.0);
    const int decimal = int(tenths - double(whole) * 10.0);
    QString text = value < 0 && tenths > 0 ? locale.negativeSign() : QString();
    text += FormatWhole(whole) + locale.decimalPoint();
    if (decimal != 0)
        text += QString::number(decimal);
    return text;
}

QString RunAudit(const colURLs& show, const Settings& settings)
{
    QString r;
    r += line(QStringLiteral("File Title: ") + settings.showName);
    r += NewLine;
    r += line(QStringLiteral("------- Web Show Files --------"));
    r += line(QStringLiteral("Starting Web page name: ") + settings.startPage);
    r += line(QStringLiteral("Show Control page name: ") + settings.showPage);
    r += line(QStringLiteral("Show Control page title: ") + settings.title);
    if (settings.autoStart)
        r += line(QStringLiteral("Show will start automatically from 'Start Show' button"));
    r += line((settings.webMode ? QStringLiteral("Directory to copy web show files from: ")
                                : QStringLiteral("Directory containing web show files: ")) +
              settings.folder);
    r += NewLine;
    r += line(QStringLiteral("------- Slide Information --------"));

    qint64 webPages = 0;
    qint64 referencedFiles = 0;
    qint64 total = 0;
    bool anySound = false;
    bool listedLocal = false;
    qint64 index = 0;
    for (const auto& slide : show) {
        ++total;
        const QString address = slide->SkipField ? QString() : slide->HREF;
        const QString sound = slide->SkipField ? QString() : slide->SoundFile;
        modMain::debugLog(QStringLiteral("[ ") + QString::number(index++) +
                          QStringLiteral("] ID: ") + address + QStringLiteral(" sound File: ") +
                          sound);
        if (slide->SkipField)
            continue;
        if (!sound.isEmpty())
            anySound = true;
        switch (Classify(address)) {
        case Kind::Short:
            break;
        case Kind::WebPage:
            ++webPages;
            break;
        case Kind::ReferencedFile: {
            ++referencedFiles;
            const QString published = relocated(address, settings.localPath, settings.webPath);
            if (settings.webMode && HasLocalPath(published)) {
                if (!listedLocal)
                    r += QStringLiteral("Files with local paths (potential access problems): ");
                listedLocal = true;
                r += NewLine + published;
            }
            break;
        }
        }
    }

    r += NewLine;
    r += line(QStringLiteral("Number of web pages in show: ") + QString::number(webPages));
    r += line(QStringLiteral("Number of referenced files in show: ") +
              QString::number(referencedFiles));
    r += line(QStringLiteral("Total number of slides in show: ") + QString::number(total));
    r += line(QStringLiteral("Pause time between slides: ") + settings.pauseText);
    // Whole seconds of a long show overflow 16 and even 32 bits.
    if (settings.pauseSeconds > 0) {
        const qint64 length = settings.pauseSeconds * total;
        r += line(QStringLiteral("Approximate length of show: ") + FormatWhole(length) +
                  QStringLiteral(" seconds. (") + FormatOneDecimal(double(length) / 60.0) +
                  QStringLiteral(" minutes)"));
    }
    r += line(anySound ? QStringLiteral("Some of the slides have sound files.")
                       : QStringLiteral("There are no sound files in any of the slides."));
    return r;
}

} // namespace WebShowAudit
