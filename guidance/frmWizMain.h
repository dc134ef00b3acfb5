// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class COptions;
class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class WizardHost;
class colURLs;

/// "Wizard Start": the recently opened shows, the current show, any other
/// show file or the new show wizard. The caller hands over the options,
/// the show and the main window before showing it.
class frmWizMain : public QDialog
{
    Q_OBJECT

public:
    explicit frmWizMain(QWidget* parent = nullptr);

    void setOptions(COptions& options) { m_options = &options; }
    void setShow(colURLs& show) { m_show = &show; }
    void setHost(WizardHost* host) { m_host = host; }
    /// Opened by a wizard to pick the show it works on: no new show
    /// wizard and no start-up box.
    void setWithinWizard(bool within) { m_withinWizard = within; }

    /// Where the window goes when it is first activated (pixels).
    static constexpr QPoint StartPosition{250, 100};

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    void fillList();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void ListView1_ColumnClick(int column);
    void cmdCurrent_Click();
    void cmdMore_Click();
    void cmdNewShow_Click();
    void chkStartup_Click(bool checked);

    COptions* m_options = nullptr;
    colURLs* m_show = nullptr;
    WizardHost* m_host = nullptr;
    bool m_withinWizard = false;
    bool m_loaded = false;
    bool m_activated = false;
    bool m_choiceChanged = false;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;

    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_lblCurrent = nullptr;
    QCheckBox* m_chkStartup = nullptr;
};
