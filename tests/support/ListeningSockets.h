// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

/// A TCP socket that listens, as the kernel's tables show it: its local
/// address ("0100007F:1F90", hex) and its inode.
struct ListeningSocket
{
    QByteArray local;
    QString inode;
};

inline QList<ListeningSocket> listeningSockets()
{
    QList<ListeningSocket> listening;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        file.readLine(); // header
        while (!file.atEnd()) {
            const QList<QByteArray> fields = file.readLine().simplified().split(' ');
            if (fields.size() > 9 && fields.at(3) == "0A") // LISTEN
                listening.append({fields.at(1), QString::fromLatin1(fields.at(9))});
        }
    }
    return listening;
}
