// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommonDialog.h"

#include <QList>

/// A common dialog backend for tests: answers from a script (a dialog with
/// no answer left is cancelled) and records every dialog it was asked for.
/// Installs itself while it lives.
class ScriptedCommonDialog final : public CommonDialog::Backend
{
public:
    ScriptedCommonDialog();
    ~ScriptedCommonDialog() override;
    ScriptedCommonDialog(const ScriptedCommonDialog&) = delete;
    ScriptedCommonDialog& operator=(const ScriptedCommonDialog&) = delete;

    /// Queues the choice of a file (with the filter chosen; 0 keeps it).
    void chooseFile(const QString& path, int filterIndex = 0);
    /// Queues the choice of a colour.
    void chooseColor(const QColor& color);
    /// Queues a cancel.
    void cancel();

    const QList<CommonDialog::Request>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

    CommonDialog::Answer show(const CommonDialog::Request& request) override;

private:
    CommonDialog::Backend* m_previous = nullptr;
    QList<CommonDialog::Answer> m_answers;
    QList<CommonDialog::Request> m_requests;
};
