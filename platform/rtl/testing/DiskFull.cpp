#include "DiskFull.h"

#include <csignal>
#include <sys/resource.h>

void WithFileSizeLimit(unsigned long limit, const std::function<void()>& fn)
{
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit lim = old;
    lim.rlim_cur = rlim_t(limit);
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lim);
    auto restore = [&] {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
    };
    try {
        fn();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}
