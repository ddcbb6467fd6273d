// korvale-replay: replays a capture file or a raw recording of the module's serial
// stream through the program's frame intake and sensor image object; prints a CSV
// line per frame and optionally writes temperatures and pictures.

#include "protocol/CaptureFile.h"
#include "replay/ReplayOptions.h"
#include "replay/ReplaySession.h"
#include "replay/ReplaySplit.h"
#include "replay/ReplayWriters.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadCapture(const std::string &name, std::vector<uint8_t> &bytes, std::string *error) {
    if (name == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            *error = "cannot read standard input";
            return false;
        }
        return true;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        *error = "cannot open " + name + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "cannot read " + name;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    std::ios::sync_with_stdio(false);
    TReplayOptions options;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    switch (ParseReplayOptions(args, options, &error)) {
    case TParseResult::Help: std::cout << ReplayUsage(); return 0;
    case TParseResult::Error: std::cerr << "korvale-replay: " << error << "\n" << ReplayUsage(); return 2;
    case TParseResult::Run: break;
    }

    std::vector<uint8_t> capture;
    if (!ReadCapture(options.input, capture, &error) || !PrepareOutputDirs(options, &error)) {
        std::cerr << "korvale-replay: " << error << "\n";
        return 1;
    }

    // A capture file's chunks, up to any damage, joined: the stream is replayed like a
    // raw recording, so both give the same lines.
    TCaptureReader reader;
    reader.OpenMemory(capture.data(), capture.size());
    if (reader.IsCapture()) {
        std::vector<uint8_t> stream;
        TCaptureChunk chunk;
        uint64_t chunks = 0;
        while (reader.Next(chunk)) {
            stream.insert(stream.end(), chunk.bytes.begin(), chunk.bytes.end());
            ++chunks;
        }
        const TCaptureStatus &status = reader.Status();
        if (status.condition == TCaptureCondition::Unsupported) {
            std::cerr << "korvale-replay: " << options.input << ": " << status.Text() << "\n";
            return 1;
        }
        if (reader.HeaderRead())
            std::cerr << "korvale-replay: capture started " << FormatCaptureStart(reader.Header()) << ", "
                      << chunks << " chunks\n";
        if (!status.Sound())
            std::cerr << "korvale-replay: " << options.input << ": " << status.Text()
                      << "; replaying what comes before\n";
        capture.swap(stream);
    }

    TReplaySession session(options);
    if (options.header)
        std::cout << CsvHeader() << '\n';
    std::vector<TReplayFrame> frames;
    for (const TChunkSpan &chunk : SplitCapture(capture.data(), capture.size())) {
        frames.clear();
        session.Feed(capture.data() + chunk.offset, chunk.length, frames);
        for (const TReplayFrame &frame : frames) {
            if (!WriteFrameFiles(options, frame, &error)) {
                std::cerr << "korvale-replay: " << error << "\n";
                return 1;
            }
            std::cout << CsvLine(frame) << '\n';
        }
    }
    std::cout.flush();
    if (session.Abandoned() > 0)
        std::cerr << "korvale-replay: " << session.Abandoned() << " frame(s) gave no picture\n";
    if (!std::cout) {
        std::cerr << "korvale-replay: cannot write the CSV lines\n";
        return 1;
    }
    return 0;
}
