// The song's shared empty records, which live as long as the program.
#include "music/song.h"

Sample emptySample{};
Instrument emptyInstrument{};
