/* Movable memory handles shared by the host and every plug-in. A handle is a 32-bit number; the
   block behind it is reached only through a lock. Bad handles are reported, never dereferenced. */
#ifndef ZORVANE_PLATFORM_MEMHANDLE_H
#define ZORVANE_PLATFORM_MEMHANDLE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t HGLOBAL32;

#define GMEM_FIXED_FLAG 0x0000u
#define GMEM_MOVEABLE_FLAG 0x0002u
#define GMEM_ZEROINIT_FLAG 0x0040u

#if defined(ZORVANE_MEMHANDLE_BUILD)
#define ZORVANE_MEM_API __attribute__((visibility("default")))
#else
#define ZORVANE_MEM_API
#endif

/* Allocates a block of `bytes` (0 allowed). Returns 0 when memory is short or the size is
   beyond the handle library's limit. */
ZORVANE_MEM_API HGLOBAL32 GlobalAlloc(uint32_t flags, size_t bytes);
/* Raises the lock count and returns the block; NULL for a bad or freed handle. */
ZORVANE_MEM_API void* GlobalLock(HGLOBAL32 handle);
/* Lowers the lock count. Returns nonzero while the block stays locked, 0 when it is unlocked
   (also for a bad handle, with GlobalLastError set). */
ZORVANE_MEM_API int GlobalUnlock(HGLOBAL32 handle);
/* Frees the block. Returns 0 on success, the handle itself on failure (a bad handle). */
ZORVANE_MEM_API HGLOBAL32 GlobalFree(HGLOBAL32 handle);
/* Size of the block in bytes; 0 for a bad handle. */
ZORVANE_MEM_API size_t GlobalSize(HGLOBAL32 handle);
/* Lock count of a live handle, -1 for a bad one. */
ZORVANE_MEM_API int GlobalLockCount(HGLOBAL32 handle);
/* Number of live handles: lets tests prove that every path frees what it took. */
ZORVANE_MEM_API size_t GlobalLiveHandles(void);
/* 0, or 6 (invalid handle) after the last failed call of this thread. */
ZORVANE_MEM_API uint32_t GlobalLastError(void);

#ifdef __cplusplus
}
#endif

#endif
