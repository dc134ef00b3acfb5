// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QObject>
#include <QString>

/// A client link to a browser, with the properties and operations of the
/// old platform's link (topic "service|topic", item, time-out, mode, text,
/// request, poke), carried out by the browser's own command line: the
/// service answers while a process of the link's browser program runs;
/// "WWW_OpenURL" starts the program with the address, which hands it to
/// the running browser; "WWW_Activate" raises the browser's window;
/// "WWW_Exit" ends the browser this program started.
class DdeLink : public QObject
{
    Q_OBJECT

public:
    // The link's errors.
    static constexpr int NoServer = 282; ///< no browser answered
    static constexpr int Refused = 285;  ///< the browser will not do it
    static constexpr int TimedOut = 286; ///< no answer within the time-out

    // Modes.
    static constexpr int ModeNone = 0;   ///< no conversation
    static constexpr int ModeManual = 2; ///< data moves on request or poke

    /// A link error with its description.
    static VbError error(int number);

    explicit DdeLink(QObject* parent = nullptr);

    /// The service, a vertical bar, then the topic ("NETSCAPE|WWW_OpenURL").
    QString topic() const { return m_topic; }
    void setTopic(const QString& topic) { m_topic = topic; }

    QString item() const { return m_item; }
    void setItem(const QString& item) { m_item = item; }

    /// In tenths of a second.
    int timeout() const { return m_timeout; }
    void setTimeout(int tenths) { m_timeout = tenths; }

    int mode() const { return m_mode; }
    /// ModeManual opens the conversation the topic names (error 282 when
    /// the browser does not run); ModeNone closes it.
    VbError setMode(int mode);

    /// The last answer of the browser, or the data to poke.
    QString text() const { return m_text; }
    void setText(const QString& text);

    /// The browser program that serves the link's service.
    QString executable() const { return m_executable; }
    void setExecutable(const QString& program) { m_executable = program; }

    /// Asks the browser for the item; its answer replaces the text (for
    /// "WWW_OpenURL", the id of the process that handed the address over).
    VbError request();
    /// Sends the text to the browser as the item.
    VbError poke();

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    QString topicName() const;
    bool serverRunning() const;
    VbError openUrl();
    VbError activate();

    QString m_topic;
    QString m_item;
    QString m_text;
    QString m_executable;
    int m_timeout = 50;
    int m_mode = ModeNone;
};
