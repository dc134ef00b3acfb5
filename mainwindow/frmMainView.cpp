// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMainParts.h"

#include "browser/modURL.h"
#include "engine/ShowEngine.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "platform/HelpTopics.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>

namespace {

using modMain::debugLog;

// How long a message stands against the focus returning to the window.
constexpr int StatusHoldMilliseconds = 4000;

// Checks one of a pair of option buttons and ticks its menu item, the other untouched; the
// button's own click handler stays quiet, as the choice comes from the engine.
void checkOneOfTwo(QRadioButton* const (&buttons)[2], QAction* const (&items)[2], int index)
{
    if (index < 0 || index > 1)
        return;
    const QSignalBlocker blocker(buttons[index]);
    buttons[index]->setChecked(true);
    items[index]->setChecked(true);
    items[1 - index]->setChecked(false);
}

} // namespace

// ====================================================================
// EngineView

QString frmMain::addressText() const
{
    return cboAddress->currentText();
}

void frmMain::setAddressText(const QString& text)
{
    cboAddress->setEditText(text);
}

void frmMain::addAddressToList(const QString& text)
{
    const QString current = cboAddress->currentText();
    cboAddress->addItem(text);
    cboAddress->setEditText(current);
}

void frmMain::setSlidePauseText(const QString& text)
{
    lblSlidePause->setText(text);
}

void frmMain::setSlidePauseVisible(bool visible)
{
    lblSlidePause->setVisible(visible);
}

QString frmMain::slideSoundText() const
{
    return lblSlideSound->text();
}

void frmMain::setSlideSoundText(const QString& text)
{
    lblSlideSound->setText(text);
}

void frmMain::setStatusText(const QString& text)
{
    pnlStatus->setText(text);
    m_statusHeld.setRemainingTime(StatusHoldMilliseconds);
}

void frmMain::setWindowTitle(const QString& title)
{
    QMainWindow::setWindowTitle(title);
}

void frmMain::setBusyCursor(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmMain::setWindowIconNumber(int resourceNumber)
{
    static const QHash<int, QStyle::StandardPixmap> icons{
        {101, QStyle::SP_MediaPlay}, {102, QStyle::SP_MediaStop}, {103, QStyle::SP_MediaPause}};
    setProperty("IconNumber", resourceNumber);
    setWindowIcon(style()->standardIcon(icons.value(resourceNumber, QStyle::SP_MediaStop)));
}

void frmMain::beep()
{
    QApplication::beep();
}

void frmMain::setSliderEnabled(bool enabled)
{
    sldCollect->setEnabled(enabled);
}

void frmMain::setSliderRange(int minimum, int maximum)
{
    const QSignalBlocker blocker(sldCollect);
    sldCollect->setRange(minimum, maximum);
}

void frmMain::setSliderTickFrequency(int frequency)
{
    sldCollect->setTickInterval(frequency);
}

void frmMain::setSliderValue(int value)
{
    const QSignalBlocker blocker(sldCollect);
    sldCollect->setValue(value);
}

void frmMain::setUpDownEnabled(bool enabled)
{
    updwnCollect->setEnabled(enabled);
}

void frmMain::setUpDownRange(int minimum, int maximum)
{
    updwnCollect->setRange(minimum, maximum);
}

void frmMain::setSlideNumberText(const QString& text)
{
    const QSignalBlocker blocker(txtCollectSlide);
    txtCollectSlide->setText(text);
}

void frmMain::setColMinText(const QString& text)
{
    lblColMin->setText(text);
}

void frmMain::setColMaxText(const QString& text)
{
    lblColMax->setText(text);
}

void frmMain::setNavKeyEnabled(int index, bool enabled)
{
    if (index >= 0 && index < 6)
        cmdNavKey[index]->setEnabled(enabled);
}

void frmMain::setModeChecked(int mode, bool checked)
{
    if (mode < ShowEngine::ModeNormal || mode > ShowEngine::ModeShow)
        return;
    m_modeShown[mode] = checked;
    m_modeItems[mode]->setChecked(checked);
}

void frmMain::setPauseChecked(bool checked)
{
    m_pauseShown = checked;
    mnuControlPause->setChecked(checked);
}

void frmMain::resyncCheckMarks()
{
    // A checkable item ticks itself when chosen; the engine decides.
    for (int mode = ShowEngine::ModeNormal; mode <= ShowEngine::ModeShow; ++mode)
        m_modeItems[mode]->setChecked(m_modeShown[mode]);
    mnuControlPause->setChecked(m_pauseShown);
}

void frmMain::setOrderChecked(int index)
{
    checkOneOfTwo(optCarMode, mnuOptionsOrder, index);
}

void frmMain::setOperationChecked(int index)
{
    checkOneOfTwo(optCarOp, mnuOptionsOperation, index);
}

void frmMain::setAutoStartTicked(bool ticked)
{
    chkAutoStart->setChecked(ticked);
    mnuOptionsLoadingAutoStart->setChecked(ticked);
}

void frmMain::setBusyWaitTicked(bool ticked)
{
    chkBusyWait->setChecked(ticked);
    mnuOptionsLoadingWaitTillDone->setChecked(ticked);
}

void frmMain::setUseDefaultTicked(bool ticked)
{
    chkUseDefault->setChecked(ticked);
    mnuOptionsPauseUseDefault->setChecked(ticked);
    lblSlidePause->setVisible(!ticked);
}

void frmMain::setToolTipsChecked(bool on)
{
    mnuOptionsToolTipsOn->setChecked(on);
    mnuOptionsToolTipsOff->setChecked(!on);
}

QString frmMain::intervalText() const
{
    return cboReloadInterval->currentText();
}

void frmMain::focusIntervalBox()
{
    cboReloadInterval->setFocus(Qt::OtherFocusReason);
}

int frmMain::helpContext() const
{
    return HelpTopics::frmMain;
}

VbError frmMain::restoreLayout()
{
    const WindowGeometry geometry = m_layout.GetPrevious();
    move(Twips::toPixels(geometry.left), Twips::toPixels(geometry.top));
    resize(Twips::toPixels(geometry.width), Twips::toPixels(geometry.height));
    const QStringList previousFiles = m_layout.GetPrevFiles();
    for (const QString& file : previousFiles)
        m_files->UpdateMenu(file);

    const std::pair<Bar, bool> saved[] = {{BarSlide, m_layout.BarSlideOn},
                                          {BarNav, m_layout.BarNavOn},
                                          {BarCollect, m_layout.BarCollectOn},
                                          {BarOpt, m_layout.BarOptOn},
                                          {BarStatus, m_layout.BarStatusOn}};
    for (const auto& [bar, on] : saved) {
        if (!on && m_bars[bar]->isExpanded())
            toggleBar(bar);
    }
    return {};
}

void frmMain::addRecentFile(const QString& fileName)
{
    m_files->UpdateMenu(fileName);
}

VbError frmMain::configBrowser()
{
    // The link's names come back into the options.
    modURL::config_Browser(m_options.AutoMode, UseOLE, UseDDE, m_options.AutoDDEapp,
                           m_options.AutoDDEexe);
    return {};
}

void frmMain::showRecentList()
{
    const QStringList& recent = m_files->recentFiles();
    mnuFileArray[0]->setVisible(!recent.isEmpty());
    for (int i = 1; i <= ShowFiles::MaxRecent; ++i) {
        const bool used = i <= recent.size();
        const QString path = used ? recent.at(i - 1) : QString();
        // A path is shown as it is: an ampersand in it is no access key.
        mnuFileArray[i]->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        mnuFileArray[i]->setData(path);
        mnuFileArray[i]->setVisible(used);
    }
}
