#pragma once
// Opening and closing a serial device for exclusive use.

#include <string>

enum class TPortOpenResult { Opened, CannotOpen, NotCommDevice };

// Opens the device read/write, non-blocking, without making it the controlling
// terminal, and claims it: TIOCEXCL keeps other programs out, an exclusive flock
// keeps out a second open in this process (and privileged processes, which TIOCEXCL
// lets through). A file that is not a terminal device is closed again. On failure
// `error` holds the errno of the step that failed (ENOTTY for a file that is no
// terminal device), otherwise 0.
TPortOpenResult OpenPortDevice(const std::string &path, int &fd, int &error);

// What an errno of a failed open means to the user.
enum class TOpenFailure {
    None,          // 0: no system error
    NoSuchDevice,  // ENOENT, ENODEV, ENXIO: no such port (unplugged, mistyped)
    NoPermission,  // EACCES, EPERM: the user may not open it (dialout group)
    InUse,         // EBUSY, EWOULDBLOCK: another program (or component) holds it
    NotSerial,     // ENOTTY: the name is no serial device
    Other,
};
TOpenFailure ClassifyOpenError(int error);

// Releases the claim and closes the descriptor.
void ClosePortDevice(int fd);

// Discards what is waiting in the given direction(s): input, output or both.
enum class TPurge { Input, Output, Both };
void PurgePort(int fd, TPurge which);
