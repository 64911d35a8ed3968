// The framework's timer: a non-visual component that raises OnTimer every
// Interval milliseconds on the GUI thread while it runs.
//
// It runs while Enabled is on and Interval is above 0. Switching it on or
// changing Interval starts the period afresh (a running timer given a new
// interval waits the whole new interval before its next tick). Each tick
// raises OnTimer through the dynamic method Timer, inside SafeCall: an
// exception is shown and the timer goes on.
#pragma once

#include "Component.h"

#include <memory>

class QTimer;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // Milliseconds; 0 stops the timer. Negative values count as 0.
    int Interval() const { return FInterval; }
    void SetInterval(int value);

    TNotifyEvent OnTimer;

protected:
    // Raises OnTimer.
    virtual void Timer();

private:
    void updateTimer();

    bool FEnabled = true;
    int FInterval = 1000;
    std::unique_ptr<QTimer> FTimer;
};
