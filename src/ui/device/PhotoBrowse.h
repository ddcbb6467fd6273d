#pragma once
// Browsing the photos stored in the module: the photo number box
// `edt_CurrentPhotoNum` and the buttons `btn_ReadPrivPhoto` / `btn_ReadNextPhoto`.
//
// The box keeps the number between 1 and the count of saved photos and switches the
// two buttons at the ends of that range. With no photo saved it settles on "0" with
// both buttons disabled.

#include <QString>

#include <cstdint>
#include <optional>

struct TPhotoBoxState {
    QString Text;              // what edt_CurrentPhotoNum shows
    bool PrivEnabled = false;  // btn_ReadPrivPhoto
    bool NextEnabled = false;  // btn_ReadNextPhoto
};

// edt_CurrentPhotoNumChange: the box now holds `boxText` and the module reports
// `savedPhotoCount` photos. Returns the text the box settles on and the enabled state
// of the two buttons, or std::nullopt when the box is empty or not a number
// (everything stays as it is).
//
// The rules, applied to each text the box takes (a changed text runs them again,
// before the rest of the current run goes on):
//   no photo saved (count < 1): both buttons off, text "0";
//   otherwise: count <= n  -> Next off, text := the count; else Next on;
//              then n <= 1 -> Priv off, text := "1";       else Priv on.
// The window sets the returned text without running its change handler again.
std::optional<TPhotoBoxState> SettlePhotoNumBox(const QString &boxText, int32_t savedPhotoCount);

enum TPhotoStepDir : int {
    PSD_Priv = -1,
    PSD_Next = 1,
};

struct TPhotoStep {
    int64_t Number;   // the photo asked for: box number + direction
    QString BoxText;  // the text to put into edt_CurrentPhotoNum first
    QString Command;  // then send this: "$OUTP=<Number>" CR LF
};

// btn_ReadPrivPhotoClick / btn_ReadNextPhotoClick. The number is taken from the
// box's text before the box changes; the command carries it even when the box then
// settles on another number. A box text that is not a number raises EConvertError
// (nothing is sent).
TPhotoStep PhotoStep(const QString &boxText, TPhotoStepDir dir, int32_t languageNum);
