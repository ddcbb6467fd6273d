#pragma once
// MLX90640 calibration and temperature maths.
//
// Plain record plus free functions, no Qt and no state of their own:
//  - MLX90640_ExtractParameters decodes the 832-word calibration memory into
//    TParamsMLX90640;
//  - MLX90640_GetVdd / MLX90640_GetTa / MLX90640_CalculateTo / MLX90640_GetImage
//    turn one 834-word frame memory (one subpage) into supply voltage, ambient
//    temperature and per-pixel object temperatures or image values;
//  - MLX90640_BadPixelsCorrection replaces listed defective pixels from their
//    neighbours.
// Arithmetic without a real value (negative fourth-root argument, division by
// zero) yields NaN or an infinity and never stops a pass.

#include <cstdint>

struct TParamsMLX90640 {
    int16_t kVdd;
    int16_t vdd25;
    double KvPTAT;
    double KtPTAT;
    uint16_t vPTAT25;
    double alphaPTAT;
    int16_t gainEE;
    double tgc;
    double cpKv;
    double cpKta;
    uint8_t resolutionEE;
    uint8_t calibrationModeEE;  // 0x80 chess, 0 interleaved
    double KsTa;
    double ksTo[4];
    int16_t ct[4];
    double alpha[768];
    int16_t offset[768];
    double kta[768];
    double kv[768];
    double cpAlpha[2];
    int16_t cpOffset[2];
    double ilChessC[3];
    uint16_t brokenPixels[5];   // 0xFFFF marks an empty slot
    uint16_t outlierPixels[5];  // 0xFFFF marks an empty slot
};

// The one calibration record of the program; zero-filled until the first extraction.
extern TParamsMLX90640 myParamsMLX90640;

// Calibration memory -> record. Runs every step whatever the memory holds and
// returns the defective-pixel status: 0, -3, -4, -5 or -6.
int MLX90640_ExtractParameters(const uint16_t *eeData, TParamsMLX90640 &params);
int CheckEEPROMValid(const uint16_t *eeData);  // 0, or -7 when the device-select flag is set
int CheckAdjacentPixels(int pix1, int pix2);   // 0, or -6 when adjacent

// Single extraction steps (called in this order by MLX90640_ExtractParameters).
void ExtractVDDParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractPTATParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractGainParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractTgcParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractResolutionParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractKsTaParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractKsToParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractAlphaParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractOffsetParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractKtaPixelParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractKvPixelParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractCPParameters(const uint16_t *eeData, TParamsMLX90640 &params);
void ExtractCILCParameters(const uint16_t *eeData, TParamsMLX90640 &params);
int ExtractDeviatingPixels(const uint16_t *eeData, TParamsMLX90640 &params);

// Frame memory (at least 834 words) -> values.
double MLX90640_GetVdd(const uint16_t *frameData, const TParamsMLX90640 &params);
double MLX90640_GetTa(const uint16_t *frameData, const TParamsMLX90640 &params);
// Writes the object temperatures (°C) of the frame's subpage into resultArr[0..767];
// the pixels of the other subpage are left untouched.
void MLX90640_CalculateTo(const uint16_t *frameData, const TParamsMLX90640 &params, double emissivity,
                          double tr, double *resultArr);
// Writes temperature-free image values of the frame's subpage into resultArr.
void MLX90640_GetImage(const uint16_t *frameData, const TParamsMLX90640 &params, double *resultArr);

// Defective pixels. `pixels` is a list of up to five pixel numbers ended by 0xFFFF;
// mode 1 uses the diagonal neighbours, any other mode the neighbours in the line.
void MLX90640_BadPixelsCorrection(const uint16_t *pixels, double *too, int mode,
                                  const TParamsMLX90640 &params);
int IsPixelBad(int pixel, const TParamsMLX90640 &params);  // 1 when listed, else 0
double GetMedian(const double *values, int n);
