#pragma once
#include "graphics/view_transform.h"
#include "math/vec3.h"

struct Camera;

// The view of one frame, for the world and every model placed in it. In a
// cutscene or the first-person view the camera looks along its own forward;
// otherwise (the chase view) it turns to the hero first, which overwrites
// its forward and up (straight above him, the way it faced before is up on
// the screen). A camera standing on the hero keeps its previous
// forward rather than looking nowhere.
ViewTransform FrameView(Camera& camera, const Vec3& heroPosition);
