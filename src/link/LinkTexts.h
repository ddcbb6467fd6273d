#pragma once
// Status and label texts that the frame intake prepares, in both languages
// (languageNum 0 Chinese, any other value English).

#include <QString>

#include <cstdint>

// Two upper-case hexadecimal digits; a packed-BCD byte 0x19 reads "19".
QString HexByteText(uint8_t value);

// "Recv:" / "接收:" followed by the byte count: "1023Bytes", "1.000KB", "1.000MB".
// The kilo- and megabyte figures carry three decimals with the decimal separator of
// the default QLocale and no group separator.
QString RecvCounterText(int64_t byteCount, int32_t languageNum);

// Verdict of a check word. A Chinese "correct" verdict carries the mean raw pixel
// word when meanPixelWord is not negative.
QString DataCheckText(bool correct, int32_t languageNum, int64_t meanPixelWord = -1);

// "SysPars 71", "EEPROM 1673", "Frame1 1748", "Photo0 1681".
QString SysParsTypeText(int32_t frameLen);
QString EepromTypeText(int32_t frameLen);
QString FrameTypeText(uint8_t subpage, int32_t frameLen);
QString PhotoTypeText(uint8_t subpage, int32_t frameLen);

// Texts of a system-parameter block.
QString CellVoltageText(uint16_t millivolts, int32_t languageNum);
QString RtcText(uint16_t word21, uint16_t word22, uint16_t word23);
QString SavedPhotoNumText(uint16_t count);

// Photo date "20YY-MM-DD " (ending in a space) and time "hh:mm:ss" from packed BCD.
QString PhotoDateText(uint8_t year, uint8_t month, uint8_t day);
QString PhotoTimeText(uint8_t hour, uint8_t minute, uint8_t second);
