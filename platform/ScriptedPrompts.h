// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

#include <QList>

/// A prompt backend for tests: answers from a script (the box's default
/// button when the script is used up) and records every box it was shown.
/// Installs itself while it lives.
class ScriptedPrompts final : public Prompts::Backend
{
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    /// Queues the answer for the next box.
    void answer(int reply) { m_answers.append(reply); }

    const QList<Prompts::Request>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

    int show(const Prompts::Request& request) override;

private:
    Prompts::Backend* m_previous = nullptr;
    QList<int> m_answers;
    QList<Prompts::Request> m_shown;
};
