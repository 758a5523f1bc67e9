// Modules saved by the format tracker's older versions (its name with the
// module's name padded with zeros): the key off effect, the pattern loops,
// the envelopes after a release and the global volume slide, where the
// reference plays those files apart from the newer ones.
#include <cstdint>
#include <utility>
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// Notes an octave apart per pattern, at speed 3, under the older header.
xm::Module OlderNotePerRow(int channels, int rows, int patterns, std::vector<std::uint8_t> orders) {
    xm::Module module = NotePerRow(channels, rows, patterns, std::move(orders), 12);
    module.speed = 3;
    return SavedByOlderFormatTracker(module);
}

// Key off effects of several ticks, alone and beside notes, on an enveloped
// instrument, one that fades out and one that does neither.
xm::Module KeyOffEffect() {
    xm::Module module = Base(3, 24);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument fading = xm::InstrumentOf({Tone()});
    fading.fadeout = 2048;
    module.instruments.push_back(fading);
    const std::uint8_t instruments[3] = {3, 4, 1};
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t note = static_cast<std::uint8_t>(kC4 + 4 * c);
        At(module, 0, c) = {note, instruments[c], 0, 0, 0};
        At(module, 3, c) = {0, 0, 0, EffectKeyOff, static_cast<std::uint8_t>(c == 0 ? 0 : 2 + c)};
        At(module, 8, c) = {note, instruments[c], 0, 0, 0};
        At(module, 11, c) = {static_cast<std::uint8_t>(note + 2), 0, 0, EffectKeyOff, static_cast<std::uint8_t>(c)};
        At(module, 16, c) = {note, instruments[c], 0, 0, 0};
        At(module, 20, c) = {97, 0, 0, 0, 0};
    }
    return SavedByOlderFormatTracker(module);
}

// Loops in several channels: of those ending on one row the leftmost counts
// first, and a loop done inside another's does not start again; the same
// pattern twice in the order list starts from its top.
xm::Module LoopsOneAtATime() {
    xm::Module module = OlderNotePerRow(4, 8, 2, {0, 1, 1});
    Loop(module, 1, 1, 0);
    Loop(module, 5, 1, 1);
    Loop(module, 2, 2, 0);
    Loop(module, 5, 2, 1);
    Loop(module, 3, 3, 0);
    Loop(module, 5, 3, 1);
    Loop(module, 2, 1, 0, 1);
    Loop(module, 4, 1, 2, 1);
    Loop(module, 6, 3, 1, 1);
    return module;
}

// A loop's end beside a pattern break, then beside a position jump, each on
// either side of the loop's channel.
xm::Module LoopBeforeBreak() {
    xm::Module module = OlderNotePerRow(3, 8, 2, {0, 1});
    Loop(module, 1, 2, 0);
    Loop(module, 4, 2, 1);
    Effect(module, 4, 1, EffectPatternBreak, 0x02);
    Loop(module, 3, 1, 0, 1);
    Loop(module, 5, 1, 1, 1);
    Effect(module, 5, 2, EffectPositionJump, 0x00, 1);
    return module;
}

// A volume envelope whose loop ends at its sustain point, released by a key
// off and by the key off effect, and a panning envelope held at its
// sustain point under a level volume envelope, released.
xm::Module EnvelopesAfterRelease() {
    xm::Module module = Base(2, 24);
    xm::Instrument looped = EnvelopedTone();
    looped.fadeout = 128;
    module.instruments.push_back(looped);
    xm::Instrument held = EnvelopedTone();
    held.volumeEnvelope.points = {{0, 48}, {100, 48}};
    held.volumeEnvelope.type = 1 | 2;
    held.volumeEnvelope.sustain = 0;
    held.panningEnvelope.type = 1 | 2;
    held.panningEnvelope.sustain = 1;
    held.fadeout = 0;
    module.instruments.push_back(held);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 0, 1) = {kC4 + 7, 4, 0, 0, 0};
    At(module, 6, 0) = {97, 0, 0, 0, 0};
    At(module, 6, 1) = {97, 0, 0, 0, 0};
    At(module, 14, 0) = {kC4 + 2, 3, 0, 0, 0};
    At(module, 14, 1) = {kC4 + 5, 4, 0, 0, 0};
    At(module, 18, 0) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 18, 1) = {0, 0, 0, EffectKeyOff, 2};
    return SavedByOlderFormatTracker(module);
}

// Global volume slides in two channels, with and without their parameter.
xm::Module GlobalVolumeSlides() {
    xm::Module module = Base(2, 16);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 0, 1) = {kC4 + 7, 1, 0x30, EffectGlobalVolumeSlide, 0x04};
    At(module, 1, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 2, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 3, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0x20};
    At(module, 4, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 6, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 8, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x30};
    At(module, 10, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0x0F};
    At(module, 11, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    return SavedByOlderFormatTracker(module);
}

}  // namespace

std::vector<Behaviour> OlderTrackerControlBehaviours() {
    return {
        {"older_tracker_key_off_effect", KeyOffEffect},
        {"older_tracker_loops_one_at_a_time", LoopsOneAtATime},
        {"older_tracker_loop_before_break", LoopBeforeBreak},
        {"older_tracker_envelopes_after_release", EnvelopesAfterRelease},
        {"older_tracker_global_volume_slides", GlobalVolumeSlides},
    };
}

}  // namespace reference
