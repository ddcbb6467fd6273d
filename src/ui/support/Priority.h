#pragma once
// Raises the process priority above normal, best effort: a system that does not
// permit it (no privilege to lower the nice value) leaves the priority as it is.
// Returns whether the priority was raised.
bool RaiseProcessPriority();
