#pragma once
// Where window timers take their time from. Every running SetTimer holds the
// ticks of one clock. The default clock is a precise Qt timer per window
// timer: the coarse default drifts by several percent, and an animation
// counts ticks. A test installs a clock of its own that moves only when the
// test moves it, so that a timer or an animation is checked tick by tick
// without waiting for real time.

#include <functional>
#include <memory>

#include "platform/base/handles.h"

namespace kp::qt {

// The ticks of one running timer. Destroying it stops them, also from
// inside one of its own ticks.
class TimerTicks {
 public:
  virtual ~TimerTicks();
};

class TimerClock {
 public:
  virtual ~TimerClock();
  // Calls `tick` every `milliseconds` (at least 1), the first time one
  // period from now, until the result is destroyed. The ticks belong to the
  // window `owner`.
  virtual std::unique_ptr<TimerTicks> Start(HWND owner, unsigned milliseconds, std::function<void()> tick) = 0;
};

// Installs `clock` (not owned; it must outlive the timers it starts) for the
// timers started from now on, or the default clock when null. Returns the
// clock it replaces, null for the default. Running timers keep their clock.
TimerClock* SetTimerClock(TimerClock* clock);
TimerClock& CurrentTimerClock();

}  // namespace kp::qt
