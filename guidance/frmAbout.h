// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <QDialog>

class QLabel;
class QPushButton;

/// The about box: the program's title, version and platform, and a button
/// that starts the machine's system information program when it has one.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    /// Starts the system information program; a box says so when it
    /// cannot be started.
    void StartSysInfo();
    /// The path of the system information program; false (and an empty
    /// path) when the machine has none.
    static bool GetSysInfoPath(QString& path);
    /// Reads a text value of a machine key; false (and an empty result)
    /// when there is none.
    static bool GetKeyValue(Registry::Root root, const QString& keyName, const QString& valueName,
                            QString& keyValue);

    /// The path found when the box was made.
    QString sysInfoPath() const { return m_sysInfoPath; }

private:
    void buildControls();
    void Form_Load();

    QString m_sysInfoPath;

    QLabel* m_icon = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_platform = nullptr;
    QLabel* m_description = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_sysInfo = nullptr;
};
