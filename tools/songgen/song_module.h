#pragma once
// The module the intro embeds: the score's patterns and order over the
// synthesized instruments.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace songgen {

bool BuildModule(const std::string& scoreText, xm::Module& module, std::string& error);

// The module's file bytes; the same text gives the same bytes.
bool GenerateSong(const std::string& scoreText, std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace songgen
