#pragma once
#include "math/vec3.h"

// Multiplies the view transform of the global camera onto the model-view
// matrix. In a cutscene or the first-person view the camera looks along its
// own forward; otherwise (the chase view) it turns to the hero first, which
// overwrites its forward and up. A camera standing on the hero keeps its
// previous forward rather than looking nowhere.
void LookThroughCamera(const Vec3& playerPosition);

// The same view transform again, towards the hero position last given to
// LookThroughCamera (models drawn later in the frame use it).
void ApplyCameraView();
