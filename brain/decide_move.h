#pragma once
// The answer to one request for a move.

#include <string>

#include "brain/engine.h"

namespace quorvex {

// Chooses the engine's point in the current position, places the engine's
// stone and returns the reply text: the point in protocol coordinates, two
// decimal numbers joined by ",".
std::string DecideMove(Engine& engine);

}  // namespace quorvex
