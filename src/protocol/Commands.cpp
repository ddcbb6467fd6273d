#include "protocol/Commands.h"

#include <array>
#include <cstdio>

std::string CommandBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit == 0)
            break;
        bytes.push_back(static_cast<char>(unit & 0xFF));
    }
    return bytes;
}

std::string SetParCommand(int parameter, int64_t value) {
    return "$SETP=" + std::to_string(parameter) + "," + std::to_string(value) + CommandEnd;
}

std::string ModuleActionCommand(TModuleAction action) {
    return SetParCommand(SPN_Action, action);
}

std::string SavePhotoCommand() {
    return std::string("$SVEP") + CommandEnd;
}

std::string ClearAllPhotoCommand() {
    return std::string("$CLRP") + CommandEnd;
}

std::string ReadLastPhotoCommand() {
    return ReadPhotoCommand(-1);
}

std::string ReadPhotoCommand(int64_t number) {
    return "$OUTP=" + std::to_string(number) + CommandEnd;
}

std::string ReadOnePhotoCommand(std::string_view photoNumText) {
    return "$OUTP=" + std::string(photoNumText) + CommandEnd;
}

std::string SetDateTimeCommand(const TClockTime &t) {
    char text[64];
    std::snprintf(text, sizeof text, "$STDT=%04d/%02d/%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute, t.Second);
    return std::string(text) + CommandEnd;
}

std::span<const TReadParsStep> ReadParsSequence() {
    // Half a second after each request the module has answered: the calibration
    // memory ("EEM", 1673 bytes) and the parameter block ("SYS") are short frames.
    static constexpr std::array<TReadParsStep, 6> steps{{
        {RPS_Begin, MA_SendCalibration, 0},
        {RPS_Send, MA_SendCalibration, 0},
        {RPS_Delay, MA_SendCalibration, 500},
        {RPS_Send, MA_SendSysPars, 0},
        {RPS_Delay, MA_SendSysPars, 500},
        {RPS_End, MA_SendSysPars, 0},
    }};
    return steps;
}
