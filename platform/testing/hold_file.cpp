// kp-hold-file PATH FLAGS: opens PATH with the CFile open flags FLAGS (a
// number), writes one line, "held" or "refused", and keeps the file open
// until it is ended by a signal, at the latest when the test that started it
// ends. Tests use it as the other program that has a file open
// (kp::testing::HeldElsewhere): a separate program, because forking a test
// program that runs windows is not safe.

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/file/file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kp-hold-file PATH FLAGS\n");
    return 2;
  }
  // A test that dies without ending it takes it along.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  CFile file;
  const bool held = file.Open(argv[1], static_cast<UINT>(std::strtoul(argv[2], nullptr, 0))) != FALSE;
  std::printf("%s\n", held ? "held" : "refused");
  std::fflush(stdout);
  if (!held) return 1;
  for (;;) ::pause();
}
