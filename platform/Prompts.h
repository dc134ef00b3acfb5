// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Message boxes with the old platform's button and icon codes and answers.
namespace Prompts {

// Buttons (low bits), icons and default button, combined by adding.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;

// Answers.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

/// One box as the program asks for it.
struct Request
{
    QString text;
    int buttons = vbOKOnly;
    QString title; ///< Never empty: the application title stands in for none.
    QString helpFile;
    int helpContext = 0;
    /// When above 0 nobody may be there to answer: the box shows a
    /// countdown and then takes its default button by itself.
    int closeAfterSeconds = 0;
};

/// Shows boxes; the program installs a real one, tests a scripted one.
class Backend
{
public:
    virtual ~Backend() = default;
    virtual int show(const Request& request) = 0;
};

/// Installs the backend every box goes to (nullptr: a headless default that
/// writes the box to standard error and takes its default button).
void setBackend(Backend* backend);
Backend* backend();

/// Makes every box that follows close itself after the seconds, taking
/// its default button (0: boxes wait for an answer, as normally).
void setSelfClosingSeconds(int seconds);
int selfClosingSeconds();
/// The time an unattended run gives a box before it closes itself.
constexpr int UnattendedBoxSeconds = 15;

/// The application title, the caption of a box that names none.
QString applicationTitle();

/// The answer a box gives when its default button is taken.
int defaultAnswer(int buttons);

/// Shows a box and returns the answer (vbOK, vbYes ...).
int MsgBox(const QString& text, int buttons = vbOKOnly, const QString& title = QString(),
           const QString& helpFile = QString(), int helpContext = 0);

} // namespace Prompts
