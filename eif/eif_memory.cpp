#include <cstdio>
#include <cstdlib>

#include "eif/eif_list.h"

void EifExitOnMemoryFailure() {
  std::fputs("Memory allocation failure, exiting...\n", stderr);
  std::exit(1);
}
