// Loaded with LD_PRELOAD into the program: every fsync, fdatasync and syncfs waits while the file
// named by FLUSH_GATE exists. A script can so hold the program inside its flush, where the wait
// window shows, for exactly as long as it needs, and let it go on at once. Nothing else of the
// program changes; without FLUSH_GATE the calls pass straight through.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static void wait_at_gate(void) {
  const char* gate = getenv("FLUSH_GATE");
  if (!gate || !*gate) return;
  const struct timespec tick = {0, 10 * 1000 * 1000};
  while (access(gate, F_OK) == 0) nanosleep(&tick, NULL);
}

#define PASS_ON(name)                                              \
  int name(int fd) {                                               \
    static int (*next)(int);                                       \
    if (!next) next = (int (*)(int))dlsym(RTLD_NEXT, #name);       \
    wait_at_gate();                                                \
    return next(fd);                                               \
  }

PASS_ON(fsync)
PASS_ON(fdatasync)
PASS_ON(syncfs)
