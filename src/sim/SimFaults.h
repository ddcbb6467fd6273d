#pragma once
// Line faults of the virtual module: single-bit flips and dropped bytes, drawn per
// byte sent from a generator of their own (seeded from the session's seed), so a
// faulty session is reproduced by the same seed.

#include "protocol/FrameBuild.h"
#include "sim/SimOptions.h"

#include <cstdint>
#include <random>

class TLineFaults {
public:
    explicit TLineFaults(const TSimOptions &options);

    bool Active() const { return fFlip > 0 || fDrop > 0; }
    // Applies the faults to bytes about to be sent: each byte is dropped with the drop
    // probability, otherwise one of its bits is flipped with the flip probability.
    void Apply(TBytes &bytes);

    uint64_t Flipped() const { return fFlipped; }
    uint64_t Dropped() const { return fDropped; }

private:
    double fFlip;
    double fDrop;
    std::mt19937_64 fRandom;
    uint64_t fFlipped = 0;
    uint64_t fDropped = 0;
};
