#ifndef THREADHANDOFF_H
#define THREADHANDOFF_H

// Marks where an object passes from one thread to another through Qt's own locking (a thread
// pool's queue, for one), which the thread sanitizer cannot see: what the first thread did to
// the object before handOver() is then known to come before what the second does after
// takeOver(). Nothing at all in other builds.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
inline void handOver(const void* object)
{
    __tsan_release(const_cast<void*>(object));
}
inline void takeOver(const void* object)
{
    __tsan_acquire(const_cast<void*>(object));
}
#else
inline void handOver(const void*)
{
}
inline void takeOver(const void*)
{
}
#endif

#endif // THREADHANDOFF_H
