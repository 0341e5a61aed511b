// How many threads are worth running side by side.
#pragma once

namespace base::system {

// The cores this process may run on: those of its CPU set (a container or `taskset` may give it
// fewer than the machine has), else as many as the system counts; at least one.
unsigned UsableCores();

}  // namespace base::system
