#pragma once
#include <memory>

#include "audio/audio_device.h"

namespace platform {

// The default output of OpenAL Soft (its own configuration picks the
// device), or null when there is none: the game then runs silent. The
// device must outlive every voice it made.
std::unique_ptr<AudioDevice> OpenAudioDevice();

}  // namespace platform
