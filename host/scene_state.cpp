// scene_state.cpp — storage for the shared SceneState record.
#include "host/scene_state.h"

SceneStateRecord SceneState;
