// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

/// Whether anybody is at a main window: a run that auto start began is
/// unattended until a person uses one of the window's controls (or its
/// control bar, menus or boxes), and attended from then on until the next
/// unattended start. Both changes are logged.
///
/// While the run is unattended, message boxes close themselves after a
/// countdown with their default answer, and a lost browser is replaced
/// without asking.
class UnattendedRun : public QObject
{
    Q_OBJECT

public:
    /// Watches the input to the window and everything it owns.
    explicit UnattendedRun(QWidget* window, QObject* parent = nullptr);
    ~UnattendedRun() override;

    bool isUnattended() const { return m_unattended; }
    /// Auto start has begun the run.
    void startUnattended();
    /// A person is there (a control was used).
    void becomeAttended();

Q_SIGNALS:
    void changed(bool unattended);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownsWidget(const QObject* object) const;

    QPointer<QWidget> m_window;
    bool m_unattended = false;
};
