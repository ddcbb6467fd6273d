// Fuzz target of the temperature file loader: arbitrary bytes as the file that
// LoadDatasFromTemperatureFile reads, through the sensor image object's whole picture
// path (colour range, colouring, interpolation, bitmap).
//
// Input: byte 0 holds the settings (bits 0..1 the decimal separator ".", ",", "::"
// or "", bit 2 the automatic colour range, bit 3 the filter, bits 4..5 the
// interpolation of both passes, bits 6..7 the palette group); the rest is the file.
// The file lies in memory (memfd) and is read by its /proc path, as a file on disk.
//
// Besides the sanitizers, the target checks what callers rely on: a load either
// throws TTemperatureFileError or publishes a 512 x 384 picture, and the values it
// took are the numbers the line parser reads.

#include "pipeline/MLX90640.h"
#include "pipeline/TemperatureFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

int MemoryFile() {
    static const int fd = memfd_create("korvale-temperature-fuzz", MFD_CLOEXEC);
    Check(fd >= 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t settings = data[0];
    static const char *const kSeparators[] = {".", ",", "::", ""};
    const std::string separator = kSeparators[settings & 3];

    const int fd = MemoryFile();
    Check(ftruncate(fd, 0) == 0);
    size_t written = 0;
    while (written < size - 1) {
        const ssize_t n = pwrite(fd, data + 1 + written, size - 1 - written, off_t(written));
        Check(n > 0);
        written += size_t(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    static TMLX90640 *object = new TMLX90640;  // one for the run, as in the program
    object->SetTemperature_UpLowAuto((settings & 4) != 0);
    object->SetTemperature_LowerLimit(0.0);
    object->SetTemperature_UpperLimit(35.0);
    object->SetFilter((settings & 8) != 0);
    static constexpr TInterMethod kInter[] = {IM_Poly1, IM_Poly2, IM_Poly3, IM_Poly3};
    object->SetInterMethodFirst(kInter[(settings >> 4) & 3]);
    object->SetInterMethodSecond(kInter[(settings >> 4) & 3]);
    if (settings & 0x80) {
        object->SetTempToColorConverMeth(CM_ContinuColor);
    } else {
        object->SetTempToColorConverMeth(CM_GrayColor);
        object->SetGrayColor_SubMeth((settings & 0x40) ? GCM_Pseudo2 : GCM_Gray);
    }
    const auto before = object->GetPublished();
    bool loaded = false;
    try {
        object->LoadDatasFromTemperatureFile(path, separator);
        loaded = true;
    } catch (const TTemperatureFileError &) {
    }
    const auto after = object->GetPublished();
    if (!loaded) {
        Check(after == before);  // a failed load publishes nothing
        return 0;
    }
    Check(after && after != before);
    Check(after->BmpPic.Width() == 512 && after->BmpPic.Height() == 384);

    // The grid holds the numbers the parser reads, line by line.
    const std::vector<std::string> lines = ReadTextLines(path);
    const TPixels grid = object->GetPixs_Origin();
    for (size_t i = 0; i < lines.size() && i < 24; ++i) {
        const std::vector<std::string> values = SplitTemperatureLine(lines[i]);
        for (size_t j = 0; j < values.size() && j < 32; ++j) {
            double v = 0;
            Check(ParseLocaleNumber(values[j], separator, v));
            Check(std::isfinite(v));
            Check(grid[j][i].Temperature == v);
        }
    }
    return 0;
}
