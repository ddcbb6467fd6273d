#include "ui/device/PhotoBrowse.h"

#include "protocol/Commands.h"
#include "ui/support/Convert.h"

namespace {

// Replays the box's change handler the way the window runs it: setting a different
// text runs the handler again at once (nested), setting the same text does not.
class TPhotoBoxModel {
public:
    TPhotoBoxModel(const QString &text, int32_t count) : fCount(count) { fState.Text = text; }

    void Changed() {
        int32_t n = 0;
        if (!TryStrToInt(fState.Text, n))
            return;
        if (fCount < 1) {
            // No photo in the module: nothing to browse. The two rules below would
            // otherwise flip the box between the count (0) and 1 for ever.
            fState.NextEnabled = false;
            fState.PrivEnabled = false;
            SetText(QStringLiteral("0"));
            return;
        }
        if (fCount <= n) {
            fState.NextEnabled = false;
            SetText(QString::number(fCount));
        } else {
            fState.NextEnabled = true;
        }
        if (n <= 1) {
            fState.PrivEnabled = false;
            SetText(QStringLiteral("1"));
        } else {
            fState.PrivEnabled = true;
        }
    }

    const TPhotoBoxState &State() const { return fState; }

private:
    // Each text set settles at once; the depth limit only guards against a rule
    // that would flip the box between two texts.
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
    int32_t fCount;
    int fDepth = 0;
};

}  // namespace

std::optional<TPhotoBoxState> SettlePhotoNumBox(const QString &boxText, int32_t savedPhotoCount) {
    int32_t n = 0;
    if (boxText.isEmpty() || !TryStrToInt(boxText, n))
        return std::nullopt;
    TPhotoBoxModel model(boxText, savedPhotoCount);
    model.Changed();
    return model.State();
}

TPhotoStep PhotoStep(const QString &boxText, TPhotoStepDir dir, int32_t languageNum) {
    // 64-bit so that the step past the ends of the 32-bit range cannot overflow.
    const int64_t number = int64_t{StrToInt(boxText, languageNum)} + dir;
    return TPhotoStep{number, QString::number(number), QString::fromStdString(ReadPhotoCommand(number))};
}
