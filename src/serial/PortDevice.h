#pragma once
// Opening and closing a serial device for exclusive use.

#include <string>

enum class TPortOpenResult { Opened, CannotOpen, NotCommDevice };

// Opens the device read/write, non-blocking, without making it the controlling
// terminal, and claims it: TIOCEXCL keeps other programs out, an exclusive flock
// keeps out a second open in this process (and privileged processes, which TIOCEXCL
// lets through). A file that is not a terminal device is closed again.
TPortOpenResult OpenPortDevice(const std::string &path, int &fd);

// Releases the claim and closes the descriptor.
void ClosePortDevice(int fd);

// Discards what is waiting in the given direction(s): input, output or both.
enum class TPurge { Input, Output, Both };
void PurgePort(int fd, TPurge which);
