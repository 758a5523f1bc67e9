#pragma once
// Renders a module with xm2wav and with the other players installed on the
// machine, and measures how alike two renders sound.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace reference {

enum class Renderer { OursTracker, OursIntro, Openmpt, Xmp };

const char* RendererName(Renderer renderer);

// Whether the program behind a renderer is installed; xm2wav always is.
bool Installed(Renderer renderer);

// 16-bit stereo frames at 44100 Hz, left then right, from one pass of the
// module; false when the renderer failed.
bool Render(Renderer renderer, const xm::Module& module, const std::string& name,
            std::vector<std::int16_t>* frames);

// The root mean square of a render's samples.
double Level(const std::vector<std::int16_t>& frames);

// Pearson correlation of two interleaved stereo renders, the second shifted
// by the lag (up to maxLag frames either way) that makes them most alike; the
// shorter is padded with silence, so a render that ends early counts against.
double Correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                   int maxLag);

}  // namespace reference
