// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class COptions;
class QCheckBox;
class QLabel;
class QPushButton;

/// The tip of the day: one tip of "TipofDay.txt" in the program's folder,
/// "&Next Tip" for the one after it, and the choice whether tips show at
/// start-up. The caller hands over the options before showing it.
class frmTip : public QDialog
{
    Q_OBJECT

public:
    explicit frmTip(QWidget* parent = nullptr);

    /// The options record whose DisplayTips the check box shows and sets.
    void setOptions(COptions& options) { m_options = &options; }
    COptions* options() const { return m_options; }

    /// Reads the tip file, one tip a line (empty lines too), and shows a
    /// tip chosen at random; false when the name is empty or the file is
    /// missing.
    bool LoadTips(const QString& fileName);
    /// Shows the current tip, when there is one.
    void DisplayCurrentTip();

    /// The tip file: the program's folder and "TipofDay.txt".
    static QString tipFileName();
    /// The text shown when the tip file is missing.
    static QString missingFileText();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    void cmdNextTip_Click();
    void chkLoadTipsAtStartup_Click(bool checked);

    COptions* m_options = nullptr;
    QStringList m_tips;
    qint32 m_currentTip = 0; ///< 1-based
    bool m_loaded = false;
    bool m_activated = false;

    QLabel* m_heading = nullptr;
    QLabel* m_tipText = nullptr;
    QCheckBox* m_showAtStartup = nullptr;
    QPushButton* m_nextTip = nullptr;
    QPushButton* m_ok = nullptr;
};
