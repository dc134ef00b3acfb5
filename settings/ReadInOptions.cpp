// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ReadInOptions.h"

#include "platform/InputFields.h"
#include "platform/TextFileReader.h"
#include "settings/COptions.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

#include <QFile>
#include <QFileInfo>

namespace {

using modMain::debugLog;

const QString EndLine = QStringLiteral("--End: ReadIn Option Settings File--");

/// The error of a file that cannot be opened for reading; none when it can.
VbError openFailure(const QString& fileName)
{
    // Only a regular file is opened: opening a pipe waits for a writer,
    // which would hold up the start before any window shows.
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return TextFileReader::openError(fileName);
    return {};
}

} // namespace

bool modMain::ReadInOptions(const QString& fileName, COptions& options)
{
    debugLog(QStringLiteral("--Begin: ReadIn Option Settings File--"));
    if (fileName.isEmpty())
        return false;

    // Opening is checked on its own, so that a file that cannot be opened is
    // told apart from one that fails part way through.
    if (const VbError error = openFailure(fileName); error.isError()) {
        debugLog(QStringLiteral("ReadInOptions, error opening file:_") + fileName +
                 QStringLiteral("_ Err:") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);
        debugLog(EndLine);
        return false;
    }

    qint64 lineNumber = 0;
    bool found = false;
    const auto readLine = [&](QByteArrayView line, TextCodec::Encoding encoding) {
        ++lineNumber;
        InputFields::Field fields[2];
        InputFields::split(line, fields, 2);
        const QString key = fields[0].text(encoding);
        const QString value = fields[1].text(encoding);
        if (key.isEmpty()) {
            debugLog(QString::number(lineNumber) + QStringLiteral("(Line  is empty:) ") + value);
            return;
        }
        debugLog(QString::number(lineNumber) + QStringLiteral("-> _") + key +
                 QStringLiteral("_  _") + value + QLatin1Char('_'));
        modRegistry::set_option_value(key, value, options);
        found = true;
    };
    // A file found not to be UTF-8 part way through is read again from its
    // start; its lines then set the same options again, in the same order.
    const auto restart = [&] { lineNumber = 0; };

    VbError error;
    if (!TextFileReader::forEachLine(fileName, readLine, restart, &error))
        debugLog(QStringLiteral("ReadInOptions file error: ") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);

    debugLog(EndLine);
    return found;
}
