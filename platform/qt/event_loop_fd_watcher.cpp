#include "platform/qt/event_loop_fd_watcher.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <map>

#include "platform/base/fd_watch.h"

namespace kp::qt {
namespace {

// One socket notifier per watched descriptor; its callback runs from the
// Qt event loop that is running, whichever it is.
class EventLoopFdWatcher final : public kp::FdWatcher {
 public:
  void Watch(int fd, std::function<void()> onReadable) override {
    Unwatch(fd);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [callback = std::move(onReadable)] { callback(); });
    m_notifiers[fd] = notifier;
  }

  void Unwatch(int fd) override {
    auto it = m_notifiers.find(fd);
    if (it == m_notifiers.end()) return;
    // Possibly called from this notifier's own callback: it is switched off
    // now and deleted once control is back in the loop.
    if (QSocketNotifier* notifier = it->second) {
      notifier->setEnabled(false);
      notifier->deleteLater();
    }
    m_notifiers.erase(it);
  }

 private:
  std::map<int, QPointer<QSocketNotifier>> m_notifiers;
};

}  // namespace

void InstallEventLoopFdWatcher() {
  if (QCoreApplication::instance() == nullptr) return;
  // Kept for the rest of the process: the runtime may watch until exit.
  static EventLoopFdWatcher* watcher = nullptr;
  if (watcher != nullptr) return;
  watcher = new EventLoopFdWatcher();
  kp::SetFdWatcher(watcher);
}

}  // namespace kp::qt
