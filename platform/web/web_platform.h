// web_platform.h — what the browser platform's files share among themselves
// and export to the page's script (platform/web/qm7-page.js).
//
// The page calls the exported qm7_web_* functions; the C++ side calls the
// page through EM_JS stubs that reach the global `qm7Page` object.
#pragma once
#include <cstdint>

extern "C" {
// Page, on browser events: queues a window message (WM_ACTIVATEAPP with
// 0/1, WM_KEYDOWN with the key code) for the demo window.
void qm7_web_post_message(uint32_t message, uint32_t wParam);
// Page, when the audio output asks for more: renders `frames` stereo frames
// of the module (silence when none plays) and returns their interleaved
// 16-bit samples; valid until the next call.
const int16_t* qm7_web_render_audio(int frames);
// Page, while it shows Play: loads qm7.it and frees it again. The browser
// compiles the program's code on its first call; this gets the music
// library's loader compiled before the click instead of inside it.
void qm7_web_prepare_music();
// Page (its counters for tests): order | row << 16 of what is heard now, as
// the timeline reads it.
uint32_t qm7_web_music_position();
// Page, when the sound output taken at start-up never started its clock:
// ends the running program with "Can't initialize device" (host/main_web.cpp).
void qm7_web_no_sound();
}

// Music, on MusicFree: stops the page's audio output.
void StopWebAudio();
