// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DdeLink.h"

#include "platform/Shell.h"

namespace {

const QString OpenUrlTopic = QStringLiteral("WWW_OpenURL");
const QString ActivateTopic = QStringLiteral("WWW_Activate");
const QString ExitTopic = QStringLiteral("WWW_Exit");
const QString SystemTopic = QStringLiteral("System");

bool isTopic(const QString& name, const QString& topic)
{
    return name.compare(topic, Qt::CaseInsensitive) == 0;
}

// The window id asks for a new window as -1, or as 0xFFFFFFFF in the
// browsers that write it unsigned.
bool asksForNewWindow(const QString& windowId)
{
    const QString id = windowId.trimmed();
    return id == QStringLiteral("-1") ||
           id.compare(QStringLiteral("0xFFFFFFFF"), Qt::CaseInsensitive) == 0 ||
           id == QStringLiteral("4294967295");
}

} // namespace

VbError DdeLink::error(int number)
{
    switch (number) {
    case NoServer:
        return {number, QStringLiteral("No browser is running to answer the link")};
    case Refused:
        return {number, QStringLiteral("The browser cannot carry out this link operation")};
    case TimedOut:
        return {number, QStringLiteral("The browser did not answer within the link's time-out")};
    default:
        return {number, QStringLiteral("Link error")};
    }
}

DdeLink::DdeLink(QObject* parent) : QObject(parent)
{
}

void DdeLink::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

QString DdeLink::topicName() const
{
    return m_topic.section(QLatin1Char('|'), 1);
}

bool DdeLink::serverRunning() const
{
    return !m_executable.isEmpty() && Shell::IsRunning(m_executable);
}

VbError DdeLink::setMode(int mode)
{
    if (mode == ModeNone) {
        m_mode = ModeNone;
        return {};
    }
    if (mode != ModeManual)
        return {380, QStringLiteral("Invalid property value")};
    m_mode = ModeNone;
    const QString name = topicName();
    const bool knownTopic = isTopic(name, SystemTopic) || isTopic(name, OpenUrlTopic) ||
                            isTopic(name, ActivateTopic) || isTopic(name, ExitTopic);
    if (m_topic.section(QLatin1Char('|'), 0, 0).isEmpty() || !knownTopic || !serverRunning())
        return error(NoServer);
    m_mode = ModeManual;
    return {};
}

VbError DdeLink::request()
{
    // A browser that went away since the conversation opened answers nothing.
    if (m_mode != ModeManual || !serverRunning())
        return error(NoServer);
    const QString name = topicName();
    if (isTopic(name, OpenUrlTopic))
        return openUrl();
    if (isTopic(name, ActivateTopic))
        return activate();
    return error(Refused);
}

VbError DdeLink::poke()
{
    if (m_mode != ModeManual || !serverRunning())
        return error(NoServer);
    if (!isTopic(topicName(), ExitTopic))
        return error(Refused);
    // Only a browser this program started is ended: one the user had
    // running before is the user's to close.
    Shell::EndStartedProcesses(m_executable);
    return {};
}

VbError DdeLink::openUrl()
{
    // The item: the address in double quotes (it may hold quotes itself, so
    // it ends at the last one), then ",save-as file,window id[,flags]".
    const qsizetype closing = m_item.lastIndexOf(QLatin1Char('"'));
    if (!m_item.startsWith(QLatin1Char('"')) || closing < 1)
        return error(Refused);
    const QString address = m_item.mid(1, closing - 1);
    const QStringList arguments = m_item.mid(closing + 1).split(QLatin1Char(','));
    const bool newWindow = asksForNewWindow(arguments.value(2));

    QStringList command;
    if (newWindow && Shell::browserFamily(m_executable) != Shell::BrowserFamily::Other)
        command.append(QStringLiteral("--new-window"));
    command.append(Shell::addressArguments(m_executable, address));
    // The started program hands the address to the running browser and
    // ends; nothing waits for it.
    const qint64 pid = Shell::StartBrowserProgram(m_executable, command);
    if (pid == 0)
        return error(Refused);
    setText(QString::number(pid));
    return {};
}

VbError DdeLink::activate()
{
    const Shell::Activation result =
        Shell::ActivateWindowsOf(Shell::ProcessesOf(m_executable), m_timeout * 100);
    if (result == Shell::Activation::TimedOut)
        return error(TimedOut);
    if (result == Shell::Activation::NoWindow)
        return error(Refused);
    return {};
}
