// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScriptedCommonDialog.h"

ScriptedCommonDialog::ScriptedCommonDialog() : m_previous(CommonDialog::backend())
{
    CommonDialog::setBackend(this);
}

ScriptedCommonDialog::~ScriptedCommonDialog()
{
    CommonDialog::setBackend(m_previous);
}

void ScriptedCommonDialog::chooseFile(const QString& path, int filterIndex)
{
    CommonDialog::Answer answer;
    answer.accepted = true;
    answer.FileName = path;
    answer.FilterIndex = filterIndex;
    m_answers.append(answer);
}

void ScriptedCommonDialog::chooseColor(const QColor& color)
{
    CommonDialog::Answer answer;
    answer.accepted = true;
    answer.Color = color;
    m_answers.append(answer);
}

void ScriptedCommonDialog::cancel()
{
    m_answers.append(CommonDialog::Answer{});
}

CommonDialog::Answer ScriptedCommonDialog::show(const CommonDialog::Request& request)
{
    m_requests.append(request);
    return m_answers.isEmpty() ? CommonDialog::Answer{} : m_answers.takeFirst();
}
