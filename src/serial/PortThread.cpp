#include "serial/PortThread.h"

#include <system_error>

bool StartPortThread(std::thread &thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void JoinPortThread(std::thread &thread) {
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
        thread.join();
}
