#pragma once
// What the Qt backend offers beyond the platform interface, for the programs
// and the tests that run on it. No Qt type appears here, so callers stay free
// of Qt headers.

#include "platform/surface.h"

// Starts the Qt application that fonts, surfaces and windows need, once per
// run. With offscreen set, and no platform asked for in QT_QPA_PLATFORM, it
// runs without a display. argc and argv must outlive the run.
void StartQtApplication(int* argc, char** argv, bool offscreen);

// Writes the surface's image as a PNG file; false when it cannot be written.
bool SaveSurfacePng(SurfaceHandle surface, const char* path);
