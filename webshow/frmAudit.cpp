// SPDX-License-Identifier: GPL-3.0-or-later
#include "webshow/frmAudit.h"

#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "settings/DialogPosition.h"
#include "startup/modMain.h"

#include <QHideEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QResizeEvent>

#include <cmath>

namespace {

const QString WindowName = QStringLiteral("frmAudit");

// The window's design size and the text box's margins, in twips.
constexpr int DesignWidth = 7800;
constexpr int DesignHeight = 5600;
constexpr int Margin = 120;
constexpr int WidthAllowance = 400;
constexpr int HeightAllowance = 700;
constexpr int SmallestHeight = 1200;

} // namespace

frmAudit::frmAudit(QWidget* parent) : QDialog(parent)
{
    setObjectName(WindowName);
    setWindowTitle(QStringLiteral("Audit Form"));
    setSizeGripEnabled(true);
    m_txtOut = new QPlainTextEdit(this);
    m_txtOut->setObjectName(QStringLiteral("txtOut"));
    m_txtOut->setAccessibleName(QStringLiteral("Audit report"));
    m_txtOut->setReadOnly(true);
    m_txtOut->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtOut->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_txtOut->move(toPixels(Margin), toPixels(Margin));
    resize(toPixels(DesignWidth), toPixels(DesignHeight));
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmAudit);
}

void frmAudit::setReport(const QString& report)
{
    m_txtOut->setPlainText(report);
}

QString frmAudit::report() const
{
    return m_txtOut->toPlainText();
}

int frmAudit::toPixels(int twips) const
{
    return int(std::lround(twips * logicalDpiX() / 1440.0));
}

int frmAudit::toTwips(int pixels) const
{
    return int(std::lround(pixels * 1440.0 / logicalDpiX()));
}

void frmAudit::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        const DialogPosition::Position stored =
            DialogPosition::Load(WindowName, {toTwips(x()), toTwips(y())});
        move(toPixels(stored.left), toPixels(stored.top));
    }
    QDialog::showEvent(event);
}

void frmAudit::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    const int innerWidth = toTwips(width());
    const int innerHeight = toTwips(height());
    int textHeight = m_txtOut->height();
    if (innerHeight > SmallestHeight)
        textHeight = toPixels(innerHeight - HeightAllowance);
    m_txtOut->resize(std::max(1, toPixels(innerWidth - WidthAllowance)), std::max(1, textHeight));
}

void frmAudit::hideEvent(QHideEvent* event)
{
    // Closed by its frame, by Escape or with the dialog that opened it.
    if (!event->spontaneous())
        DialogPosition::Save(WindowName, {toTwips(x()), toTwips(y())}, isMinimized(),
                             isMaximized());
    QDialog::hideEvent(event);
}
