// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CommonDialog.h"

#include "platform/FileDialogBackend.h"

namespace {

CommonDialog::Backend* g_backend = nullptr;

} // namespace

void CommonDialog::setBackend(Backend* backend)
{
    g_backend = backend;
}

CommonDialog::Backend* CommonDialog::backend()
{
    static FileDialogBackend real;
    return g_backend ? g_backend : &real;
}

CommonDialog::CommonDialog(QWidget* parent) : m_parent(parent)
{
}

CommonDialog::Request CommonDialog::request(Kind kind) const
{
    Request request;
    request.kind = kind;
    request.DialogTitle = DialogTitle;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitDir = InitDir;
    request.FileName = FileName;
    request.DefaultExt = DefaultExt;
    request.Flags = Flags;
    request.Color = Color;
    request.parent = m_parent;
    return request;
}

void CommonDialog::cancelled(VbError* error) const
{
    if (CancelError && error)
        *error = VbErrors::make(VbErrors::DialogCancelled);
}

QString CommonDialog::showFile(Kind kind, VbError* error)
{
    const Answer answer = backend()->show(request(kind));
    if (!answer.accepted) {
        cancelled(error);
        // Without the cancel error the empty name is how callers see the
        // cancel; with it the name stays for the next use.
        if (!CancelError)
            FileName.clear();
        return QString();
    }
    FileName = answer.FileName;
    if (answer.FilterIndex > 0)
        FilterIndex = answer.FilterIndex;
    return FileName;
}

QString CommonDialog::ShowOpen(VbError* error)
{
    return showFile(Kind::Open, error);
}

QString CommonDialog::ShowSave(VbError* error)
{
    return showFile(Kind::Save, error);
}

QColor CommonDialog::ShowColor(VbError* error)
{
    const Answer answer = backend()->show(request(Kind::Color));
    if (!answer.accepted || !answer.Color.isValid()) {
        cancelled(error);
        return QColor();
    }
    Color = answer.Color;
    return Color;
}
