// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessTree.h"

#include <QDir>
#include <QFile>
#include <QMultiHash>

#include <csignal>
#include <sys/types.h>

namespace {

QByteArray readProcFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Every running process by its parent.
QMultiHash<qint64, qint64> childrenByParent()
{
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        // The name in brackets may hold blanks and brackets: the fields
        // after the last ')' are state, then the parent.
        const QByteArray stat = readProcFile(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields.at(0) != "Z")
            children.insert(fields.at(1).toLongLong(), pid);
    }
    return children;
}

} // namespace

QList<qint64> ProcessTree::members(qint64 root)
{
    if (root <= 0 || !QFile::exists(QStringLiteral("/proc/%1").arg(root)))
        return {};
    const QMultiHash<qint64, qint64> children = childrenByParent();
    QList<qint64> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += children.values(tree.at(i));
    return tree;
}

qint64 ProcessTree::pssKiB(qint64 root)
{
    qint64 total = 0;
    const QList<qint64> tree = members(root);
    for (const qint64 pid : tree) {
        const QByteArray rollup = readProcFile(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        for (const QByteArray& line : rollup.split('\n')) {
            if (line.startsWith("Pss:")) {
                total += line.mid(4).trimmed().split(' ').value(0).toLongLong();
                break;
            }
        }
    }
    return total;
}

void ProcessTree::kill(qint64 root)
{
    const QList<qint64> tree = members(root);
    for (auto it = tree.crbegin(); it != tree.crend(); ++it)
        ::kill(pid_t(*it), SIGKILL);
}
