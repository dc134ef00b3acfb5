// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScriptedPrompts.h"

#include <QStringList>

ScriptedPrompts::ScriptedPrompts() : m_previous(Prompts::backend())
{
    Prompts::setBackend(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::setBackend(m_previous);
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const auto& request : m_shown)
        result.append(request.text);
    return result;
}

int ScriptedPrompts::show(const Prompts::Request& request)
{
    m_shown.append(request);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return Prompts::defaultAnswer(request.buttons);
}
