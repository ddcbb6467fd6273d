#pragma once
// The command lines the host sends to the thermal-imaging module.
//
// A command is "$", a four-letter keyword, for most keywords "=" and one or two
// decimal numbers separated by ",", then CR LF. The free command line typed by the
// user is the one exception: it goes out exactly as typed (CommandBytes).
//
// Plain functions over std::string: the window decides when to send, the session
// queues the bytes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr char CommandEnd[] = "\r\n";

// Parameter numbers of "$SETP". 1 to 11 are also the positions of the same
// settings in the module's system-parameter block.
enum TSetParNum : int {
    SPN_OutBaud = 1,        // module's serial speed / 100
    SPN_ADCResolution = 4,  // item index of cbb_ADCResolution
    SPN_RefreshRate = 5,    // item index of cbb_RefreshRate
    SPN_ArrangeMode = 6,    // item index of cbb_ArrangeMode
    SPN_AutoSend = 7,       // live data output on/off
    SPN_OutPortNum = 8,     // item index of cbb_OutPortNum
    SPN_LedEN = 9,          // indicator LED on/off
    SPN_DelayMs = 10,       // minimum interval between frames, ms
    SPN_FrmHalf = 11,       // frame compression on/off
    SPN_Action = 17,        // the value is a module action (TModuleAction)
};

// Module actions, sent as "$SETP=17,<action>".
enum TModuleAction : int {
    MA_Reboot = 1,
    MA_ParsToDefault = 2,
    MA_SendCalibration = 3,  // the module answers with its calibration memory
    MA_SendSysPars = 4,      // the module answers with its system-parameter block
};

// The bytes that go out for a typed text given as UTF-16 code units: the units up
// to the first 0, one byte each, the low 8 bits of the unit ("中", U+4E2D, gives
// 0x2D). The send counter grows by the size of the result: it counts the bytes that
// were queued, not the length of the text in some multi-byte encoding.
std::string CommandBytes(std::u16string_view text);

// "$SETP=<parameter>,<value>" CR LF; the value in decimal, "-" for a negative one.
std::string SetParCommand(int parameter, int64_t value);

// "$SETP=17,<action>" CR LF (reboot, parameters to default, read-parameters action).
std::string ModuleActionCommand(TModuleAction action);

std::string SavePhotoCommand();      // "$SVEP" CR LF
std::string ClearAllPhotoCommand();  // "$CLRP" CR LF
std::string ReadLastPhotoCommand();  // "$OUTP=-1" CR LF

// "$OUTP=<number>" CR LF (previous and next photo).
std::string ReadPhotoCommand(int64_t number);

// "$OUTP=" followed by the photo number box's text as it stands, leading zeros
// included, then CR LF.
std::string ReadOnePhotoCommand(std::string_view photoNumText);

// A local date and time as the module's clock takes it.
struct TClockTime {
    int Year = 2000;  // four digits
    int Month = 1;    // 1..12
    int Day = 1;      // 1..31
    int Hour = 0;     // 0..23
    int Minute = 0;
    int Second = 0;
};

// "$STDT=YYYY/MM/DD HH:MM:SS" CR LF. The module parses "/" and ":" and fixed-width
// fields, so neither depends on any locale.
std::string SetDateTimeCommand(const TClockTime &time);

// The read-parameters action as steps for the window to run in order: it asks the
// module for its calibration memory and its system-parameter block. The pauses keep
// the event loop running, so the answers are received and shown while the
// device-parameter controls are kept from sending them back.
enum TReadParsStepKind {
    RPS_Begin,  // the device-parameter controls stop sending; the action's button is disabled
    RPS_Send,   // send ModuleActionCommand(Action)
    RPS_Delay,  // wait DelayMs with the event loop running
    RPS_End,    // the button is enabled; the controls send again
};

struct TReadParsStep {
    TReadParsStepKind Kind;
    TModuleAction Action;  // RPS_Send: the action whose command is sent
    int DelayMs;           // RPS_Delay: the pause
};

std::span<const TReadParsStep> ReadParsSequence();
