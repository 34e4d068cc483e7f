#pragma once
// Time for window timers that moves only when the test moves it. While a
// ManualClock lives, every timer started (SetTimer) takes its ticks from it,
// and Advance delivers them inside the call, in the order they fall due, each
// the way the window system delivers a tick (WM_TIMER sent to its window).
// Nothing else waits on it, so a test of a timer or an animation never waits
// for real time.
//
//   kp::testing::ManualClock clock;
//   ... open the window that starts a 150 ms timer ...
//   clock.Advance(149);  // no tick yet
//   clock.Advance(1);    // the first tick

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/qt/timer_clock.h"

namespace kp::testing {

class ManualClock final : public kp::qt::TimerClock {
 public:
  ManualClock();
  ~ManualClock() override;
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  // Moves time forward by `milliseconds`, delivering every tick that falls
  // due on the way at its own time; a timer started or stopped by a tick
  // counts from that tick's time.
  void Advance(std::uint64_t milliseconds);
  // Milliseconds moved since the clock was made.
  std::uint64_t Now() const;
  // The timers running on this clock.
  std::size_t RunningTimers() const;

  std::unique_ptr<kp::qt::TimerTicks> Start(HWND owner, unsigned milliseconds, std::function<void()> tick) override;

 private:
  struct Schedule;
  std::shared_ptr<Schedule> m_schedule;
  kp::qt::TimerClock* m_previous;
};

}  // namespace kp::testing
