// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPlainTextEdit;

/// "Audit Form": the web show audit's report in one text box. It keeps
/// its place between openings.
class frmAudit : public QDialog
{
    Q_OBJECT

public:
    explicit frmAudit(QWidget* parent = nullptr);

    void setReport(const QString& report);
    QString report() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int toPixels(int twips) const;
    int toTwips(int pixels) const;

    QPlainTextEdit* m_txtOut = nullptr;
    bool m_placed = false;
};
