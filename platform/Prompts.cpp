// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Prompts.h"

#include <QTextStream>

#include <algorithm>

namespace {

class HeadlessBackend final : public Prompts::Backend
{
public:
    int show(const Prompts::Request& request) override
    {
        QTextStream err(stderr);
        err << request.title << ": " << request.text << Qt::endl;
        return Prompts::defaultAnswer(request.buttons);
    }
};

Prompts::Backend* g_backend = nullptr;
int g_selfClosingSeconds = 0;

} // namespace

void Prompts::setBackend(Backend* backend)
{
    g_backend = backend;
}

void Prompts::setSelfClosingSeconds(int seconds)
{
    g_selfClosingSeconds = std::max(seconds, 0);
}

int Prompts::selfClosingSeconds()
{
    return g_selfClosingSeconds;
}

Prompts::Backend* Prompts::backend()
{
    static HeadlessBackend headless;
    return g_backend ? g_backend : &headless;
}

QString Prompts::applicationTitle()
{
    return QStringLiteral("Pagewheel");
}

int Prompts::defaultAnswer(int buttons)
{
    static const int answers[6][3] = {
        {vbOK, vbOK, vbOK},      {vbOK, vbCancel, vbCancel}, {vbAbort, vbRetry, vbIgnore},
        {vbYes, vbNo, vbCancel}, {vbYes, vbNo, vbNo},        {vbRetry, vbCancel, vbCancel},
    };
    const int kind = buttons & 7;
    const int which = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
    return kind < 6 ? answers[kind][which] : vbOK;
}

int Prompts::MsgBox(const QString& text, int buttons, const QString& title, const QString& helpFile,
                    int helpContext)
{
    Request request;
    request.text = text;
    request.buttons = buttons;
    request.title = title.isEmpty() ? applicationTitle() : title;
    request.helpFile = helpFile;
    request.helpContext = helpContext;
    request.closeAfterSeconds = g_selfClosingSeconds;
    return backend()->show(request);
}
