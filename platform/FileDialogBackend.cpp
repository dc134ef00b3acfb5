// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialogBackend.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>

namespace {

QString qtPatterns(const QString& patterns)
{
    QStringList result;
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            result.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return result.join(QLatin1Char(' '));
}

/// The 1-based number of the filter chosen, 0 when none. Qt keeps the
/// filters with their blanks simplified, and names the chosen one by its
/// text alone while the patterns are hidden.
int selectedFilterIndex(const QFileDialog& dialog)
{
    const QString selected = dialog.selectedNameFilter();
    const QStringList filters = dialog.nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters.at(i);
        const QString text = filter.left(filter.lastIndexOf(QLatin1Char('('))).simplified();
        if (filter == selected || text == selected)
            return int(i) + 1;
    }
    return 0;
}

} // namespace

QStringList FileDialogBackend::qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts.at(i + 1));
        if (patterns.isEmpty())
            continue;
        const QString text = parts.at(i).trimmed();
        const QString details = u'(' + patterns + u')';
        result.append(text.isEmpty() ? details : text + u' ' + details);
    }
    return result;
}

CommonDialog::Answer FileDialogBackend::show(const CommonDialog::Request& request)
{
    return request.kind == CommonDialog::Kind::Color ? showColor(request) : showFile(request);
}

CommonDialog::Answer FileDialogBackend::showFile(const CommonDialog::Request& request)
{
    const bool save = request.kind == CommonDialog::Kind::Save;
    QFileDialog dialog(request.parent, request.DialogTitle);
    dialog.setObjectName(save ? QStringLiteral("cdlSave") : QStringLiteral("cdlOpen"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Callers that ask their own overwrite question must not get Qt's too.
    if (save && !(request.Flags & CommonDialog::cdlOFNOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);

    const QStringList filters = qtNameFilters(request.Filter);
    if (!filters.isEmpty()) {
        // The old dialogs showed the texts alone, the patterns hidden.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.FilterIndex - 1, filters.first()));
    }
    if (!request.DefaultExt.isEmpty())
        dialog.setDefaultSuffix(request.DefaultExt);
    if (!request.InitDir.isEmpty() && QDir(request.InitDir).exists())
        dialog.setDirectory(request.InitDir);
    // A name with a folder opens that folder, as it did on the old platform.
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);

    CommonDialog::Answer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    answer.FileName = dialog.selectedFiles().constFirst();
    answer.FilterIndex = selectedFilterIndex(dialog);
    return answer;
}

CommonDialog::Answer FileDialogBackend::showColor(const CommonDialog::Request& request)
{
    QColorDialog dialog(request.parent);
    dialog.setObjectName(QStringLiteral("cdlColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor((request.Flags & CommonDialog::cdlCCRGBInit) && request.Color.isValid()
                               ? request.Color
                               : QColor(Qt::black));
    CommonDialog::Answer answer;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    answer.accepted = true;
    answer.Color = dialog.selectedColor();
    return answer;
}
