#pragma once
// What the virtual module looks at: object temperatures of the 32 x 24 field
// (p = 32 * row + column, row 0 at the top) as a function of time, plus the
// sensor's own ambient temperature and supply voltage.

#include <string>

class TScene {
public:
    enum class TKind { Room, Uniform, Ramp, HotSpot };

    // "room" (a person walking across a room with a hot mug; the default),
    // "uniform:T" (every pixel at T °C), "ramp" (-20 to 300 °C along the pixel
    // numbers), "hotspot" (22 °C with a 2 x 2 spot at 150 °C). False and a
    // message for anything else.
    static bool Parse(const std::string &spec, TScene &scene, std::string *error);

    TScene() = default;

    void Render(double seconds, double *out768) const;  // noise-free
    double Ambient(double seconds) const;               // °C
    double Supply(double seconds) const;                // V
    bool Moving() const { return fKind == TKind::Room; }

private:
    TKind fKind = TKind::Room;
    double fLevel = 25.0;  // temperature of the uniform scene
};
