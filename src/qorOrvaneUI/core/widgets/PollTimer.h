#pragma once

#include "qorOrvaneUI/core/Poller.h"

#include <QTimer>

namespace orvane::ui {

// A wait view's running poll timer, "tmrAuthResponse", calling `onTick`.
template <class Owner, class Slot> QTimer *startPollTimer(Owner *owner, Slot onTick)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QStringLiteral("tmrAuthResponse"));
    timer->setInterval(Poller::IntervalMs);
    QObject::connect(timer, &QTimer::timeout, owner, onTick);
    timer->start();
    return timer;
}

} // namespace orvane::ui
