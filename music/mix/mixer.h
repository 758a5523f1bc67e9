#pragma once
// The voice mixer: the output's mixed voices summed into a block's float
// area, and the float area converted to 16-bit.
#include <cstdint>

#include "music/mix/voice.h"

void MixVoices(float* area, std::int32_t frameCount);
void MixVoice(Voice* voice, float* area, std::int32_t frameCount);
void ConvertBlock(std::int16_t* output, const float* area, std::int32_t frameCount);
