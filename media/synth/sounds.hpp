// The game's sound effects and background music, each rendered from scratch.
#pragma once

#include "dsp.hpp"

#include <span>
#include <string_view>

namespace synth {

struct Sound {
    std::string_view file; // output file name, e.g. "dung.wav"
    Buffer (*make)();      // renders the finished, normalized sound
};

// All sounds the game needs, in a fixed order.
std::span<const Sound> sounds();

} // namespace synth
