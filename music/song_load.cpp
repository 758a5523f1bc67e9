// Turns an extended-module file, read through the installed file operations,
// into a Song. A module is untrusted: every count and index it holds is either
// brought within the records it indexes or makes the load fail, so nothing
// later reads or writes outside a record or buffer. Without an installed file
// table, or when an allocation fails, SongLoad answers none as well.
#include <cstdlib>
#include <cstring>

#include "music/audio_output.h"
#include "music/file_stream.h"
#include "music/song.h"

Sample emptySample{};
Instrument emptyInstrument{};

namespace {

constexpr int kOrderTableSize = 256;
// Cells name instruments 1..128; instruments past that could never play.
constexpr int kMaxInstruments = 128;
constexpr int kInstrumentSlots = 16;
constexpr int kMissingPatternRows = 64;
// The format's patterns hold at most 256 rows. More, in a pattern without
// data, would let nine bytes of file claim megabytes of cells.
constexpr int kMaxPatternRows = 256;

// Reads through the stream and remembers whether the file ran out: a module
// cut short anywhere before its sample data is refused.
struct Reader {
    FileStream* stream;
    bool shortRead;

    void bytes(void* destination, std::int32_t count) {
        if (FileStreamRead(destination, count, stream) < count) shortRead = true;
    }
    std::uint8_t u8() {
        std::uint8_t b[1] = {0};
        bytes(b, 1);
        return b[0];
    }
    std::uint16_t u16() {
        std::uint8_t b[2] = {0, 0};
        bytes(b, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32() {
        std::uint8_t b[4] = {0, 0, 0, 0};
        bytes(b, 4);
        return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
               (std::uint32_t{b[3]} << 24);
    }
    void skip(std::int32_t count) { FileStreamSeek(stream, count, 1); }
    std::int32_t tell() { return FileStreamTell(stream); }
    // Offsets beyond what a 32-bit file position holds cannot be in the file.
    bool seekTo(std::int64_t position) {
        if (position < 0 || position > INT32_MAX) return false;
        FileStreamSeek(stream, static_cast<std::int32_t>(position), 0);
        return true;
    }
};

std::int32_t FileSize(Reader& r) {
    const std::int32_t here = r.tell();
    FileStreamSeek(r.stream, 0, 2);
    const std::int32_t size = r.tell();
    FileStreamSeek(r.stream, here, 0);
    return size;
}

bool ReadHeader(Reader& r, Song* song, std::int32_t* patternCount, std::int32_t* fileChannels) {
    static const char kMagic[17] = {'E', 'x', 't', 'e', 'n', 'd', 'e', 'd', ' ', 'M',
                                    'o', 'd', 'u', 'l', 'e', ':', ' '};
    char magic[17] = {};
    r.bytes(magic, 17);
    if (r.shortRead || std::memcmp(magic, kMagic, 17) != 0) return false;

    song->tickHandler = ReplayerTick;
    song->initialGlobalVolume = 64;
    FileStreamSeek(r.stream, 60, 0);
    const std::uint32_t headerSize = r.u32();
    const std::uint16_t songLength = r.u16();
    const std::uint16_t restart = r.u16();
    const std::uint16_t channels = r.u16();
    *fileChannels = channels;
    *patternCount = r.u16();
    const std::uint16_t instruments = r.u16();
    song->flags = r.u16();
    song->defaultSpeed = static_cast<std::int16_t>(r.u16());
    song->defaultBpm = static_cast<std::int16_t>(r.u16());
    r.bytes(song->orderTable, kOrderTableSize);
    if (r.shortRead) return false;

    // No channels leaves nothing to play. Channels past the channel table's 32
    // are dropped while unpacking, so wider modules still play their first 32.
    if (channels == 0) return false;
    song->channelCount = static_cast<std::int16_t>(channels > kChannelCount ? kChannelCount : channels);
    // The order table has 256 entries; an empty song still plays its first
    // entry, so it must name a pattern that exists.
    std::int32_t length = songLength > kOrderTableSize ? kOrderTableSize : songLength;
    if (length < 1) length = 1;
    song->songLength = static_cast<std::int16_t>(length);
    // A restart position outside the order list would index past it.
    song->restartPosition = static_cast<std::int16_t>(restart < length ? restart : 0);
    song->instrumentCount = static_cast<std::int16_t>(instruments > kMaxInstruments ? kMaxInstruments : instruments);
    return r.seekTo(60 + std::int64_t{headerSize});
}

// Unpacks one cell into cell, or past it when the cell's channel is dropped.
void UnpackCell(Reader& r, PatternCell* cell) {
    PatternCell c{};
    const std::uint8_t b = r.u8();
    if (b & 0x80) {
        if (b & 1) c.note = r.u8();
        if (b & 2) c.instrument = r.u8();
        if (b & 4) c.volume = r.u8();
        if (b & 8) c.effect = r.u8();
        if (b & 16) c.parameter = r.u8();
    } else {
        c.note = b;
        c.instrument = r.u8();
        c.volume = r.u8();
        c.effect = r.u8();
        c.parameter = r.u8();
    }
    if (c.note == 97) c.note = 255;
    if (c.instrument > 128) c.instrument = 0;
    if (cell) *cell = c;
}

bool AllocateCells(Pattern* pattern, std::int32_t rows, std::int32_t channels) {
    pattern->rows = rows;
    pattern->cells = static_cast<PatternCell*>(
        std::calloc(static_cast<std::size_t>(rows) * static_cast<std::size_t>(channels), sizeof(PatternCell)));
    return pattern->cells != nullptr;
}

bool ReadPatterns(Reader& r, Song* song, std::int32_t patternCount, std::int32_t fileChannels) {
    std::int32_t highest = -1;
    for (int i = 0; i < song->songLength; ++i) {
        if (song->orderTable[i] > highest) highest = song->orderTable[i];
    }
    song->patternsUsed = highest + 1;
    song->patternSlots = patternCount > song->patternsUsed ? patternCount : song->patternsUsed;
    song->patterns = static_cast<Pattern*>(std::calloc(static_cast<std::size_t>(song->patternSlots), sizeof(Pattern)));
    if (!song->patterns) return false;

    const std::int32_t channels = song->channelCount;
    for (std::int32_t p = 0; p < patternCount; ++p) {
        r.u32();
        r.u8();
        std::int32_t rows = r.u16();
        const std::uint16_t packedSize = r.u16();
        if (r.shortRead || rows > kMaxPatternRows) return false;
        // A pattern without rows still gets one empty row, so that row 0 of
        // any order exists.
        if (rows == 0) rows = 1;
        Pattern* pattern = &song->patterns[p];
        if (!AllocateCells(pattern, rows, channels)) return false;
        if (packedSize == 0) continue;
        // Every cell takes at least one byte, so counts of rows or channels
        // far beyond the file end the reading as soon as the file does.
        for (std::int32_t row = 0; row < rows; ++row) {
            for (std::int32_t c = 0; c < fileChannels; ++c) {
                UnpackCell(r, c < channels ? &pattern->cells[row * channels + c] : nullptr);
                if (r.shortRead) return false;
            }
        }
    }
    for (std::int32_t p = patternCount; p < song->patternsUsed; ++p) {
        if (!AllocateCells(&song->patterns[p], kMissingPatternRows, channels)) return false;
    }
    return true;
}

void ReadEnvelope(Reader& r, EnvelopePoint* points) {
    for (int i = 0; i < kEnvelopeFilePoints; ++i) {
        points[i].x = r.u16();
        points[i].y = r.u16();
    }
}

// The file holds 12 points; an index the envelope cannot reach is dropped
// together with its flag, so that no step looks beyond the points in use.
void LimitEnvelope(std::uint8_t* points, std::uint8_t* sustain, std::uint8_t* loopStart, std::uint8_t* loopEnd,
                   std::uint8_t* type) {
    if (*points > kEnvelopeFilePoints) *points = kEnvelopeFilePoints;
    if (*points < 2) *type = 0;
    if (*sustain >= *points) {
        *sustain = 0;
        *type &= static_cast<std::uint8_t>(~2u);
    }
    if (*loopStart >= *points || *loopEnd >= *points) {
        *loopStart = 0;
        *loopEnd = 0;
        *type &= static_cast<std::uint8_t>(~4u);
    }
}

void ReadInstrumentHeader(Reader& r, Instrument* ins) {
    r.u32();
    r.bytes(ins->noteSample, 96);
    ReadEnvelope(r, ins->volumeEnvelope);
    ReadEnvelope(r, ins->panningEnvelope);
    ins->volumePoints = r.u8();
    ins->panningPoints = r.u8();
    ins->volumeSustain = r.u8();
    ins->volumeLoopStart = r.u8();
    ins->volumeLoopEnd = r.u8();
    ins->panningSustain = r.u8();
    ins->panningLoopStart = r.u8();
    ins->panningLoopEnd = r.u8();
    ins->volumeType = r.u8();
    ins->panningType = r.u8();
    ins->vibratoType = r.u8();
    ins->vibratoSweep = r.u8();
    ins->vibratoDepth = r.u8();
    ins->vibratoRate = r.u8();
    ins->fadeout = static_cast<std::uint16_t>(r.u16() * 2);
    LimitEnvelope(&ins->volumePoints, &ins->volumeSustain, &ins->volumeLoopStart, &ins->volumeLoopEnd,
                  &ins->volumeType);
    LimitEnvelope(&ins->panningPoints, &ins->panningSustain, &ins->panningLoopStart, &ins->panningLoopEnd,
                  &ins->panningType);
}

// A loop reaching past the sample's end is shortened to end with it; one
// starting past the end is dropped. The guard frame then always lies within
// the sample's spare frames.
void LimitLoop(Sample* s) {
    if (s->loopType != LoopNone && s->loopStart >= s->length) {
        s->loopType = LoopNone;
    }
    if (s->loopType == LoopNone) {
        s->loopStart = 0;
        s->loopLength = s->length;
        return;
    }
    if (std::uint64_t{s->loopStart} + s->loopLength > s->length) s->loopLength = s->length - s->loopStart;
}

bool ReadSampleHeader(Reader& r, Sample* s) {
    s->length = r.u32();
    s->loopStart = r.u32();
    s->loopLength = r.u32();
    s->volume = r.u8();
    s->finetune = static_cast<std::int8_t>(r.u8());
    const std::uint8_t type = r.u8();
    s->loopType = LoopNone;
    s->bits = 8;
    if (type & 1) s->loopType = LoopForward;
    if (type & 2) s->loopType = LoopPingPong;
    if (type & 16) s->bits = 16;
    if (s->loopType == LoopNone) {
        s->loopStart = 0;
        s->loopLength = s->length;
    }
    if (s->bits == 16) {
        s->length >>= 1;
        s->loopStart >>= 1;
        s->loopLength >>= 1;
    }
    if (s->loopLength == 0) {
        s->loopStart = 0;
        s->loopLength = s->length;
        s->loopType = LoopNone;
    }
    s->panning = r.u8();
    s->relativeNote = static_cast<std::int8_t>(r.u8());
    r.skip(23);
    LimitLoop(s);
    return !r.shortRead;
}

// Sample data cut short by the end of the file keeps the frames that are
// there: the sample is shortened to them.
bool ReadSampleData(Reader& r, Sample* s, std::int32_t fileSize, const Song* song, int instrument, int slot) {
    const std::uint32_t frameBytes = s->bits / 8;
    std::int64_t remaining = std::int64_t{fileSize} - r.tell();
    if (remaining < 0) remaining = 0;
    if (std::int64_t{s->length} * frameBytes > remaining) {
        s->length = static_cast<std::uint32_t>(remaining / frameBytes);
        LimitLoop(s);
    }
    if (s->length == 0) return true;
    const std::int32_t byteCount = static_cast<std::int32_t>(s->length * frameBytes);
    auto* frames = static_cast<std::int16_t*>(std::calloc(std::size_t{s->length} + 8, sizeof(std::int16_t)));
    if (!frames) return false;
    auto* raw = reinterpret_cast<std::uint8_t*>(frames);
    if (song->sampleProvider) {
        song->sampleProvider(raw, byteCount, s->bits, instrument, slot);
        r.skip(byteCount);
    } else {
        FileStreamRead(raw, byteCount, r.stream);
    }
    // Widened in place from the last frame back, so no byte is overwritten
    // before it has been read.
    for (std::uint32_t k = s->length; k-- > 0;) {
        if (s->bits == 8) {
            frames[k] = static_cast<std::int16_t>(static_cast<std::int8_t>(raw[k]) * 256);
        } else {
            frames[k] = static_cast<std::int16_t>(raw[2 * k] | (raw[2 * k + 1] << 8));
        }
    }
    s->bits = 16;
    if (!song->sampleProvider) {
        std::uint16_t sum = 0;
        for (std::uint32_t k = 0; k < s->length; ++k) {
            sum = static_cast<std::uint16_t>(sum + static_cast<std::uint16_t>(frames[k]));
            frames[k] = static_cast<std::int16_t>(sum);
        }
    }
    const std::uint32_t end = s->loopStart + s->loopLength;
    if (s->loopType & LoopForward) frames[end] = frames[s->loopStart];
    else if (s->loopType & LoopPingPong) frames[end] = frames[end - 1];
    s->data = frames;
    return true;
}

bool ReadInstruments(Reader& r, Song* song, std::int32_t fileSize) {
    if (song->instrumentCount == 0) return true;
    song->instruments =
        static_cast<Instrument*>(std::calloc(static_cast<std::size_t>(song->instrumentCount), sizeof(Instrument)));
    if (!song->instruments) return false;
    for (int i = 0; i < song->instrumentCount; ++i) {
        Instrument* ins = &song->instruments[i];
        const std::int32_t start = r.tell();
        const std::uint32_t headerSize = r.u32();
        r.skip(23);
        const std::uint16_t sampleCount = r.u16();
        if (r.shortRead || sampleCount > kInstrumentSlots) return false;
        ins->sampleCount = sampleCount;
        if (sampleCount == 0) {
            for (Sample*& slot : ins->samples) slot = &emptySample;
            if (!r.seekTo(start + std::int64_t{headerSize})) return false;
            continue;
        }
        ReadInstrumentHeader(r, ins);
        if (r.shortRead || !r.seekTo(start + std::int64_t{headerSize})) return false;
        for (int s = 0; s < sampleCount; ++s) {
            ins->samples[s] = static_cast<Sample*>(std::calloc(1, sizeof(Sample)));
            if (!ins->samples[s] || !ReadSampleHeader(r, ins->samples[s])) return false;
        }
        for (int s = sampleCount; s < kInstrumentSlots; ++s) ins->samples[s] = &emptySample;
        for (int s = 0; s < sampleCount; ++s) {
            if (!ReadSampleData(r, ins->samples[s], fileSize, song, i, s)) return false;
        }
    }
    return true;
}

bool LoadModule(Song* song, FileStream* stream) {
    Reader r{stream, false};
    const std::int32_t fileSize = FileSize(r);
    std::int32_t patternCount = 0;
    std::int32_t fileChannels = 0;
    if (!ReadHeader(r, song, &patternCount, &fileChannels)) return false;
    return ReadPatterns(r, song, patternCount, fileChannels) && ReadInstruments(r, song, fileSize);
}

}  // namespace

Song* SongLoad(const char* name, SampleProvider sampleProvider) {
    FileStream* stream = FileStreamOpen(name);
    if (!stream) return nullptr;
    auto* song = static_cast<Song*>(std::calloc(1, sizeof(Song)));
    if (!song) {
        FileStreamClose(stream);
        return nullptr;
    }
    song->sampleProvider = sampleProvider;
    const bool loaded = LoadModule(song, stream);
    FileStreamClose(stream);
    if (!loaded) {
        SongFree(song);
        return nullptr;
    }
    return song;
}

int SongFree(Song* song) {
    if (!song) return 0;
    SongStop(song);
    if (song->instruments) {
        for (int i = 0; i < song->instrumentCount; ++i) {
            Instrument* ins = &song->instruments[i];
            for (int s = 0; s < ins->sampleCount && s < kInstrumentSlots; ++s) {
                Sample* sample = ins->samples[s];
                if (!sample || sample == &emptySample) continue;
                std::free(sample->data);
                std::free(sample);
            }
        }
        std::free(song->instruments);
    }
    if (song->patterns) {
        for (int p = 0; p < song->patternSlots; ++p) std::free(song->patterns[p].cells);
        std::free(song->patterns);
    }
    std::free(song);
    return 1;
}
