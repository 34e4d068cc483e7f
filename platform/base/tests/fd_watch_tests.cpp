#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/base/fd_watch.h"

namespace {
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() { EXPECT_EQ(::pipe(fds), 0); }
  ~Pipe() {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  int read() const { return fds[0]; }
  void Write(char c) const { EXPECT_EQ(::write(fds[1], &c, 1), 1); }
  char Read() const {
    char c = 0;
    EXPECT_EQ(::read(fds[0], &c, 1), 1);
    return c;
  }
};

// One round of the poll loop that does not wait: the callbacks of every
// descriptor readable now run, and nothing else can happen. Returns done().
bool ServeWhatIsReady(const std::function<bool()>& done) { return kp::RunFdLoopUntil(done, 0); }

TEST(FdWatch, CallsBackFromTheLoopWhenADescriptorIsReadable) {
  Pipe pipe;
  std::vector<char> seen;
  kp::WatchFd(pipe.read(), [&] { seen.push_back(pipe.Read()); });
  // Nothing to read: a round of the loop makes no call.
  EXPECT_FALSE(ServeWhatIsReady([&] { return !seen.empty(); }));
  pipe.Write('a');
  EXPECT_TRUE(seen.empty());  // only the loop calls back
  EXPECT_TRUE(ServeWhatIsReady([&] { return !seen.empty(); }));
  EXPECT_EQ(seen, std::vector<char>{'a'});
  kp::UnwatchFd(pipe.read());
  pipe.Write('b');
  EXPECT_FALSE(ServeWhatIsReady([&] { return seen.size() > 1; }));
}

TEST(FdWatch, ACallbackMayEndItsOwnWatch) {
  Pipe pipe;
  int calls = 0;
  kp::WatchFd(pipe.read(), [&] {
    ++calls;
    pipe.Read();
    kp::UnwatchFd(pipe.read());
  });
  pipe.Write('x');
  pipe.Write('y');
  EXPECT_TRUE(kp::RunFdLoopUntil([&] { return calls > 0; }, 5000));
  // 'y' is still there to read, but nobody watches for it.
  EXPECT_FALSE(ServeWhatIsReady([&] { return calls > 1; }));
  EXPECT_EQ(calls, 1);
}

// A backend of the kind an application installs on its own event loop.
class RecordingWatcher final : public kp::FdWatcher {
 public:
  void Watch(int fd, std::function<void()> onReadable) override { m_watches[fd] = std::move(onReadable); }
  void Unwatch(int fd) override { m_watches.erase(fd); }
  std::map<int, std::function<void()>> m_watches;
};

TEST(FdWatch, WatchesMoveToAnInstalledBackendAndBack) {
  Pipe pipe;
  int calls = 0;
  kp::WatchFd(pipe.read(), [&] {
    ++calls;
    pipe.Read();
  });
  RecordingWatcher loop;
  kp::SetFdWatcher(&loop);
  ASSERT_EQ(loop.m_watches.count(pipe.read()), 1u);
  // The poll loop no longer serves it; the installed backend does.
  pipe.Write('z');
  EXPECT_FALSE(ServeWhatIsReady([&] { return calls > 0; }));
  loop.m_watches.at(pipe.read())();
  EXPECT_EQ(calls, 1);
  kp::SetFdWatcher(nullptr);
  EXPECT_TRUE(loop.m_watches.empty());
  pipe.Write('w');
  EXPECT_TRUE(kp::RunFdLoopUntil([&] { return calls == 2; }, 5000));
  kp::UnwatchFd(pipe.read());
}
}  // namespace
