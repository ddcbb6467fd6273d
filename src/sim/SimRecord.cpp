#include "sim/SimRecord.h"

#include "sim/SimModule.h"
#include "sim/SimTruth.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool RecordSession(const TSimOptions &options, int frames, TBytes &stream, std::string *error) {
    TTruthWriter truth;
    if (!truth.Open(options.truthDir, error))
        return false;
    TModuleCore module(options);
    stream.clear();
    const TBytes eem = module.EemFrame();
    stream.insert(stream.end(), eem.begin(), eem.end());
    const TBytes sys = module.SysFrame(0);
    stream.insert(stream.end(), sys.begin(), sys.end());

    double temperatures[768];
    for (int k = 0; k < frames; ++k) {
        const double t = k * module.FramePeriod();
        const TBytes frame = module.NextFrame(t, temperatures);
        stream.insert(stream.end(), frame.begin(), frame.end());
        if (!truth.Write(temperatures, error))
            return false;
    }
    return true;
}

bool RecordSessionToFile(const TSimOptions &options, int frames, const std::string &path,
                         std::string *error) {
    TBytes stream;
    if (!RecordSession(options, frames, stream, error))
        return false;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error)
            *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(stream.data(), 1, stream.size(), f) == stream.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return true;
}
