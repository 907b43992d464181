#pragma once
#include <string>

// Reference-counted start of SDL's video and event subsystems, shared by the
// windows of the game; the last release shuts them down.
namespace platform {
bool AcquireSdlVideo(std::string& error);
void ReleaseSdlVideo();
}  // namespace platform
