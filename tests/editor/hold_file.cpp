// hold-file PATH FLAGS: opens PATH with the CFile open flags FLAGS (a
// number), writes one line, "held" or "refused", and keeps the file open
// until its standard input closes. The journeys use it as the other program
// that has the shapes file open.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/file/file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold-file PATH FLAGS\n");
    return 2;
  }
  CFile file;
  const bool held = file.Open(argv[1], static_cast<UINT>(std::strtoul(argv[2], nullptr, 0))) != FALSE;
  std::printf("%s\n", held ? "held" : "refused");
  std::fflush(stdout);
  char ignored;
  while (::read(STDIN_FILENO, &ignored, 1) > 0) {
  }
  return held ? 0 : 1;
}
