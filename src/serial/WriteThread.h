#pragma once
// The writing thread of TComm: takes queued blocks in order and writes each one
// whole, waiting for the port to accept more when its buffer is full. When the
// queue runs empty it sets the send-empty flag and, once after each run of writes,
// posts SendDataEmpty. A failed write ends the thread; errors other than a closed
// descriptor also request a hang-up. The close event ends it at any point.

#include "serial/CommNotice.h"
#include "serial/WakeEvent.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class TWriteThread {
public:
    TWriteThread(int commFile, int closeEventFd, std::atomic<bool> &sendDataEmpty, ICommNoticeSink &sink);
    ~TWriteThread();
    TWriteThread(const TWriteThread &) = delete;
    TWriteThread &operator=(const TWriteThread &) = delete;

    bool Start();  // false when the thread cannot be created
    void Join();   // after the close event is set

    // Queues a block; false once the thread has stopped (nothing would send it).
    bool Enqueue(std::vector<uint8_t> &&block);

private:
    void Execute();
    enum class TWriteResult { Written, Closed, Failed };
    TWriteResult WriteBlock(const std::vector<uint8_t> &block);
    void PostSimple(TCommNotice::TKind kind);

    const int hCommFile;
    const int hCloseEvent;
    std::atomic<bool> &pFSendDataEmpty;
    ICommNoticeSink &fSink;

    std::mutex fMutex;
    std::deque<std::vector<uint8_t>> fQueue;  // guarded by fMutex
    bool fAccepting = true;                   // guarded by fMutex
    TWakeEvent fNewData;
    std::thread fThread;
};
