#include "ui/support/Priority.h"

#include <cerrno>

#include <sys/resource.h>

bool RaiseProcessPriority() {
    constexpr int kAboveNormal = -5;
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && current <= kAboveNormal)
        return true;  // already at least as high
    return setpriority(PRIO_PROCESS, 0, kAboveNormal) == 0;
}
