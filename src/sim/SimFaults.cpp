#include "sim/SimFaults.h"

TLineFaults::TLineFaults(const TSimOptions &options)
    : fFlip(options.flipProbability), fDrop(options.dropProbability),
      fRandom(uint64_t(options.seed) * 0x9E3779B97F4A7C15ull + 0x5EEDFA17ull) {}

void TLineFaults::Apply(TBytes &bytes) {
    if (!Active())
        return;
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    size_t kept = 0;
    for (size_t k = 0; k < bytes.size(); ++k) {
        uint8_t b = bytes[k];
        const double u = uniform(fRandom);
        if (u < fDrop) {
            ++fDropped;
            continue;
        }
        if (u < fDrop + fFlip) {
            b = static_cast<uint8_t>(b ^ (1u << (fRandom() % 8)));
            ++fFlipped;
        }
        bytes[kept++] = b;
    }
    bytes.resize(kept);
}
