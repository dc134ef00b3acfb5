// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// Text encodings of the program's files: UTF-8, and Windows-1252 for
/// files made on the old platform that are not valid UTF-8.
namespace TextCodec {

enum class Encoding { Utf8, Windows1252 };

bool isValidUtf8(QByteArrayView bytes);
QString decodeWindows1252(QByteArrayView bytes);
QString decode(QByteArrayView bytes, Encoding encoding);

} // namespace TextCodec
