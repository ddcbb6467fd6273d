#include "sim/SimRecord.h"

#include "protocol/CaptureFile.h"
#include "sim/SimFaults.h"
#include "sim/SimModule.h"
#include "sim/SimTruth.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

bool RecordSessionMessages(const TSimOptions &options, int frames, std::vector<TRecordedMessage> &messages,
                           std::string *error) {
    TTruthWriter truth;
    if (!truth.Open(options.truthDir, error))
        return false;
    TModuleCore module(options);
    TLineFaults faults(options);
    messages.clear();
    messages.push_back({0, module.EemFrame()});
    messages.push_back({0, module.SysFrame(0)});

    double temperatures[768];
    for (int k = 0; k < frames; ++k) {
        const double t = k * module.FramePeriod();
        messages.push_back({static_cast<uint64_t>(std::llround(t * 1e6)), module.NextFrame(t, temperatures)});
        if (!truth.Write(temperatures, error))
            return false;
    }
    // The line's faults hit every byte sent, answers and frames alike.
    for (TRecordedMessage &m : messages)
        faults.Apply(m.bytes);
    return true;
}

bool RecordSession(const TSimOptions &options, int frames, TBytes &stream, std::string *error) {
    std::vector<TRecordedMessage> messages;
    stream.clear();
    if (!RecordSessionMessages(options, frames, messages, error))
        return false;
    for (const TRecordedMessage &m : messages)
        stream.insert(stream.end(), m.bytes.begin(), m.bytes.end());
    return true;
}

bool RecordSessionToFile(const TSimOptions &options, int frames, const std::string &path,
                         TRecordFormat format, std::string *error) {
    std::vector<TRecordedMessage> messages;
    if (!RecordSessionMessages(options, frames, messages, error))
        return false;
    if (format == TRecordFormat::Capture) {
        TCaptureHeader header;
        header.startUnixMicros = CaptureNowUnixMicros();
        header.utcOffsetSeconds = LocalUtcOffsetSeconds(header.startUnixMicros);
        TCaptureWriter writer;
        if (!writer.Open(path, header, error))
            return false;
        for (const TRecordedMessage &m : messages)
            if (!writer.Append(m.micros, m.bytes.data(), m.bytes.size(), error))
                return false;
        return writer.Close(error);
    }
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error)
            *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    bool written = true;
    for (const TRecordedMessage &m : messages)
        written = written && std::fwrite(m.bytes.data(), 1, m.bytes.size(), f) == m.bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return true;
}
