#pragma once
// Command line of korvale-replay: input capture, output folders and the display
// settings, which default to the main window's start-up values.

#include <string>
#include <vector>

struct TReplayOptions {
    std::string input;  // capture file, "-" for standard input

    std::string tempsDir;         // --temps: 24 x 32 displayed temperatures per frame
    std::string pictureTempsDir;  // --picture-temps: 384 x 512 interpolated temperatures
    std::string ppmDir;           // --ppm: the 512 x 384 picture, binary PPM
    std::string jpegDir;          // --jpeg: the picture as JPEG, quality 100
    bool header = false;          // --header: a first CSV line naming the columns

    // Display settings (window start-up values).
    bool mirror = true;
    double emissivity = 0.95;
    int interpFirst = 0;  // 0 IM_Poly1, 1 IM_Poly2, 2 IM_Poly3
    int interpSecond = 0;
    bool filter = false;
    int filterMethod = 0;  // 0 average, 1 weighted average, 2 Gaussian
    int filterPixsCount = 9;
    double gaussSigma = 1.5;
    int palette = 1;  // item of the window's 13-entry palette list
    bool autoRange = false;
    bool rangeGiven = false;
    double lowerLimit = 0.0;
    double upperLimit = 35.0;
    bool correction = true;  // defective-pixel correction
    bool slugg = false;      // frame-to-frame smoothing
    bool image = false;      // relative image instead of temperatures
};

enum class TParseResult { Run, Help, Error };

// Parses the arguments after the program name. Options take their value either as
// the next argument or after "=". On Error, *error holds a message naming the
// offending argument.
TParseResult ParseReplayOptions(const std::vector<std::string> &args, TReplayOptions &options,
                                std::string *error);

std::string ReplayUsage();
