// song.h — the demo's music, composed in code.
//
//   ItModule song = ComposeSong();
//
// 53 orders of one 64-row pattern each, speed 3 at tempo 110 (8 rows a beat,
// 2 bars a pattern, 4.36 s a pattern), A minor. The arrangement follows the
// demo's picture sequence:
//   0-5   intro: pads, plucks; risers landing on the logos at orders 2 and 4
//   6-11  the beat builds, a stab and crash on row 0 of orders 7-11
//   12-19 driving section; order 15 rows 32-62 stutter with the picture cuts
//   20-23 breakdown
//   24-34 peak; hits every 8 rows in 28-31, on rows 0/12/24/32 in 32-34,
//         everything but the pad drops out after order 34 row 24
//   35-52 calm outro under the credits, fading out by order 52 row 63
// Called by qm7-compose's main.
#pragma once
#include "tools/compose/it_writer.h"

ItModule ComposeSong();
