// present_pacing.h — keeps presents at most at the display's refresh rate.
//
//   per present, after the picture is handed over: PacePresent(refreshHz);
//
// Where presenting does not wait for the vertical blank (a renderer without
// working vsync, a window drawn with GDI or a clipped Blt) it returns at
// once and the main loop would spin; waiting out the rest of the refresh
// period keeps it at the refresh rate. Where the present already waits, this
// adds nothing. Used by the sdl/ display and the win32/ stand-in mode; the
// browser paces web/, and virtual/ has no screen to wait for.
#pragma once

// Called after every present by those displays. `refreshHz` below 30 (a
// display that does not say) counts as 60. A present later than one period
// after the one planned starts the schedule afresh.
void PacePresent(int refreshHz);
