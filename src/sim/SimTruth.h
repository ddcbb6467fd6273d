#pragma once
// Per-frame files of the temperatures the virtual module rendered, for comparing
// a replay's output frame by frame: DIR/frame_00000.txt upwards, 24 lines of 32
// numbers ("%.17g"), pixel p = 32 * line + column in sensor order.

#include <string>

class TTruthWriter {
public:
    // Creates the folder when it does not exist. Empty dir: writes nothing.
    bool Open(const std::string &dir, std::string *error);
    bool Enabled() const { return !fDir.empty(); }
    // Writes the next file; false with a message when it cannot be written.
    bool Write(const double *temperatures768, std::string *error);
    int Count() const { return fCount; }

    static std::string FileName(int index);  // "frame_00042.txt"

private:
    std::string fDir;
    int fCount = 0;
};
