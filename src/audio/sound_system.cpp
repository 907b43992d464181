#include "audio/sound_system.h"

void SoundSystem::SetListenerPosition(const Vec3& position) { listenerPosition = position; }

void SoundSystem::SetListenerOrientation(const Vec3& front, const Vec3& top) {
    listenerFront = front;
    listenerTop = top;
}

void SoundSystem::Commit() {
    if (!device) return;
    device->SetListener(listenerPosition, listenerFront, listenerTop);
    device->Commit();
}
