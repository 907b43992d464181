#pragma once
// One number for the state of a game that matters to how it plays on: the
// hero, his weapons and shots, the camera, the enemies, the pickups, the
// puzzle, the particles, the scenes and the switches that change in play.
// A recorded game and its playback end with the same hash; games that ended
// differently (almost surely) do not. Window, GL and sound device state,
// wall-clock time and pointers stay out of it.
#include <cstdint>
#include <string>

#include "core/game.h"

std::uint64_t GameStateHash(const Game& game);
// The hash as 16 lowercase hexadecimal digits.
std::string StateHashText(std::uint64_t hash);
