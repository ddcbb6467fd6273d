#pragma once
// What the reading and writing threads hand to the component on the UI thread.

#include <cstdint>
#include <vector>

// Size of one read: the largest chunk OnReceiveData ever receives.
constexpr int INPUTBUFFERSIZE = 4096;

struct TCommNotice {
    enum class TKind { GotCommData, ReceiveError, RequestHangup, ModemStateChange, SendDataEmpty };
    TKind Kind = TKind::GotCommData;
    // GotCommData: the received bytes followed by one terminating 0 byte.
    std::vector<uint8_t> Data;
    // ReceiveError: CE_* bits; ModemStateChange: ME_* bits.
    uint32_t Bits = 0;
};

// Receiver of notices; PostNotice is called from the port threads and must not block
// on the UI thread. It returns false when the notice could not be posted.
class ICommNoticeSink {
public:
    virtual bool PostNotice(TCommNotice &&notice) = 0;

protected:
    ~ICommNoticeSink() = default;
};
