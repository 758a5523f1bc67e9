#include "tools/songgen/song_module.h"

#include "tools/songgen/instruments.h"
#include "tools/songgen/score.h"

namespace songgen {

bool BuildModule(const std::string& scoreText, xm::Module& module, std::string& error) {
    Score score;
    if (!ParseScore(scoreText, InstrumentSlot, score, error)) return false;
    module = xm::Module{};
    module.name = score.name;
    module.channels = score.channels;
    module.flags = 0;  // Amiga frequency table
    module.speed = static_cast<std::uint16_t>(score.speed);
    module.bpm = static_cast<std::uint16_t>(score.bpm);
    module.restart = static_cast<std::uint16_t>(score.restart);
    module.orders = score.orders;
    module.patterns = std::move(score.patterns);
    module.instruments = BuildInstruments();
    return true;
}

bool GenerateSong(const std::string& scoreText, std::vector<std::uint8_t>& bytes, std::string& error) {
    xm::Module module;
    if (!BuildModule(scoreText, module, error)) return false;
    bytes = xm::Write(module);
    return true;
}

}  // namespace songgen
