#pragma once
// Starting and joining the port's reading and writing threads.

#include <functional>
#include <thread>

// Starts body on a new thread; false when the thread cannot be created.
bool StartPortThread(std::thread &thread, std::function<void()> body);

// Waits for the thread to end, unless called from that thread itself (a handler
// running on it may close the port).
void JoinPortThread(std::thread &thread);
