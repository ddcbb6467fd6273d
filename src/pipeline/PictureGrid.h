#pragma once
// The picture of one frame as flat values (its temperatures and how they were
// coloured), and the picture grid of pixel records built from them only when a
// reader asks for it.
//
// A frame's picture is 512 x 384 temperatures; its grid of 56-byte records is
// 11 MB. The worker writes the temperatures and the bitmap; the records, which
// only a cursor readout, a snapshot or a temperature file need, are made from the
// temperatures on first use, once per frame.

#include "pipeline/ColorMap.h"
#include "pipeline/PixelTypes.h"
#include "pipeline/RecyclePool.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// A picture as values. Its grid of records holds, for pixel (x, y): X = x, Y = y,
// Useable true, Temperature(x, y), Gray(x, y), Color(x, y) and its three bytes,
// TemperatureStep = StepValue.
struct TPictureValues {
    int Width = 0;
    int Height = 0;
    std::vector<double> Temps;  // Width x Height, row by row: pixel (x, y) at [y * Width + x]
    double LowerLimit = 0.0;    // the colour range the picture was coloured with
    double UpperLimit = 0.0;
    TColorTable Colors;            // colour words by grey value
    bool TemperatureStep = false;  // step display mode: grey values and colours stay 0
    double StepValue = 0.0;        // TemperatureStep of every pixel

    bool Empty() const { return Width <= 0 || Height <= 0; }
    // No bounds checks: 0 <= x < Width, 0 <= y < Height.
    double Temperature(int x, int y) const { return Temps[static_cast<size_t>(y) * Width + x]; }
    // GrayValue0: the position of the temperature inside the colour range (0 in
    // step display mode).
    double Gray(int x, int y) const;
    // Colour word 0x00BBGGRR, as the bitmap shows it; 0 where no colour was given.
    int32_t Color(int x, int y) const;
    // The whole record.
    TPixel Pixel(int x, int y) const;
    // Every record of the grid: Width columns of Height pixels ([x][y]); the grid
    // is resized when its size differs.
    void FillGrid(TPixels &grid) const;
};

// The picture grid of a published frame. Used like std::shared_ptr<const TPixels>
// (->, *, get(), a test for a grid, conversion to the shared pointer); the grid is
// built from the bound values on first use, once, whichever thread asks first,
// and other threads asking meanwhile wait for it. A copy (or the shared pointer)
// holds the built grid itself, so it stays valid after the frame is gone.
class TLazyPixels {
public:
    using TPool = TRecyclePool<TPixels>;

    TLazyPixels() = default;
    TLazyPixels(std::shared_ptr<const TPixels> grid);  // a grid that is already built
    TLazyPixels(const TLazyPixels &other);
    TLazyPixels &operator=(const TLazyPixels &other);
    TLazyPixels &operator=(std::shared_ptr<const TPixels> grid);

    // From now on the grid is built from `values`, into grids of `pool` (new ones
    // when it is null). `values` must stay unchanged while this object or any of
    // its readers may build; the owner rebinds or drops before changing them.
    // Not safe against concurrent readers.
    void Bind(const TPictureValues *values, std::shared_ptr<TPool> pool);
    // Lets go of the grid built so far (readers keep theirs), keeping the binding.
    // Not safe against concurrent readers.
    void Drop();

    const TPixels *get() const;
    const TPixels &operator*() const { return *get(); }
    const TPixels *operator->() const { return get(); }
    explicit operator bool() const { return fValues != nullptr || fBuilt.load(std::memory_order_acquire); }
    std::shared_ptr<const TPixels> Shared() const;
    operator std::shared_ptr<const TPixels>() const { return Shared(); }
    // Whether the grid has been built (or was given).
    bool IsBuilt() const { return fBuilt.load(std::memory_order_acquire) != nullptr; }

    friend bool operator==(const TLazyPixels &a, const std::shared_ptr<const TPixels> &b) {
        return a.Shared() == b;
    }

private:
    void Set(std::shared_ptr<const TPixels> grid);

    mutable std::mutex fMutex;                             // held while building
    mutable std::atomic<const TPixels *> fBuilt{nullptr};  // fGrid.get() once it is set
    mutable std::shared_ptr<const TPixels> fGrid;
    const TPictureValues *fValues = nullptr;
    std::shared_ptr<TPool> fPool;
};
