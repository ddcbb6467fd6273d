#pragma once
// Layout of the module's binary frames: "MLX", one unexamined byte, a three-letter
// type at bytes 4 to 6, then unsigned 16-bit payload words sent high byte first.

#include <cstddef>
#include <cstdint>

enum class TFrameType : uint8_t {
    None,  // the bytes do not begin with "MLX" or the type is not complete yet
    SYS,   // system-parameter block
    EEM,   // calibration memory
    FRM,   // whole frame memory
    FR0,   // half frame (which half is read from the subpage byte, not the letter)
    FR1,
    PHT,      // photo from the module's store
    Unknown,  // "MLX" followed by any other type
};

namespace FrameLayout {
constexpr int TypePos = 4;
constexpr int PayloadPos = 7;

constexpr int SysParsWords = 32;
constexpr int EepromWords = 832;
constexpr int FrameWords = 834;
constexpr int HalfPixelWords = 384;
constexpr int HalfAuxWords = 66;  // frame-memory words 768 to 833
constexpr int PixelWords = 768;

constexpr int SysMinLen = 71;      // bytes 7..70: 32 words
constexpr int EemMinLen = 1671;    // bytes 7..1670: 832 words
constexpr int EemCheckPos = 1671;  // check word at 1671..1672
constexpr int EemFullLen = 1673;
constexpr int FrmMinLen = 1675;  // bytes 7..1674: 834 words
constexpr int FrmSubpagePos = 1674;
constexpr int FrmCheckPos = 1675;  // check word at 1675..1676
constexpr int FrmFullLen = 1677;
constexpr int FrmBlockPos = 1684;  // optional system-parameter block 1684..1747
constexpr int FrmBlockLen = 1748;
constexpr int HalfMinLen = 907;  // bytes 7..906
constexpr int HalfAuxPos = 775;
constexpr int HalfSubpagePos = 906;
constexpr int HalfBlockPos = 916;  // optional system-parameter block 916..979
constexpr int HalfBlockLen = 980;
constexpr int PhtMinLen = 1675;   // bytes 7..1674, as a frame memory
constexpr int PhtDatePos = 1675;  // optional date and time 1675..1680
constexpr int PhtDateLen = 1681;

}  // namespace FrameLayout

bool BeginsWithMLX(const uint8_t *data, size_t len);
bool BeginsWithTYPE(const uint8_t *data, size_t len);

// Type of the frame that starts at data[0]; None when the bytes do not begin with
// "MLX" or hold fewer than 7 bytes.
TFrameType FrameTypeOf(const uint8_t *data, size_t len);

// Three-letter name of a type ("SYS", "FR0", ...); "" for None and Unknown.
const char *FrameTypeName(TFrameType type);

// Bytes the main receive path collects before it passes a frame of this type on:
// the payload and, where the type carries one, its check word.
int FrameCompleteLength(TFrameType type);

// The fewest bytes of a frame of this type that the decoder takes up (shorter frames
// are not decoded): 71, 1671, 1675, 907 and 1675 for SYS, EEM, FRM, half frames and
// PHT; 0 for an unknown type.
int FrameDecodableLength(TFrameType type);

// The length of a frame of this type with its optional trailing part (the
// system-parameter block of whole and half frames, the date of a photo); the complete
// length for a type without one.
int FrameFullLength(TFrameType type);

// The big-endian word at byte position pos (the caller guarantees pos + 1 < len).
inline uint16_t BigEndianWordAt(const uint8_t *data, size_t pos) {
    return static_cast<uint16_t>((data[pos] << 8) | data[pos + 1]);
}

// Unsigned 16-bit sum, wrapping, of bytes first..last (inclusive).
uint16_t ByteSum16(const uint8_t *data, size_t first, size_t last);
