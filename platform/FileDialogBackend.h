// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommonDialog.h"

#include <QStringList>

/// The real common dialogs: Qt's own file and colour dialogs (not the
/// desktop's), so they look and behave the same everywhere, tests included.
class FileDialogBackend final : public CommonDialog::Backend
{
public:
    CommonDialog::Answer show(const CommonDialog::Request& request) override;

    /// The old "text|pattern|text|pattern" filter as Qt's name filters, one
    /// "text (patterns)" per pair. A trailing text without a pattern is
    /// dropped. "*.*" becomes "*", which matches files without an extension
    /// too, as it did on the old platform.
    static QStringList qtNameFilters(const QString& filter);

private:
    static CommonDialog::Answer showFile(const CommonDialog::Request& request);
    static CommonDialog::Answer showColor(const CommonDialog::Request& request);
};
