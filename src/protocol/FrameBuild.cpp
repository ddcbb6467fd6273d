#include "protocol/FrameBuild.h"

namespace {

void AppendWord(TBytes &out, uint16_t word) {
    out.push_back(static_cast<uint8_t>(word >> 8));
    out.push_back(static_cast<uint8_t>(word & 0xFF));
}

TBytes Header(const char *type, uint8_t tag) {
    TBytes out = {'M',
                  'L',
                  'X',
                  tag,
                  static_cast<uint8_t>(type[0]),
                  static_cast<uint8_t>(type[1]),
                  static_cast<uint8_t>(type[2])};
    return out;
}

void AppendBlock(TBytes &out, const TSysBlock &block) {
    for (uint16_t w : block)
        AppendWord(out, w);
}

// Appends the byte sum of everything from byte 7 on.
void AppendCheck(TBytes &out) {
    AppendWord(out, ByteSum(out.data() + 7, out.size() - 7));
}

}  // namespace

uint8_t ToBcd(int value) {
    return static_cast<uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

uint16_t ByteSum(const uint8_t *data, size_t n) {
    uint16_t sum = 0;
    for (size_t k = 0; k < n; ++k)
        sum = static_cast<uint16_t>(sum + data[k]);
    return sum;
}

TBytes TypeLine() {
    const std::string text = "TYPE:MLX90640 thermal module (Korvale virtual module) V1.0\r\n";
    return TBytes(text.begin(), text.end());
}

TBytes BuildSysFrame(const TSysBlock &block) {
    TBytes out = Header("SYS", 0);
    AppendBlock(out, block);
    return out;
}

TBytes BuildSysFrame(const std::vector<uint16_t> &block) {
    TSysBlock words{};
    for (size_t k = 0; k < words.size() && k < block.size(); ++k)
        words[k] = block[k];
    return BuildSysFrame(words);
}

TBytes BuildEemFrame(const std::vector<uint16_t> &calibration) {
    TBytes out = Header("EEM", 0);
    out.reserve(kEemFrameBytes);
    for (size_t k = 0; k < 832; ++k)
        AppendWord(out, k < calibration.size() ? calibration[k] : 0);
    AppendCheck(out);
    return out;
}

TBytes BuildFullFrame(const uint16_t *frame834, const TSysBlock &block, uint8_t tag) {
    TBytes out = Header("FRM", tag);
    out.reserve(kFullFrameBytes);
    for (int k = 0; k < 834; ++k)
        AppendWord(out, frame834[k]);
    AppendCheck(out);
    out.resize(out.size() + 7, 0);  // bytes 1677..1683, not read
    AppendBlock(out, block);
    return out;
}

TBytes BuildHalfFrame(const uint16_t *frame834, int subpage, const TSysBlock &block, uint8_t tag) {
    TBytes out = Header(subpage == 0 ? "FR0" : "FR1", tag);
    out.reserve(kHalfFrameBytes);
    for (int i = 0; i < 384; ++i)
        AppendWord(out, frame834[HalfFramePixel(i, subpage)]);
    for (int k = 768; k < 834; ++k)
        AppendWord(out, frame834[k]);
    out.resize(out.size() + 9, 0);  // bytes 907..915, not read
    AppendBlock(out, block);
    return out;
}

TBytes BuildPhotoFrame(const uint16_t *frame834, const TDateTime &taken) {
    TBytes out = Header("PHT", 0);
    out.reserve(kPhotoFrameBytes);
    for (int k = 0; k < 834; ++k)
        AppendWord(out, frame834[k]);
    for (int v : {taken.year % 100, taken.month, taken.day, taken.hour, taken.minute, taken.second})
        out.push_back(ToBcd(v));
    return out;
}
