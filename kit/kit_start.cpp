// kit_start.cpp — initKit (see kit_start.h).
#include "kit/kit_start.h"

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/logo_glow.h"
#include "kit/texture_grid.h"
#include "kit/warp_lattice.h"

void initKit(const uint8_t* texture, const uint8_t* palette, const uint8_t* openerLogo,
             const uint8_t* briskLogo) {
  buildGridTexture(texture);
  buildGridPalette(palette);
  buildShadeTable();
  initWarpLattice();
  initTitleLogos(openerLogo, briskLogo);
  initBlobTables();
  buildGlowTables();
  buildShadeScaleTable();
}
