#pragma once
// The intro's instruments, each synthesized from a short recipe, placed in
// the module's instrument slots (numbered from 1 as in pattern cells).
#include <string>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace songgen {

constexpr int kInstrumentSlots = 64;

struct Recipe {
    int slot;          // 1..kInstrumentSlots
    const char* name;  // the name the score uses
    xm::Instrument (*build)();
};

const std::vector<Recipe>& Recipes();

// Slot of the named instrument, or 0 when there is none.
int InstrumentSlot(const std::string& name);

// kInstrumentSlots instruments; slots without a recipe are empty.
std::vector<xm::Instrument> BuildInstruments();

}  // namespace songgen
