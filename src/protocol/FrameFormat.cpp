#include "protocol/FrameFormat.h"

#include <cstring>

bool BeginsWithMLX(const uint8_t *data, size_t len) {
    return len >= 3 && data[0] == 'M' && data[1] == 'L' && data[2] == 'X';
}

bool BeginsWithTYPE(const uint8_t *data, size_t len) {
    return len >= 4 && std::memcmp(data, "TYPE", 4) == 0;
}

TFrameType FrameTypeOf(const uint8_t *data, size_t len) {
    if (!BeginsWithMLX(data, len) || len < 7)
        return TFrameType::None;
    const char *t = reinterpret_cast<const char *>(data + FrameLayout::TypePos);
    struct Entry {
        const char *name;
        TFrameType type;
    };
    static constexpr Entry kTypes[] = {
        {"SYS", TFrameType::SYS}, {"EEM", TFrameType::EEM}, {"FRM", TFrameType::FRM},
        {"FR0", TFrameType::FR0}, {"FR1", TFrameType::FR1}, {"PHT", TFrameType::PHT},
    };
    for (const Entry &e : kTypes)
        if (std::memcmp(t, e.name, 3) == 0)
            return e.type;
    return TFrameType::Unknown;
}

const char *FrameTypeName(TFrameType type) {
    switch (type) {
    case TFrameType::SYS: return "SYS";
    case TFrameType::EEM: return "EEM";
    case TFrameType::FRM: return "FRM";
    case TFrameType::FR0: return "FR0";
    case TFrameType::FR1: return "FR1";
    case TFrameType::PHT: return "PHT";
    default: return "";
    }
}

int FrameCompleteLength(TFrameType type) {
    using namespace FrameLayout;
    switch (type) {
    case TFrameType::None: return PayloadPos;  // the type itself is not complete yet
    case TFrameType::SYS: return SysMinLen;
    case TFrameType::EEM: return EemFullLen;
    case TFrameType::FRM: return FrmFullLen;
    case TFrameType::FR0:
    case TFrameType::FR1: return HalfMinLen;
    case TFrameType::PHT: return PhtMinLen;
    case TFrameType::Unknown: return 0;  // passed on at once
    }
    return 0;
}

int FrameDecodableLength(TFrameType type) {
    using namespace FrameLayout;
    switch (type) {
    case TFrameType::None: return PayloadPos;
    case TFrameType::SYS: return SysMinLen;
    case TFrameType::EEM: return EemMinLen;
    case TFrameType::FRM: return FrmMinLen;
    case TFrameType::FR0:
    case TFrameType::FR1: return HalfMinLen;
    case TFrameType::PHT: return PhtMinLen;
    case TFrameType::Unknown: return 0;
    }
    return 0;
}

int FrameFullLength(TFrameType type) {
    using namespace FrameLayout;
    switch (type) {
    case TFrameType::FRM: return FrmBlockLen;
    case TFrameType::FR0:
    case TFrameType::FR1: return HalfBlockLen;
    case TFrameType::PHT: return PhtDateLen;
    default: return FrameCompleteLength(type);
    }
}

uint16_t ByteSum16(const uint8_t *data, size_t first, size_t last) {
    uint32_t sum = 0;
    for (size_t i = first; i <= last; ++i)
        sum += data[i];
    return static_cast<uint16_t>(sum);
}
