// quit_scene.h — the render routine of the timeline's last entry.
//
// QuitScene: called through SceneTable once, on the first frame of the quit
// entry. Ignores target; blanks and presents the whole frame and asks the
// main loop to end.
#pragma once
#include <cstdint>

void QuitScene(uint8_t* target);
