#pragma once
// keeprun does little, in few threads: its heap need not grow per thread.
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace keeprun {

// One heap shared by every thread instead of glibc's arena per thread, each
// of which keeps its own free pages. Call before any thread starts.
inline void share_one_heap() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace keeprun
