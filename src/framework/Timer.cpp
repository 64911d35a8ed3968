#include "Timer.h"

#include "SafeCall.h"

#include <QTimer>

#include <algorithm>

TTimer::TTimer(TComponent* owner) : TComponent(owner), FTimer(std::make_unique<QTimer>())
{
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] { SafeCall([this] { Timer(); }); });
    updateTimer();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    updateTimer();
}

void TTimer::SetInterval(int value)
{
    value = std::max(0, value);
    if (value == FInterval)
        return;
    FInterval = value;
    updateTimer();
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}

void TTimer::updateTimer()
{
    FTimer->stop();
    if (FEnabled && FInterval > 0)
        FTimer->start(FInterval);
}
