// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

/// The real prompt backend: a modal QMessageBox with the requested
/// buttons, icon and default button.
class MessageBoxPrompts final : public Prompts::Backend
{
public:
    int show(const Prompts::Request& request) override;
};
