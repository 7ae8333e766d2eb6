// kit_start.h — the kit's start-up: every table and piece of state the
// effects share, built before any effect starts.
//
//   initKit(texture, palette, openerLogo, briskLogo);   // host start-up, once,
//   initLensWarp(); initTunnel(); ...                   // then each effect's init
//
// texture: 64x64 palette indices; palette: 256 entries of three 6-bit
// components; the title logos 280x52 and 240x59 intensities 0..63, read in
// place for the rest of the run. Builds the texture grid's texture, palette
// and shade table, the warp lattice, the title logos' smears and rows, the
// blob tables, the glow tables and the shade scale table, and puts the shared
// state (warp angle, blob phases) back to its start. Effect tests call it
// with their own pictures before starting the effect they test.
#pragma once
#include <cstdint>

void initKit(const uint8_t* texture, const uint8_t* palette, const uint8_t* openerLogo,
             const uint8_t* briskLogo);
