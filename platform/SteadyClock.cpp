// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SteadyClock.h"

#include <QCoreApplication>
#include <QThread>

SteadyClock::SteadyClock()
{
    m_timer.start();
}

qint64 SteadyClock::tickCount()
{
    return m_timer.elapsed();
}

void SteadyClock::sleep(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void SteadyClock::doEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
