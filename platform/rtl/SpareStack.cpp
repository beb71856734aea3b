#include "SpareStack.h"

#include "Exceptions.h"

#include <exception>
#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QZ_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QZ_ASAN 1
#endif
#endif
#ifdef QZ_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace SpareStack {

namespace {

// Kept clear at the low end of every stack: the guard area, and what signal
// handlers and the C library may still need when a level stops there.
constexpr size_t kLowMargin = size_t(64) << 10;

// The spare stack of a thread: reserved on first use, kept for the thread's
// life (its pages are handed back after each use).
struct Spare {
    char* Base = nullptr;   // the mapping, guard page first
    size_t Size = 0;
    bool InUse = false;
    ~Spare()
    {
        if (Base) munmap(Base, Size);
    }
};
thread_local Spare GSpare;

struct Job {
    const std::function<void()>* Fn = nullptr;
    std::exception_ptr Error;
    ucontext_t Caller{};
    ucontext_t Callee{};
#ifdef QZ_ASAN
    void* CallerFakeStack = nullptr;
    const void* CallerBottom = nullptr;
    size_t CallerSize = 0;
#endif
};
thread_local Job* GJob = nullptr;

void Entry()
{
    Job* job = GJob;
#ifdef QZ_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &job->CallerBottom, &job->CallerSize);
#endif
    try {
        (*job->Fn)();
    } catch (...) {
        job->Error = std::current_exception();
    }
#ifdef QZ_ASAN
    // This use of the spare stack ends here; it is started afresh next time.
    __sanitizer_start_switch_fiber(nullptr, job->CallerBottom, job->CallerSize);
#endif
    swapcontext(&job->Callee, &job->Caller);
}

size_t PageSize()
{
    long p = sysconf(_SC_PAGESIZE);
    return p > 0 ? size_t(p) : 4096;
}

}  // namespace

namespace detail {

void MeasureStack()
{
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    pthread_attr_t attr;
    void* addr = nullptr;
    size_t size = 0;
    bool known = false;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        known = pthread_attr_getstack(&attr, &addr, &size) == 0 && addr && size > 0;
        pthread_attr_destroy(&attr);
    }
    const char* low = known ? static_cast<const char*>(addr) + kLowMargin : nullptr;
    // A stack that cannot be measured, or that the measure places above the
    // running code, counts as having a modest room left.
    if (!low || low >= here) low = here - (kHeadroom + (size_t(1) << 20));
    StackLow = low;
}

}  // namespace detail

void Run(const std::function<void()>& fn, const std::string& tooDeep)
{
    Spare& spare = GSpare;
    if (spare.InUse) throw Exception(tooDeep);
    const size_t page = PageSize();
    if (!spare.Base) {
        size_t size = kSpareSize + page;
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK,
                       -1, 0);
        if (p == MAP_FAILED) throw Exception(tooDeep);
        // An overrun faults on the guard page instead of writing past the stack.
        mprotect(p, page, PROT_NONE);
        spare.Base = static_cast<char*>(p);
        spare.Size = size;
    }
    char* stackBottom = spare.Base + page;
    const size_t stackSize = spare.Size - page;

    Job job;
    job.Fn = &fn;
    if (getcontext(&job.Callee) != 0) throw Exception(tooDeep);
    job.Callee.uc_stack.ss_sp = stackBottom;
    job.Callee.uc_stack.ss_size = stackSize;
    job.Callee.uc_link = nullptr;
    makecontext(&job.Callee, Entry, 0);

    Job* savedJob = GJob;
    const char* savedLow = detail::StackLow;
    GJob = &job;
    detail::StackLow = stackBottom + kLowMargin;
    spare.InUse = true;
#ifdef QZ_ASAN
    __sanitizer_start_switch_fiber(&job.CallerFakeStack, stackBottom, stackSize);
#endif
    swapcontext(&job.Caller, &job.Callee);
#ifdef QZ_ASAN
    __sanitizer_finish_switch_fiber(job.CallerFakeStack, nullptr, nullptr);
#endif
    spare.InUse = false;
    detail::StackLow = savedLow;
    GJob = savedJob;
    // The pages a deep recursion touched go back; the top megabyte, which
    // every use touches, stays.
    const size_t keep = size_t(1) << 20;
    madvise(stackBottom, stackSize - keep, MADV_DONTNEED);
    if (job.Error) std::rethrow_exception(job.Error);
}

}  // namespace SpareStack
