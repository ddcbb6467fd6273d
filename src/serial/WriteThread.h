#pragma once
// The writing thread of TComm: takes queued blocks in order and writes each one
// whole, waiting for the port to accept more when its buffer is full. When the
// queue runs empty it sets the send-empty flag and, once after each run of writes,
// posts SendDataEmpty. A failed write ends the thread; errors other than a closed
// descriptor also request a hang-up. The close event ends it at any point.
//
// Create it with std::make_shared: the running thread owns it too, with the port
// session, so a thread that outlives the stop's waiting limit still has everything
// it uses.

#include "serial/CommNotice.h"
#include "serial/PortThread.h"
#include "serial/WakeEvent.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct TPortSession;

class TWriteThread : public std::enable_shared_from_this<TWriteThread> {
public:
    explicit TWriteThread(std::shared_ptr<TPortSession> session);
    TWriteThread(const TWriteThread &) = delete;
    TWriteThread &operator=(const TWriteThread &) = delete;

    bool Start();  // false when the thread cannot be created (errno tells why)
    // After the close event is set: waits at most `limit` for the thread to end;
    // false when it had not (it then ends on its own).
    bool Finish(std::chrono::milliseconds limit);

    // Queues a block; false once the thread has stopped (nothing would send it).
    bool Enqueue(std::vector<uint8_t> &&block);

private:
    void Execute();
    enum class TWriteResult { Written, Closed, Failed };
    TWriteResult WriteBlock(const std::vector<uint8_t> &block);
    void PostSimple(TCommNotice::TKind kind);

    const std::shared_ptr<TPortSession> fSession;
    const int hCommFile;
    const int hCloseEvent;
    std::atomic<bool> &pFSendDataEmpty;
    ICommNoticeSink &fSink;

    std::mutex fMutex;
    std::deque<std::vector<uint8_t>> fQueue;  // guarded by fMutex
    bool fAccepting = true;                   // guarded by fMutex
    TWakeEvent fNewData;
    TPortThread fThread;
};
