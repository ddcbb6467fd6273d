#include "ui/device/PhotoBrowse.h"

#include "protocol/Commands.h"

namespace {

// Replays the box's change handler the way the window runs it: setting a different
// text runs the handler again at once (nested), setting the same text does not.
class TPhotoBoxModel {
public:
    TPhotoBoxModel(const QString &text, const QString &caption, int32_t count)
        : fCaption(caption), fCount(count) {
        fState.Text = text;
    }

    void Changed() {
        const auto n = TryParseTypedInt(fState.Text);
        if (!n)
            return;
        if (fCount < 1) {
            // No photo in the module: nothing to browse. The two rules below would
            // otherwise flip the box between the count (0) and 1 for ever.
            fState.NextEnabled = false;
            fState.PrivEnabled = false;
            SetText(QStringLiteral("0"));
            return;
        }
        if (fCount <= *n) {
            fState.NextEnabled = false;
            SetText(fCaption);
        } else {
            fState.NextEnabled = true;
        }
        if (*n <= 1) {
            fState.PrivEnabled = false;
            SetText(QStringLiteral("1"));
        } else {
            fState.PrivEnabled = true;
        }
    }

    const TPhotoBoxState &State() const { return fState; }

private:
    // A caption written with leading zeros ("0001") could make "1" and the caption
    // replace each other; the depth limit ends such a chain.
    static constexpr int MaxDepth = 8;

    void SetText(const QString &text) {
        if (text == fState.Text)
            return;
        fState.Text = text;
        if (fDepth >= MaxDepth)
            return;
        ++fDepth;
        Changed();
        --fDepth;
    }

    TPhotoBoxState fState;
    QString fCaption;
    int32_t fCount;
    int fDepth = 0;
};

}  // namespace

std::optional<TPhotoBoxState> SettlePhotoNumBox(const QString &boxText, const QString &savedPhotoNumCaption) {
    if (boxText.isEmpty() || !TryParseTypedInt(boxText))
        return std::nullopt;
    const auto count = TryParseTypedInt(savedPhotoNumCaption);
    if (!count)
        return std::nullopt;
    TPhotoBoxModel model(boxText, savedPhotoNumCaption, *count);
    model.Changed();
    return model.State();
}

TPhotoStep PhotoStep(const QString &boxText, TPhotoStepDir dir, int languageNum) {
    // 64-bit so that the step past the ends of the 32-bit range cannot overflow.
    const int64_t number = int64_t{ParseTypedInt(boxText, languageNum)} + dir;
    return TPhotoStep{number, QString::number(number), ReadPhotoCommand(number)};
}
