#include "runtime/CrashPoint.h"

#include <atomic>

namespace orvane {

namespace {
std::atomic<CrashHook> installed{nullptr};
} // namespace

void setCrashHook(CrashHook hook)
{
    installed.store(hook);
}

void crashPoint(const char *point)
{
    if (const CrashHook hook = installed.load(std::memory_order_relaxed))
        hook(point);
}

} // namespace orvane
