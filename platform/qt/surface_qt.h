#pragma once
// What the Qt backend's own files share about surfaces.

#include <QImage>

#include "platform/surface.h"

// The image a surface draws into; everything drawn so far is in it. The
// surface writes the pixels in place, so a shallow copy goes on seeing later
// drawing; QImage::copy() keeps a snapshot.
const QImage& SurfaceImage(SurfaceHandle surface);
