// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Texts a slide can hold. A show file writes the address and the sound
/// path between double quotes with no escape, so a double quote inside
/// them would cut the field short when the show is read again: such a
/// text is refused where it enters.
namespace SlideText {

/// Whether the show file can store the text.
bool storable(const QString& text);
/// The message that refuses it; what: "address", "sound file name" ...
QString quoteMessage(const QString& text, const QString& what);
/// Shows the message (exclamation icon, "Field Error") when the text is
/// not storable; true when it is storable.
bool accept(const QString& text, const QString& what);
/// The paths the show can store; the others are named in one message.
QStringList acceptFiles(const QStringList& paths);
/// The message naming files left out for their quotes (none: no message).
void reportRefused(const QStringList& refused);

} // namespace SlideText
