#include "ui/playback/CaptureRecorder.h"

#include "protocol/FrameBuild.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr uint8_t kFrameStart[3] = {'M', 'L', 'X'};

}  // namespace

TCaptureRecorder::~TCaptureRecorder() {
    std::string ignored;
    Stop(&ignored);
}

bool TCaptureRecorder::Start(const std::string &path, const std::vector<uint16_t> &calibration,
                             const std::vector<uint16_t> &parameters, std::string *error) {
    std::string ignored;
    Stop(&ignored);
    fPath = path;
    fFrames = 0;
    fBytes = 0;
    fTail.clear();
    TCaptureHeader header;
    header.startUnixMicros = CaptureNowUnixMicros();
    header.utcOffsetSeconds = LocalUtcOffsetSeconds(header.startUnixMicros);
    if (!fWriter.Open(path, header, error))
        return false;
    fStart = TClock::now();
    fEnd = fStart;
    if (calibration.size() >= 832) {
        const TBytes eem = BuildEemFrame(calibration);
        if (!fWriter.Append(0, eem.data(), eem.size(), error))
            return Fail(error, std::string());
    }
    if (parameters.size() >= 32) {
        const TBytes sys = BuildSysFrame(parameters);
        if (!fWriter.Append(0, sys.data(), sys.size(), error))
            return Fail(error, std::string());
    }
    return true;
}

bool TCaptureRecorder::Append(const uint8_t *data, size_t len, std::string *error) {
    return AppendAt(TClock::now(), data, len, error);
}

bool TCaptureRecorder::AppendAt(TClock::time_point arrived, const uint8_t *data, size_t len,
                                std::string *error) {
    if (!fWriter.IsOpen()) {
        if (error)
            *error = "not recording";
        return false;
    }
    if (!data || len == 0)
        return true;
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(arrived - fStart).count();
    if (!fWriter.Append(uint64_t(std::max<int64_t>(micros, 0)), data, len, error))
        return Fail(error, std::string());
    CountFrameStarts(data, len);
    return true;
}

bool TCaptureRecorder::Stop(std::string *error) {
    if (!fWriter.IsOpen())
        return true;
    fEnd = TClock::now();
    fBytes = fWriter.BytesWritten();
    return fWriter.Close(error);
}

double TCaptureRecorder::ElapsedSeconds() const {
    const TClock::time_point end = fWriter.IsOpen() ? TClock::now() : fEnd;
    return std::chrono::duration<double>(end - fStart).count();
}

bool TCaptureRecorder::Fail(std::string *error, const std::string &why) {
    if (error && !why.empty())
        *error = why;
    // The writer counts only the records it wrote whole: cut off whatever part of the
    // failed one reached the file, so the file reads back to its end.
    const uint64_t whole = fWriter.BytesWritten();
    fEnd = TClock::now();
    std::string ignored;
    fWriter.Close(&ignored);
    fBytes = whole;
    std::error_code ec;
    if (std::filesystem::is_regular_file(fPath, ec) && std::filesystem::file_size(fPath, ec) > whole)
        std::filesystem::resize_file(fPath, whole, ec);
    return false;
}

void TCaptureRecorder::CountFrameStarts(const uint8_t *data, size_t len) {
    // The tail (at most two bytes) joined with the chunk's first bytes, then the chunk.
    std::vector<uint8_t> joined(fTail);
    joined.insert(joined.end(), data, data + std::min<size_t>(len, 2));
    for (size_t i = 0; i + 3 <= joined.size(); ++i)
        if (std::memcmp(joined.data() + i, kFrameStart, 3) == 0)
            ++fFrames;
    for (size_t i = 0; i + 3 <= len; ++i)
        if (std::memcmp(data + i, kFrameStart, 3) == 0)
            ++fFrames;
    // Keep the last two bytes (a start cut after "M" or "ML").
    const size_t keep = std::min<size_t>(len, 2);
    if (len >= 2) {
        fTail.assign(data + len - keep, data + len);
    } else {
        fTail.insert(fTail.end(), data, data + len);
        if (fTail.size() > 2)
            fTail.erase(fTail.begin(), fTail.end() - 2);
    }
}
