#include "base/system/Cores.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace base::system {

unsigned UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace base::system
