#pragma once
// One small module per behaviour where players of the format are known to
// differ; each is rendered by xm2wav and by the reference player and compared.
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace reference {

struct Behaviour {
    const char* name;
    xm::Module (*build)();
    // Whether the row also holds the reference's level, not only its sound.
    bool holdsLevel = false;
};

// Every row: the table's own, then the families that live in files of their
// own, each returned by its function below.
const std::vector<Behaviour>& Behaviours();

// Portamento memories and targets, key off beside instrument numbers, the
// tremor's silence and the global volume slide's memory.
std::vector<Behaviour> PortamentoBehaviours();

// The panning envelope, the panning memories, stereo loops and key offs beside notes.
std::vector<Behaviour> PanningBehaviours();

// Pitch at the edges: arpeggio and vibrato with other pitch effects,
// glissando, the limits of the pitch range and slides between notes.
std::vector<Behaviour> PitchBehaviours();

// Pattern loops beside other loops, breaks, jumps and row delays.
std::vector<Behaviour> PatternLoopBehaviours();

// Modules told apart only by whose tracker saved them.
std::vector<Behaviour> SavedByBehaviours();

// Note delays in combination, and the retriggers on a row's first tick.
std::vector<Behaviour> NoteDelayBehaviours();

// Pitch in files of the format tracker's older versions: finetune and notes
// out of range.
std::vector<Behaviour> OlderTrackerPitchBehaviours();

// Which sample a note plays at the edges of its instrument's sample map, and
// instrument numbers that name nothing playable.
std::vector<Behaviour> SampleMapBehaviours();

// Files of the format tracker's older versions: the key off effect, the
// pattern loops, the envelopes after a release, the global volume slide.
std::vector<Behaviour> OlderTrackerControlBehaviours();

// Where the envelope position effect puts an envelope, at and past its points.
std::vector<Behaviour> EnvelopePositionBehaviours();

// Note delays in files of the format tracker's older versions: the delayed
// cell's volume column, instrument number and empty cells, and row delays.
std::vector<Behaviour> OlderTrackerNoteDelayBehaviours();

// How voices end: one-shot samples past their last frame, note cuts, and
// the notes that follow while what they leave falls away.
std::vector<Behaviour> VoiceEndsBehaviours();

// Files of the format tracker's older versions: the panning slides, the
// volume column's memory, the envelope position on the panning envelope and
// the key off of an instrument without a volume envelope.
std::vector<Behaviour> OlderTrackerPanningBehaviours();

// Files of the format tracker's older versions: the tremor's silence and
// count, the tremolo's ramp.
std::vector<Behaviour> OlderTrackerVolumeBehaviours();

// Files of the format tracker's older versions: the multi retrigger's count
// and the retrigger E90.
std::vector<Behaviour> OlderTrackerRetriggerBehaviours();


}  // namespace reference
