// data_buffers.cpp — storage for the fixed data copies (see data_buffers.h).
#include "host/data_buffers.h"

uint8_t BriskLogo[kBriskLogoBytes];
uint8_t OpenerLogo[kOpenerLogoBytes];
uint8_t TextureData[kTextureBytes];
uint8_t PaletteData[kPaletteBytes];
const uint8_t* ScrollPicture = nullptr;
std::size_t ScrollPictureBytes = 0;

const DataFile kDataFiles[kDataFileCount] = {
    {"brisk.bin", kBriskLogoBytes, BriskLogo},
    {"opener7.bin", kOpenerLogoBytes, OpenerLogo},
    {"wctk.bin", kTextureBytes, TextureData},
    {"w.pal", kPaletteBytes, PaletteData},
    {"scroll.bin", kScrollPictureMinBytes, nullptr},
};
