#include "platform/testing/manual_clock.h"

#include <map>

namespace kp::testing {

struct ManualClock::Schedule {
  struct Timer {
    std::uint64_t due;
    std::uint64_t period;
    std::function<void()> tick;
  };
  std::uint64_t now = 0;
  std::uint64_t nextKey = 0;
  // By start order, which settles two ticks due at the same time.
  std::map<std::uint64_t, Timer> timers;
};

namespace {
// Ends a timer's ticks when destroyed.
class ManualTicks final : public kp::qt::TimerTicks {
 public:
  explicit ManualTicks(std::function<void()> stop) : m_stop(std::move(stop)) {}
  ~ManualTicks() override { m_stop(); }

 private:
  std::function<void()> m_stop;
};
}  // namespace

ManualClock::ManualClock() : m_schedule(std::make_shared<Schedule>()), m_previous(kp::qt::SetTimerClock(this)) {}

ManualClock::~ManualClock() { kp::qt::SetTimerClock(m_previous); }

std::unique_ptr<kp::qt::TimerTicks> ManualClock::Start(HWND, unsigned milliseconds, std::function<void()> tick) {
  Schedule& schedule = *m_schedule;
  const std::uint64_t period = milliseconds > 0 ? milliseconds : 1;
  const std::uint64_t key = schedule.nextKey++;
  schedule.timers[key] = Schedule::Timer{schedule.now + period, period, std::move(tick)};
  // The clock may go first, with a window the test left open.
  return std::make_unique<ManualTicks>([weak = std::weak_ptr<Schedule>(m_schedule), key] {
    if (auto alive = weak.lock()) alive->timers.erase(key);
  });
}

void ManualClock::Advance(std::uint64_t milliseconds) {
  Schedule& schedule = *m_schedule;
  const std::uint64_t end = schedule.now + milliseconds;
  while (true) {
    auto next = schedule.timers.end();
    for (auto it = schedule.timers.begin(); it != schedule.timers.end(); ++it)
      if (it->second.due <= end && (next == schedule.timers.end() || it->second.due < next->second.due)) next = it;
    if (next == schedule.timers.end()) break;
    schedule.now = next->second.due;
    next->second.due += next->second.period;
    // The tick may stop its own timer; the copy runs to its end regardless.
    std::function<void()> tick = next->second.tick;
    tick();
  }
  schedule.now = end;
}

std::uint64_t ManualClock::Now() const { return m_schedule->now; }

std::size_t ManualClock::RunningTimers() const { return m_schedule->timers.size(); }

}  // namespace kp::testing
