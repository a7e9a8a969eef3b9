#pragma once

namespace orvane {

// Named places where a write has just happened or is about to ("write" after
// each row statement, "commit" and "committed" around each commit;
// "exchanged" when the transport service has the network's answer in hand and
// has filed nothing of it yet). They do
// nothing unless a test program installs a hook, which may end the process
// there: that is how the crash tests stop a workstation at an exact step.
using CrashHook = void (*)(const char *point);
void setCrashHook(CrashHook hook);
void crashPoint(const char *point);

} // namespace orvane
