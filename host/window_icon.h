// window_icon.h — the picture qm7's window shows as its icon: "QM7" on a
// dark rounded tile, WindowIconSize pixels square, row-major 0xAARRGGBB words
// (straight alpha). The definition is made during the build by
// `qm7-assets icons` (tools/assets/icon.cpp) and linked into qm7 only;
// host/main.cpp hands it to SetWindowIcon before the window opens.
#pragma once
#include <cstdint>

extern const int WindowIconSize;
extern const uint32_t WindowIconPixels[];
