// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include "platform/VbError.h"

class QWidget;

/// The open, save and colour dialogs of a window, as the old common dialog
/// control offered them: the caller sets the properties, shows a dialog and
/// reads the result. The properties keep their values between uses, so a
/// dialog opens with the title, folder and file name its previous use left
/// unless the caller sets them again.
///
/// Every dialog goes to the installed backend: the real dialogs by default,
/// a scripted one in tests.
class CommonDialog
{
public:
    // Flags, combined by adding.
    /// Colour dialog: start from Color (otherwise from black).
    static constexpr int cdlCCRGBInit = 0x1;
    /// Save dialog: ask before a chosen file that exists is replaced.
    static constexpr int cdlOFNOverwritePrompt = 0x2;

    /// Which dialog a request is for.
    enum class Kind
    {
        Open,
        Save,
        Color
    };

    /// One dialog as the program asks for it: the properties at the time.
    struct Request
    {
        Kind kind = Kind::Open;
        QString DialogTitle;
        QString Filter;      ///< "text|pattern|text|pattern", patterns split by ";"
        int FilterIndex = 1; ///< 1-based
        QString InitDir;
        QString FileName;
        QString DefaultExt; ///< without the dot
        int Flags = 0;
        QColor Color;
        QWidget* parent = nullptr; ///< the window the dialog is modal to
    };

    /// What the user did with the dialog.
    struct Answer
    {
        bool accepted = false;
        QString FileName;    ///< full path (open and save)
        int FilterIndex = 0; ///< 1-based filter chosen; 0 keeps the request's
        QColor Color;        ///< chosen colour
    };

    /// Shows dialogs; the real one by default, tests install a scripted one.
    class Backend
    {
    public:
        virtual ~Backend() = default;
        virtual Answer show(const Request& request) = 0;
    };

    /// Installs the backend every dialog goes to; nullptr restores the real
    /// dialogs.
    static void setBackend(Backend* backend);
    static Backend* backend();

    /// A dialog whose windows are modal to the parent (may be null).
    explicit CommonDialog(QWidget* parent = nullptr);

    // The properties, as the old control named them.
    QString DialogTitle;
    QString Filter;
    int FilterIndex = 1;
    QString InitDir;
    QString FileName;
    QString DefaultExt;
    int Flags = 0;
    /// A cancelled dialog reports VbErrors::DialogCancelled.
    bool CancelError = false;
    QColor Color = Qt::black;

    /// Shows the open dialog. Returns the chosen path, which also becomes
    /// FileName; a cancelled dialog returns "" and empties FileName, or,
    /// with CancelError, reports the cancel error in *error and leaves
    /// FileName as it was.
    QString ShowOpen(VbError* error = nullptr);
    /// Shows the save dialog; as ShowOpen.
    QString ShowSave(VbError* error = nullptr);
    /// Shows the colour dialog. Returns the chosen colour, which also
    /// becomes Color; a cancelled dialog returns an invalid colour, leaves
    /// Color as it was and, with CancelError, reports the cancel error.
    QColor ShowColor(VbError* error = nullptr);

private:
    Request request(Kind kind) const;
    QString showFile(Kind kind, VbError* error);
    void cancelled(VbError* error) const;

    QWidget* m_parent = nullptr;
};
