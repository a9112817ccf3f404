#pragma once
// How many processors this process may run on: the default number of records, figures or threads
// the tools keep busy at once.
namespace smwave::companion {

// The processors in this process's affinity mask where the system keeps one (taskset, a cgroup's
// cpuset, a Slurm allocation all narrow it), else those the system reports; at least 1.
unsigned usable_cores();

}  // namespace smwave::companion
