// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TextCodec.h"

#include <QByteArrayView>
#include <QString>

/// The old platform's comma-separated input, one record per line: leading
/// blanks are skipped; a field in double quotes runs to the closing quote
/// and may hold commas (an unbalanced quote runs to the line end); an
/// unquoted field runs to the next comma or the line end, trailing blanks
/// dropped; #TRUE# and #FALSE# are the truth values.
namespace InputFields {

enum class Kind { Text, Quoted, True, False };

struct Field
{
    QByteArrayView bytes;
    Kind kind = Kind::Text;

    /// The field read into a text variable (truth values as True/False).
    QString text(TextCodec::Encoding encoding) const;
};

/// Splits one line into at most maxFields fields; returns how many were
/// found (an empty line is one empty field). Further fields are ignored.
int split(QByteArrayView line, Field* fields, int maxFields);

} // namespace InputFields
