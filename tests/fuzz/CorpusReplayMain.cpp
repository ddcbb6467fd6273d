// Runs the fuzz target over saved inputs (files, or every file of a folder) with
// the compiler's ordinary main, so the normal test run covers the seed corpus and
// past findings without libFuzzer.
//
//   <program> [--rounds N] FILE-OR-FOLDER...
//
// --rounds N replays the inputs N times and prints the peak resident memory and the
// speed twenty times on the way: a target whose memory grows from input to input
// shows it here.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char **argv) {
    std::vector<fs::path> inputs;
    long rounds = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc) {
            rounds = std::max(1L, std::strtol(argv[++i], nullptr, 10));
            continue;
        }
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto &entry : fs::directory_iterator(arg))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.push_back(arg);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs given\n");
        return 1;
    }
    std::vector<std::vector<uint8_t>> contents;
    for (const fs::path &path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        contents.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    const long reportEvery = std::max(1L, rounds / 20);
    auto lastReport = std::chrono::steady_clock::now();
    for (long round = 1; round <= rounds; ++round) {
        for (const std::vector<uint8_t> &bytes : contents)
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        if (rounds > 1 && (round % reportEvery == 0 || round == rounds)) {
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            const auto now = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(now - lastReport).count();
            lastReport = now;
            std::printf("%ld inputs: peak resident memory %ld MB, %.0f inputs/s\n",
                        round * long(contents.size()), usage.ru_maxrss / 1024,
                        double(reportEvery * contents.size()) / seconds);
            std::fflush(stdout);
        }
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
