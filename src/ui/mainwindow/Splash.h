#pragma once
// The picture Image1 shows until the first frame: a false-colour field with the
// program's name and what it does, drawn at start.

#include <QImage>

// 512 x 384 pixels, 24 bits per pixel.
QImage MakeSplashPicture();
