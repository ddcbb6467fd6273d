#include "replay/ReplayWriters.h"

#include "pipeline/JpegWriter.h"
#include "pipeline/TemperatureFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

std::string G17(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

struct TFileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

bool Fail(std::string *error, const std::string &message) {
    if (error)
        *error = message;
    return false;
}

// Opens for writing; on failure a message naming the path and the reason.
TFile OpenForWriting(const std::string &path, std::string *error) {
    TFile f(std::fopen(path.c_str(), "wb"));
    if (!f)
        Fail(error, "cannot write " + path + ": " + std::strerror(errno));
    return f;
}

bool Finish(TFile f, const std::string &path, std::string *error) {
    const bool ok = !std::ferror(f.get());
    if (std::fclose(f.release()) != 0 || !ok)
        return Fail(error, "cannot write " + path + ": " + std::strerror(errno));
    return true;
}

}  // namespace

std::string CsvHeader() {
    return "index,type,subpage,vdd,ta,min,max,avg,lower,upper";
}

std::string CsvLine(const TReplayFrame &frame) {
    const TMLX90640Published &p = *frame.published;
    return std::to_string(frame.index) + ',' + FrameTypeName(frame.type) + ',' + std::to_string(p.Subpage) +
           ',' + G17(p.Vdd) + ',' + G17(p.Ta) + ',' + G17(p.MinPix.Temperature) + ',' +
           G17(p.MaxPix.Temperature) + ',' + G17(p.TemperatureAvg) + ',' + G17(p.Temperature_LowerLimit) +
           ',' + G17(p.Temperature_UpperLimit);
}

std::string FramePath(const std::string &dir, int index, const char *extension) {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%05d.%s", index, extension);
    return (std::filesystem::path(dir) / name).string();
}

bool WritePictureTemps(const std::string &path, const TPixels &grid, std::string *error) {
    const size_t columns = grid.size();
    const size_t rows = columns ? grid[0].size() : 0;
    if (columns == 0 || rows == 0)
        return Fail(error, "no picture grid to write to " + path);
    TFile f = OpenForWriting(path, error);
    if (!f)
        return false;
    std::string line;
    for (size_t y = 0; y < rows; ++y) {
        line.clear();
        for (size_t x = 0; x < columns; ++x) {
            if (x)
                line += ' ';
            line += G17(grid[x][y].Temperature);
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), f.get());
    }
    return Finish(std::move(f), path, error);
}

bool WritePpm(const std::string &path, const TBitmap24 &bitmap, std::string *error) {
    if (bitmap.Empty())
        return Fail(error, "no picture to write to " + path);
    TFile f = OpenForWriting(path, error);
    if (!f)
        return false;
    std::fprintf(f.get(), "P6\n%d %d\n255\n", bitmap.Width(), bitmap.Height());
    std::vector<uint8_t> rgb(size_t(bitmap.Width()) * 3);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t *bgr = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            rgb[3 * x] = bgr[3 * x + 2];
            rgb[3 * x + 1] = bgr[3 * x + 1];
            rgb[3 * x + 2] = bgr[3 * x];
        }
        std::fwrite(rgb.data(), 1, rgb.size(), f.get());
    }
    return Finish(std::move(f), path, error);
}

bool PrepareOutputDirs(const TReplayOptions &o, std::string *error) {
    for (const std::string *dir : {&o.tempsDir, &o.pictureTempsDir, &o.ppmDir, &o.jpegDir}) {
        if (dir->empty())
            continue;
        std::error_code ec;
        std::filesystem::create_directories(*dir, ec);
        if (ec || !std::filesystem::is_directory(*dir))
            return Fail(error, "cannot create folder " + *dir +
                                   (ec ? ": " + ec.message() : std::string(": not a folder")));
    }
    return true;
}

bool WriteFrameFiles(const TReplayOptions &o, const TReplayFrame &frame, std::string *error) {
    const TMLX90640Published &p = *frame.published;
    if (!o.tempsDir.empty()) {
        const std::string path = FramePath(o.tempsDir, frame.index, "txt");
        try {
            SaveTemperatureFile(path, p.Pixs_Origin, ".");
        } catch (const TTemperatureFileError &e) {
            return Fail(error, e.what());
        }
    }
    if (!o.pictureTempsDir.empty()) {
        if (!p.Pixs_Interpolation)
            return Fail(error, "frame " + std::to_string(frame.index) + " has no picture grid");
        if (!WritePictureTemps(FramePath(o.pictureTempsDir, frame.index, "txt"), *p.Pixs_Interpolation,
                               error))
            return false;
    }
    if (!o.ppmDir.empty() && !WritePpm(FramePath(o.ppmDir, frame.index, "ppm"), p.BmpPic, error))
        return false;
    if (!o.jpegDir.empty()) {
        const std::string path = FramePath(o.jpegDir, frame.index, "jpg");
        std::string why;
        if (!WriteJpeg(path, p.BmpPic.Bits(), p.BmpPic.Width(), p.BmpPic.Height(), p.BmpPic.BytesPerLine(),
                       true, 100, &why))
            return Fail(error, "cannot write " + path + ": " + why);
    }
    return true;
}
