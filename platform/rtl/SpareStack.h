// Deep recursion that the user controls (a script routine calling itself)
// runs on the thread's own stack while enough of it is left, and continues on
// one large spare stack of the same thread when it is not. The depth this
// allows follows the real stack use of each level, not a fixed count, and it
// holds with the larger frames of sanitizer builds; when the spare stack is
// used up too, the caller gets an error instead of a crash.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace SpareStack {

// What one level of the recursion may use at most before it checks again
// (a script routine's body with the longest expression a script may hold):
// below this much stack left, the level moves to the spare stack. Frames of
// sanitizer and unoptimised builds are some times larger.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
inline constexpr size_t kHeadroom = size_t(4) << 20;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr size_t kHeadroom = size_t(4) << 20;
#else
inline constexpr size_t kHeadroom = size_t(2) << 20;
#endif
#else
inline constexpr size_t kHeadroom = size_t(2) << 20;
#endif

// The size of the spare stack (address space reserved on first use; pages
// are taken only as the recursion reaches them).
inline constexpr size_t kSpareSize = size_t(32) << 20;

namespace detail {
// The lowest usable address of the stack the thread runs on now; null until
// the thread's stack has been measured.
inline thread_local const char* StackLow = nullptr;
void MeasureStack();
}  // namespace detail

// True when at least kHeadroom bytes of the current stack are left.
inline bool HasRoom()
{
    if (!detail::StackLow) detail::MeasureStack();
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    return here > detail::StackLow && size_t(here - detail::StackLow) >= kHeadroom;
}

// Runs fn on the spare stack of this thread and returns when it has run; an
// exception fn raises passes on to the caller. When the thread already runs
// on its spare stack (its room is used up), raises Exception(tooDeep)
// without running fn.
void Run(const std::function<void()>& fn, const std::string& tooDeep);

}  // namespace SpareStack
