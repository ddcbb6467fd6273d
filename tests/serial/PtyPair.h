#pragma once
// A pseudo-terminal pair standing in for a serial device: the component opens the
// slave by its path, the test plays the module on the master side.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TPtyPair {
public:
    TPtyPair();  // fails the current test when no pair can be made
    ~TPtyPair();
    TPtyPair(const TPtyPair &) = delete;
    TPtyPair &operator=(const TPtyPair &) = delete;

    const std::string &SlavePath() const { return fSlavePath; }
    bool IsValid() const { return fMaster >= 0; }

    // Writes all bytes to the master side in one go.
    void Write(const std::vector<uint8_t> &bytes);
    void Write(const std::string &text);
    // Reads from the master side until `count` bytes are in or the time runs out,
    // handling the caller's events meanwhile.
    std::vector<uint8_t> Read(size_t count, std::chrono::milliseconds timeout);
    void CloseMaster();

private:
    int fMaster = -1;
    std::string fSlavePath;
};

// Handles events until `done` is true or the time runs out; returns `done()`.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);
// Handles events for the given time.
void PumpFor(std::chrono::milliseconds duration);

// Bytes 0, 1, 2, ... (mod 251), so that lost, doubled or reordered bytes show.
std::vector<uint8_t> Pattern(size_t count, uint8_t start = 0);
