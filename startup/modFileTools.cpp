// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/modFileTools.h"

#include "platform/TextFileReader.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace modFileTools {

namespace {

using modMain::debugLog;

bool isSeparator(QChar c)
{
    return c == u'\\' || c == u'/';
}

/// The separator a path already uses, else "/".
QChar separatorOf(const QString& path)
{
    return path.contains(u'\\') && !path.contains(u'/') ? u'\\' : u'/';
}

} // namespace

bool HasSeparator(const QString& path)
{
    return LastSeparator(path) >= 0;
}

qsizetype LastSeparator(const QString& path)
{
    return qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

bool FileExists(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool CheckDirectory(const QString& path)
{
    if (path.isEmpty()) {
        debugLog(QStringLiteral("Empty!"));
        return false;
    }
    const qsizetype last = LastSeparator(path);
    if (last < 0) {
        debugLog(QStringLiteral("Directory:_") + path + QStringLiteral("_is a filename!"));
        return true;
    }
    const QString folder = path.left(last + 1);
    if (QDir(folder).exists()) {
        debugLog(QStringLiteral("Directory:_") + folder + QStringLiteral("_exists!"));
        return true;
    }
    debugLog(QStringLiteral("Directory:_") + folder + QStringLiteral("_does NOT exist!"));
    return false;
}

QString FileNameNoExt(const QString& path, const QString& extension)
{
    if (path.isEmpty())
        return QString();
    const QString name = path.mid(LastSeparator(path) + 1);
    if (name.size() >= 4 && name.right(3).compare(extension, Qt::CaseInsensitive) == 0)
        return name.left(name.size() - 4);
    return name;
}

QString FileFromPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QString last = path.mid(LastSeparator(path) + 1);
    debugLog(QStringLiteral("File from path:") + last);
    return last;
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (name.isEmpty())
        return folder;
    const bool folderEnds = isSeparator(folder.back());
    const bool nameStarts = isSeparator(name.front());
    if (folderEnds && nameStarts)
        return folder.left(folder.size() - 1) + name;
    if (folderEnds || nameStarts)
        return folder + name;
    return folder + separatorOf(folder) + name;
}

QString FirstToken(const QString& text, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    return at < 0 ? text : text.left(at);
}

QString ShortFileName(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QString();
    const QString name = info.fileName().isEmpty() ? QDir(path).dirName() : info.fileName();
    return name.left(name.indexOf(QChar(0)) < 0 ? name.size() : name.indexOf(QChar(0)));
}

QString ShortPathName(const QString& path)
{
    qsizetype first = -1;
    for (qsizetype i = 0; i < path.size() && first < 0; ++i) {
        if (isSeparator(path[i]))
            first = i;
    }
    if (first < 0)
        return QString();
    QString result = path.left(first + 1);
    qsizetype at = first + 1;
    while (at < path.size()) {
        qsizetype stop = at;
        while (stop < path.size() && !isSeparator(path[stop]))
            ++stop;
        const QString component = path.mid(at, stop - at);
        if (!component.isEmpty()) {
            const QString shortName = ShortFileName(result + component);
            if (shortName.isEmpty())
                return QString();
            result += shortName + (stop < path.size() ? path[stop] : separatorOf(path));
        }
        at = stop + 1;
    }
    if (result.size() > 1 && isSeparator(result.back()))
        result.chop(1);
    return result;
}

double ToAutomationDate(const QDateTime& dateTime)
{
    static const QDate epoch(1899, 12, 30);
    const double days = double(epoch.daysTo(dateTime.date()));
    const double fraction = double(dateTime.time().msecsSinceStartOfDay()) / 86400000.0;
    return days + fraction;
}

double FileDate(const QString& path)
{
    const QString trimmed = path.trimmed();
    const QFileInfo info(trimmed);
    if (trimmed.isEmpty() || !info.exists()) {
        modMain::WriteLog(QStringLiteral("Can't find the file: ") + trimmed);
        return 0;
    }
    QFile file(trimmed);
    if (!info.isDir() && !file.open(QIODevice::ReadOnly)) {
        modMain::WriteLog(QStringLiteral("Can't open the file: ") + trimmed);
        return 0;
    }
    // Local time, as the desktop's file manager shows the date.
    const QDateTime modified = info.lastModified();
    if (!modified.isValid()) {
        modMain::WriteLog(QStringLiteral("GetFileTime Failed"));
        return 0;
    }
    // Whole seconds, as the file date was read field by field.
    const QDateTime seconds(modified.date(), QTime(modified.time().hour(), modified.time().minute(),
                                                   modified.time().second()));
    return ToAutomationDate(seconds);
}

qint16 CountLines(const QString& path)
{
    debugLog(QStringLiteral("--Begin: Count lines File--"));
    if (path.isEmpty())
        return 0;
    qint32 count = 0;
    TextFileReader::forEachLine(
        path,
        [&count](QByteArrayView line, TextCodec::Encoding) {
            if (!line.isEmpty())
                ++count;
            else
                debugLog(QString::number(count) + QStringLiteral("(Line  is empty:) "));
        },
        [&count] { count = 0; }, nullptr);
    debugLog(QStringLiteral("--End: ReadIn Initial Option Settings--"));
    return qint16(qMin(count, qint32(32767)));
}

QStringList GetCommandLine(const QString& commandLine, int maxWords)
{
    QStringList words;
    qsizetype at = 0;
    const qsizetype size = commandLine.size();
    while (at < size) {
        while (at < size && (commandLine[at] == u' ' || commandLine[at] == u'\t'))
            ++at;
        if (at >= size)
            break;
        if (words.size() >= maxWords)
            break;
        const qsizetype start = at;
        while (at < size && commandLine[at] != u' ' && commandLine[at] != u'\t')
            ++at;
        words.append(commandLine.mid(start, at - start));
    }
    return words;
}

} // namespace modFileTools
