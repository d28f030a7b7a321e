// Hands memory the allocator keeps after frees back to the system.
#pragma once

namespace altimar::runtime {

// Worth calling after work on several threads that allocated much and freed
// it: each thread's allocator arena keeps what it freed, where later work on
// other threads does not find it, so the two would add up. Does nothing
// where the C library has no such call.
void ReleaseFreeMemory();

}  // namespace altimar::runtime
