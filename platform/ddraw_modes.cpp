// ddraw_modes.cpp — the standard mode list (kStandardModes, platform/ddraw.h)
// that the sdl/ and virtual/ displays list; win32/ and web/ list their own.
#include "platform/ddraw.h"

namespace {
constexpr uint32_t kR32 = 0x00FF0000, kG32 = 0x0000FF00, kB32 = 0x000000FF;
constexpr uint32_t kR16 = 0xF800, kG16 = 0x07E0, kB16 = 0x001F;
}  // namespace

const DdMode kStandardModes[] = {
    {320, 200, 16, kR16, kG16, kB16},    {320, 200, 32, kR32, kG32, kB32},
    {320, 240, 16, kR16, kG16, kB16},    {320, 240, 32, kR32, kG32, kB32},
    {400, 300, 16, kR16, kG16, kB16},    {400, 300, 32, kR32, kG32, kB32},
    {512, 384, 16, kR16, kG16, kB16},    {512, 384, 32, kR32, kG32, kB32},
    {640, 400, 16, kR16, kG16, kB16},    {640, 400, 32, kR32, kG32, kB32},
    {640, 480, 16, kR16, kG16, kB16},    {640, 480, 32, kR32, kG32, kB32},
    {800, 600, 16, kR16, kG16, kB16},    {800, 600, 32, kR32, kG32, kB32},
    {1024, 768, 16, kR16, kG16, kB16},   {1024, 768, 32, kR32, kG32, kB32},
    {1152, 864, 16, kR16, kG16, kB16},   {1152, 864, 32, kR32, kG32, kB32},
    {1280, 960, 16, kR16, kG16, kB16},   {1280, 960, 32, kR32, kG32, kB32},
    {1280, 1024, 16, kR16, kG16, kB16},  {1280, 1024, 32, kR32, kG32, kB32},
    {1600, 1200, 16, kR16, kG16, kB16},  {1600, 1200, 32, kR32, kG32, kB32},
};
const int kStandardModeCount = sizeof(kStandardModes) / sizeof(kStandardModes[0]);
