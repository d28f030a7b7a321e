#include "platform/runtime/free_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace altimar::runtime {

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace altimar::runtime
