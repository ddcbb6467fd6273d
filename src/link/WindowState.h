#pragma once
// Window-wide state shared by the module link (receive handlers, decoding worker,
// command sending, connection handling) and the main window.
//
// Threads: the UI thread runs every handler; the one-shot decoding worker writes the
// flags, counters and status texts marked below. Flags and counters are atomics;
// texts written off the UI thread go through TSharedText (a mutex around a QString),
// and only the UI thread copies them into controls.

#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class TMLX90640;

using TUINT16s = std::vector<uint16_t>;

// A text written by one thread and read by another. Set and Get take deep copies,
// so no QString data (and no reference count inside the Qt library, which
// ThreadSanitizer cannot see) is ever shared between the threads.
class TSharedText {
public:
    void Set(const QString &text) {
        QString own(text.constData(), text.size());
        std::lock_guard<std::mutex> lock(fMutex);
        fText.swap(own);
    }
    QString Get() const {
        std::lock_guard<std::mutex> lock(fMutex);
        return QString(fText.constData(), fText.size());
    }

private:
    mutable std::mutex fMutex;
    QString fText;
};

struct TWindowState {
    static constexpr int RecvBufSize = 4097;

    // Language of every user-visible text: 0 Chinese, any other value English.
    std::atomic<int32_t> LanguageNum{1};

    std::atomic<bool> PortIsConnected{false};
    std::atomic<bool> SYSIsOK{false};         // a system-parameter frame has been received
    std::atomic<bool> EEIsOK{false};          // the calibration memory has been received
    std::atomic<bool> ReadParsIsBusy{false};  // device-parameter controls send nothing
    std::atomic<int32_t> LastFrameIndex{0};   // subpage of the last frame decoded
    std::atomic<int32_t> portType{0};         // 0 Comm1, 1 nrComm1
    QString ApplicationPathStr;               // program folder + "/" (UI thread only)
    TMLX90640 *myMLX90640 = nullptr;          // the one sensor image object

    QString ConnectPortCaption;     // UI thread only
    QString DisConnectPortCaption;  // UI thread only

    std::atomic<bool> ComRecvBusy{false};  // a decoding worker is running
    std::atomic<int32_t> RXByteCount{0};
    // Bytes received since start without the 32-bit wrap-around of RXByteCount; the
    // receive counter text is built from it, so it never shows a negative count.
    std::atomic<int64_t> RXByteTotal{0};
    std::atomic<int32_t> TXByteCount{0};
    std::atomic<int32_t> dataRecvRate{0};
    std::atomic<int32_t> dataCalcRate{0};
    std::atomic<int32_t> picUpdateRate{0};
    int32_t MouseXIndex_InImage1 = 0;  // UI thread only
    int32_t MouseYIndex_InImage1 = 0;  // UI thread only

    std::atomic<bool> HaveRecvDatas{false};
    TSharedText RecvCounter_Text;
    TSharedText RecvDataType_Text;
    TSharedText DataCHeck_Text;
    TSharedText lbl_Cell_Text;
    TSharedText lbl_RTC_Text;
    TSharedText lbl_SavedPhotoNum_Text;
    TSharedText lbl_CurrentPhotoDate_Text;
    TSharedText lbl_CurrentPhotoTime_Text;

    // Reassembly buffer of the serial stream (UI thread only).
    uint8_t spPort_RecvBuf[RecvBufSize] = {};
    int32_t spPort_RecvCounter = 0;

    // Half-frame merge buffer; written by the decoding worker only, under the
    // link's hand-off lock, and read by the sensor image object during a hand-off.
    TUINT16s RecvedFrmDatas;
};
