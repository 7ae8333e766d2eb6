// virtual_internal.h — what the virtual window, clock and music share
// among themselves (not for drivers; they use virtual_platform.h).
#pragma once

// Passes one call name to the driver's call log, if one is set.
void VirtualLogCall(const char* call);
// Each part back to its process-start state; called by VirtualPlatformReset.
void ResetVirtualClock();
void ResetVirtualMusic();
