#include "platform/qt/timer_clock.h"

#include <QPointer>
#include <QTimer>

#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

// A Qt timer that belongs to the window's widget, so that it goes with it.
class QtTimerTicks final : public TimerTicks {
 public:
  QtTimerTicks(QWidget* owner, unsigned milliseconds, std::function<void()> tick) : m_timer(new QTimer(owner)) {
    // The coarse default drifts by several percent; animations count ticks.
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, std::move(tick));
    m_timer->start(static_cast<int>(milliseconds));
  }
  ~QtTimerTicks() override {
    if (m_timer == nullptr) return;
    m_timer->stop();
    // It may be the timer whose tick is being handled right now.
    m_timer->deleteLater();
  }

 private:
  QPointer<QTimer> m_timer;
};

class QtTimerClock final : public TimerClock {
 public:
  std::unique_ptr<TimerTicks> Start(HWND owner, unsigned milliseconds, std::function<void()> tick) override {
    return std::make_unique<QtTimerTicks>(WidgetFromHandle(owner), milliseconds, std::move(tick));
  }
};

struct ClockState {
  QtTimerClock qt;
  TimerClock* current = &qt;
};

ClockState& State() {
  static ClockState state;
  return state;
}

}  // namespace

TimerTicks::~TimerTicks() = default;
TimerClock::~TimerClock() = default;

TimerClock* SetTimerClock(TimerClock* clock) {
  ClockState& state = State();
  TimerClock* previous = state.current == &state.qt ? nullptr : state.current;
  state.current = clock != nullptr ? clock : &state.qt;
  return previous;
}

TimerClock& CurrentTimerClock() { return *State().current; }

}  // namespace kp::qt
