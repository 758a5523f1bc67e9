// Turns an extended-module file, read through the installed file operations,
// into a Song. A module is untrusted: every count and index it holds is either
// brought within the records it indexes or makes the load fail, so nothing
// later reads or writes outside a record or buffer. Without an installed file
// table, or when an allocation fails, SongLoad answers none as well.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "music/format/file_stream.h"
#include "music/format/load_report.h"
#include "music/format/song_file.h"
#include "music/player.h"
#include "music/replay/channel.h"
#include "music/replay/replayer.h"
#include "music/song.h"

namespace {

constexpr int kOrderTableSize = 256;
// Cells name instruments 1..128; instruments past that could never play.
constexpr int kMaxInstruments = 128;
constexpr int kInstrumentSlots = kInstrumentSampleSlots;
constexpr int kMissingPatternRows = 64;
// Trackers write patterns of up to 1024 rows; more only comes from a broken file.
constexpr int kMaxPatternRows = 1024;
// Every pattern's cells are allocated up front, and a pattern without data
// claims them with nine bytes of file: the sum is held to what the largest
// real modules need, several times over.
constexpr std::int64_t kPatternMemoryLimit = std::int64_t{32} << 20;
// Files older than this keep the instruments and sample headers before the
// patterns and all sample data after them; 0x0102 also stores rows - 1 in one byte.
constexpr std::uint16_t kCurrentLayout = 0x0104;
constexpr std::uint16_t kOneByteRows = 0x0102;
// The instrument header as far as the loader reads it.
constexpr int kInstrumentHeaderBytes = 243;
constexpr int kSampleHeaderBytes = 40;
// The sample header's reserved byte marking 4-bit delta-packed data.
constexpr std::uint8_t kPacked4Bit = 0xAD;
constexpr int kPackedDeltaTable = 16;
// A sample the file ends in is padded with silence up to this size.
constexpr std::uint64_t kLongestPaddedSampleBytes = std::uint64_t{32} << 20;

// Reads through the stream and remembers whether the file ran out.
struct Reader {
    FileStream* stream;
    std::int32_t size;
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
    std::int32_t tell() { return FileStreamTell(stream); }
    bool atEnd() { return tell() >= size; }
    // False, leaving the position alone, for an offset beyond the file's end.
    bool seekTo(std::int64_t position) {
        if (position < 0 || position > size) return false;
        FileStreamSeek(stream, static_cast<std::int32_t>(position), 0);
        return true;
    }
};

std::int32_t FileSize(FileStream* stream) {
    const std::int32_t here = FileStreamTell(stream);
    FileStreamSeek(stream, 0, 2);
    const std::int32_t size = FileStreamTell(stream);
    FileStreamSeek(stream, here, 0);
    return size;
}

std::uint16_t Le16(const std::uint8_t* b) {
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* b) {
    return std::uint32_t{Le16(b)} | (std::uint32_t{Le16(b + 2)} << 16);
}

std::string Counted(const char* what, std::int32_t index, std::int32_t count) {
    return std::string(what) + " " + std::to_string(index + 1) + " of " + std::to_string(count);
}

bool Refuse(const std::string& reason) {
    SetLoadError(reason);
    return false;
}

// What the header says beyond the Song's own fields.
struct ModuleLayout {
    char tracker[20];
    std::uint16_t version;
    std::int32_t patternCount;
    std::int32_t fileChannels;
    std::int32_t fileInstruments;
};

// The version after "OpenMPT ", as up to four dot-separated hex fields
// packed high to low; 0 when the name holds none.
std::uint32_t OpenTrackerVersion(const char (&tracker)[20]) {
    std::uint32_t version = 0;
    int fields = 0;
    int at = 8;
    while (fields < 4 && at < 20) {
        std::uint32_t field = 0;
        int digits = 0;
        for (; at < 20 && digits < 2; ++at, ++digits) {
            const char c = tracker[at];
            int value = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (value < 0) break;
            field = field * 16 + static_cast<std::uint32_t>(value);
        }
        if (digits == 0) break;
        version |= field << (24 - 8 * fields);
        ++fields;
        if (at >= 20 || tracker[at] != '.') break;
        ++at;
    }
    return version;
}

bool ReadHeader(Reader& r, Song* song, ModuleLayout* layout) {
    static const char kMagic[17] = {'E', 'x', 't', 'e', 'n', 'd', 'e', 'd', ' ', 'M',
                                    'o', 'd', 'u', 'l', 'e', ':', ' '};
    char magic[17] = {};
    r.bytes(magic, 17);
    if (r.shortRead || std::memcmp(magic, kMagic, 17) != 0) {
        return Refuse("not an extended module: it does not begin with \"Extended Module: \"");
    }
    r.bytes(song->title, 20);
    FileStreamSeek(r.stream, 38, 0);
    r.bytes(layout->tracker, 20);

    song->tickHandler = ReplayerTick;
    song->initialGlobalVolume = 64;
    FileStreamSeek(r.stream, 58, 0);
    layout->version = r.u16();
    const std::uint32_t headerSize = r.u32();
    const std::uint16_t songLength = r.u16();
    const std::uint16_t restart = r.u16();
    const std::uint16_t channels = r.u16();
    layout->fileChannels = channels;
    layout->patternCount = r.u16();
    layout->fileInstruments = r.u16();
    song->flags = r.u16();
    song->defaultSpeed = static_cast<std::int16_t>(r.u16());
    song->defaultBpm = static_cast<std::int16_t>(r.u16());
    r.bytes(song->orderTable, kOrderTableSize);
    if (r.shortRead) return Refuse("the file ends inside the module header");

    // No channels leaves nothing to play. Channels past the channel table's 32
    // are dropped while unpacking, so wider modules still play their first 32.
    if (channels == 0) return Refuse("the module header declares no channels");
    song->channelCount = static_cast<std::int16_t>(channels > kChannelCount ? kChannelCount : channels);
    // The order table has 256 entries; an empty song still plays its first
    // entry, so it must name a pattern that exists.
    std::int32_t length = songLength > kOrderTableSize ? kOrderTableSize : songLength;
    if (length < 1) length = 1;
    song->songLength = static_cast<std::int16_t>(length);
    // A restart position outside the order list would index past it.
    song->restartPosition = static_cast<std::int16_t>(restart < length ? restart : 0);
    const std::int32_t instruments = layout->fileInstruments;
    song->instrumentCount = static_cast<std::int16_t>(instruments > kMaxInstruments ? kMaxInstruments : instruments);
    if (!r.seekTo(60 + std::int64_t{headerSize})) {
        return Refuse("the module header's size (" + std::to_string(headerSize) + " bytes) reaches past the end of the file");
    }
    return true;
}

// Takes cells from one pattern's packed bytes; past their end every byte reads 0.
struct PackedCells {
    const std::uint8_t* data;
    std::int32_t size;
    std::int32_t at;

    std::uint8_t u8() { return at < size ? data[at++] : 0; }
};

// Unpacks one cell into cell, or past it when the cell's channel is dropped.
void UnpackCell(PackedCells& packed, PatternCell* cell) {
    PatternCell c{};
    const std::uint8_t b = packed.u8();
    if (b & 0x80) {
        if (b & 1) c.note = packed.u8();
        if (b & 2) c.instrument = packed.u8();
        if (b & 4) c.volume = packed.u8();
        if (b & 8) c.effect = packed.u8();
        if (b & 16) c.parameter = packed.u8();
    } else {
        c.note = b;
        c.instrument = packed.u8();
        c.volume = packed.u8();
        c.effect = packed.u8();
        c.parameter = packed.u8();
    }
    if (c.note == 97) c.note = 255;
    if (c.instrument > 128) c.instrument = 0;
    if (cell) *cell = c;
}

// Allocates a pattern's cells within what all patterns together may claim.
bool AllocateCells(Pattern* pattern, std::int32_t rows, std::int32_t channels, std::int64_t* claimed) {
    const std::int64_t bytes = std::int64_t{rows} * channels * std::int64_t{sizeof(PatternCell)};
    *claimed += bytes;
    if (*claimed > kPatternMemoryLimit) {
        return Refuse("the pattern headers claim more than " + std::to_string(kPatternMemoryLimit >> 20) +
                      " MiB of pattern cells");
    }
    pattern->rows = rows;
    pattern->cells = static_cast<PatternCell*>(std::calloc(static_cast<std::size_t>(bytes), 1));
    if (!pattern->cells) return Refuse("out of memory for the patterns");
    return true;
}

// Each pattern is taken from its header length and packed size as stored, so
// one whose cells take more or fewer bytes than it declares leaves the next in
// place. A file that ends inside the patterns keeps those read; the rest are
// empty and the file is reported cut short.
bool ReadPatterns(Reader& r, Song* song, const ModuleLayout& layout, bool* cut) {
    const std::int32_t patternCount = layout.patternCount;
    std::int32_t highest = -1;
    for (int i = 0; i < song->songLength; ++i) {
        if (song->orderTable[i] > highest) highest = song->orderTable[i];
    }
    song->patternsUsed = highest + 1;
    song->patternSlots = patternCount > song->patternsUsed ? patternCount : song->patternsUsed;
    song->patterns = static_cast<Pattern*>(std::calloc(static_cast<std::size_t>(song->patternSlots), sizeof(Pattern)));
    if (!song->patterns) return Refuse("out of memory for the patterns");

    const std::int32_t channels = song->channelCount;
    std::int64_t claimed = 0;
    for (std::int32_t p = 0; p < patternCount && !*cut; ++p) {
        const std::int64_t start = r.tell();
        const std::uint32_t headerLength = r.u32();
        r.u8();
        std::int32_t rows = layout.version == kOneByteRows ? r.u8() + 1 : r.u16();
        const std::uint16_t packedSize = r.u16();
        if (r.shortRead) {
            *cut = true;
            song->patternSlots = p > song->patternsUsed ? p : song->patternsUsed;
            SetLoadWarning("the file ends inside " + Counted("pattern", p, patternCount) +
                           "; it and the patterns after it are empty");
            break;
        }
        if (rows > kMaxPatternRows) {
            return Refuse(Counted("pattern", p, patternCount) + " has " + std::to_string(rows) +
                          " rows, more than " + std::to_string(kMaxPatternRows));
        }
        // A pattern without rows still gets one empty row, so that row 0 of
        // any order exists.
        if (rows == 0) rows = 1;
        Pattern* pattern = &song->patterns[p];
        if (!AllocateCells(pattern, rows, channels, &claimed)) return false;
        const std::int64_t dataStart = start + headerLength;
        if (packedSize == 0) {
            if (!r.seekTo(dataStart)) *cut = true;
        } else {
            auto* packed = static_cast<std::uint8_t*>(std::malloc(packedSize));
            if (!packed) return Refuse("out of memory for the patterns");
            std::int32_t got = 0;
            if (r.seekTo(dataStart)) got = FileStreamRead(packed, packedSize, r.stream);
            if (got < packedSize) *cut = true;
            PackedCells cells{packed, got, 0};
            for (std::int32_t row = 0; row < rows; ++row) {
                for (std::int32_t c = 0; c < layout.fileChannels; ++c) {
                    UnpackCell(cells, c < channels ? &pattern->cells[row * channels + c] : nullptr);
                }
            }
            std::free(packed);
        }
        if (*cut) {
            song->patternSlots = p + 1 > song->patternsUsed ? p + 1 : song->patternsUsed;
            SetLoadWarning("the file ends inside " + Counted("pattern", p, patternCount) +
                           "; it keeps what was there and the patterns after it are empty");
        }
    }
    // Patterns the file lacks, by its own count or because it ends early, get
    // 64 empty rows where the order table names them; the others cannot be
    // played and are dropped.
    for (std::int32_t q = 0; q < song->patternSlots; ++q) {
        if (song->patterns[q].cells) continue;
        if (!AllocateCells(&song->patterns[q], kMissingPatternRows, channels, &claimed)) return false;
    }
    return true;
}

// Envelope ticks that do not rise are read as the format's own tracker reads
// them, in the same 256-tick page as the point before or the next one; values
// keep their low byte and stop at full volume. Interpolating between such
// points never leaves 0..64 and always reaches the next point.
void SanitizeEnvelope(EnvelopePoint* points, std::uint8_t* count) {
    for (int i = 0; i < *count; ++i) {
        std::uint32_t y = points[i].y & 0xFFu;
        points[i].y = static_cast<std::uint16_t>(y > 64 ? 64 : y);
        if (i == 0) continue;
        const std::uint32_t previous = points[i - 1].x;
        std::uint32_t x = points[i].x;
        if (x < previous) {
            x = (previous & 0xFF00u) | (x & 0xFFu);
            if (x < previous) x += 0x100;
        }
        if (x > 0xFFFF) {
            // No later tick fits: the envelope ends at the point before.
            *count = static_cast<std::uint8_t>(i);
            return;
        }
        points[i].x = static_cast<std::uint16_t>(x);
    }
}

void ReadEnvelope(const std::uint8_t* b, EnvelopePoint* points) {
    for (int i = 0; i < kEnvelopeFilePoints; ++i) {
        points[i].x = Le16(b + 4 * i);
        points[i].y = Le16(b + 4 * i + 2);
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

// header: the instrument header from its start, zero past its stored size.
void ParseInstrumentHeader(const std::uint8_t* header, Instrument* ins) {
    std::memcpy(ins->noteSample, header + 33, 96);
    ReadEnvelope(header + 129, ins->volumeEnvelope);
    ReadEnvelope(header + 177, ins->panningEnvelope);
    const std::uint8_t* f = header + 225;
    ins->volumePoints = f[0];
    ins->panningPoints = f[1];
    ins->volumeSustain = f[2];
    ins->volumeLoopStart = f[3];
    ins->volumeLoopEnd = f[4];
    ins->panningSustain = f[5];
    ins->panningLoopStart = f[6];
    ins->panningLoopEnd = f[7];
    ins->volumeType = f[8];
    ins->panningType = f[9];
    ins->vibratoType = f[10];
    ins->vibratoSweep = f[11];
    ins->vibratoDepth = f[12];
    ins->vibratoRate = f[13];
    ins->fadeout = static_cast<std::uint16_t>(Le16(f + 14) * 2);
    if (ins->volumePoints > kEnvelopeFilePoints) ins->volumePoints = kEnvelopeFilePoints;
    if (ins->panningPoints > kEnvelopeFilePoints) ins->panningPoints = kEnvelopeFilePoints;
    SanitizeEnvelope(ins->volumeEnvelope, &ins->volumePoints);
    SanitizeEnvelope(ins->panningEnvelope, &ins->panningPoints);
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

// How one sample's data lies in the file, for samples kept and skipped alike.
struct SampleData {
    Sample* sample;  // none for the samples past the ones an instrument holds
    std::uint32_t fileBytes;
    bool packed4Bit;
};

SampleData ParseSampleHeader(const std::uint8_t* b, Sample* s) {
    const std::uint32_t byteLength = Le32(b);
    const std::uint8_t type = b[14];
    // The packed form holds 8-bit data only.
    const bool packed = b[17] == kPacked4Bit && (type & 16) == 0;
    SampleData data{s, packed ? kPackedDeltaTable + (byteLength / 2 + byteLength % 2) : byteLength, packed};
    if (!s) return data;
    s->length = byteLength;
    s->loopStart = Le32(b + 4);
    s->loopLength = Le32(b + 8);
    s->volume = b[12];
    s->finetune = static_cast<std::int8_t>(b[13]);
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
    s->panning = b[15];
    s->relativeNote = static_cast<std::int8_t>(b[16]);
    LimitLoop(s);
    return data;
}

// 4-bit packed data: a table of 16 signed steps, then two steps per byte, the
// low nibble first, summed into 8-bit values: out[0..length) as far as the
// bytes reach.
void Unpack4Bit(const std::uint8_t* packed, std::int32_t got, std::uint32_t length, std::uint8_t* out) {
    if (got <= kPackedDeltaTable) return;
    const auto* table = reinterpret_cast<const std::int8_t*>(packed);
    const std::uint32_t available = static_cast<std::uint32_t>(got - kPackedDeltaTable) * 2;
    const std::uint32_t count = length < available ? length : available;
    std::uint8_t value = 0;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint8_t b = packed[kPackedDeltaTable + k / 2];
        value = static_cast<std::uint8_t>(value + table[k % 2 ? b >> 4 : b & 15]);
        out[k] = value;
    }
}

// Sample data cut short by the end of the file keeps the frames that are
// there: the sample is shortened to them. Samples past the ones kept are skipped.
bool ReadSampleData(Reader& r, const SampleData& d, const Song* song, int instrument, int slot) {
    Sample* s = d.sample;
    const std::int64_t at = r.tell();
    const std::int64_t remaining = at < r.size ? r.size - at : 0;
    const bool cut = d.fileBytes > remaining;
    const std::int32_t fileBytes = static_cast<std::int32_t>(cut ? remaining : d.fileBytes);
    if (cut) {
        SetLoadWarning("the file ends inside the data of sample " + std::to_string(slot + 1) + " of instrument " +
                       std::to_string(instrument + 1) + "; what is missing is silent");
    }
    if (!s) return r.seekTo(at + fileBytes);
    const std::uint32_t frameBytes = s->bits / 8;
    std::uint32_t present = std::uint32_t(fileBytes) / frameBytes;
    if (d.packed4Bit) present = fileBytes > kPackedDeltaTable ? (fileBytes - kPackedDeltaTable) * 2u : 0u;
    if (present > s->length) present = s->length;
    // The sample the file ends in keeps its length and loop, the frames it
    // lacks silent, as the format's tracker plays it; one the file holds
    // nothing of is empty, as is one too long to be worth padding.
    if (present < s->length && (present == 0 || std::uint64_t{s->length} * 2 > kLongestPaddedSampleBytes)) {
        s->length = present;
        LimitLoop(s);
    }
    if (s->length == 0) return r.seekTo(at + fileBytes);
    auto* frames = static_cast<std::int16_t*>(std::calloc(std::size_t{s->length} + 8, sizeof(std::int16_t)));
    if (!frames) return Refuse("out of memory for the samples");
    auto* raw = reinterpret_cast<std::uint8_t*>(frames);
    const std::int32_t byteCount = static_cast<std::int32_t>(s->length * frameBytes);
    if (song->sampleProvider) {
        song->sampleProvider(raw, byteCount, s->bits, instrument, slot);
    } else if (d.packed4Bit) {
        auto* packed = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(fileBytes)));
        if (!packed) {
            std::free(frames);
            return Refuse("out of memory for the samples");
        }
        const std::int32_t got = FileStreamRead(packed, fileBytes, r.stream);
        Unpack4Bit(packed, got, s->length, raw);
        std::free(packed);
    } else {
        FileStreamRead(raw, static_cast<std::int32_t>(present * frameBytes), r.stream);
    }
    r.seekTo(at + fileBytes);
    if (song->sampleProvider) present = s->length;
    // Widened in place from the last frame back, so no byte is overwritten
    // before it has been read.
    for (std::uint32_t k = present; k-- > 0;) {
        if (s->bits == 8) {
            frames[k] = static_cast<std::int16_t>(static_cast<std::int8_t>(raw[k]) * 256);
        } else {
            frames[k] = static_cast<std::int16_t>(raw[2 * k] | (raw[2 * k + 1] << 8));
        }
    }
    s->bits = 16;
    // Packed data decodes to final values; a sample provider's are final too.
    if (!song->sampleProvider && !d.packed4Bit) {
        std::uint16_t sum = 0;
        for (std::uint32_t k = 0; k < present; ++k) {
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

using InstrumentData = std::vector<SampleData>;

// One instrument's header and sample headers. Instruments past the 128 kept
// (ins none) are read only to be passed over. False with cut set when the
// file ends inside them, the instrument keeping the samples read whole.
bool ReadInstrumentHeaders(Reader& r, Instrument* ins, InstrumentData* data, bool* cut) {
    const std::int64_t start = r.tell();
    std::uint8_t header[kInstrumentHeaderBytes] = {};
    std::uint8_t size[4] = {};
    r.bytes(size, 4);
    const std::uint32_t headerSize = Le32(size);
    std::memcpy(header, size, 4);
    const std::uint32_t fields = headerSize < kInstrumentHeaderBytes ? headerSize : kInstrumentHeaderBytes;
    // The sample count lies within the first 29 bytes whatever size is stored.
    r.bytes(header + 4, static_cast<std::int32_t>((fields > 29 ? fields : 29) - 4));
    const std::uint16_t sampleCount = Le16(header + 27);
    if (r.shortRead && (r.tell() < start + 29 || sampleCount > 0)) {
        *cut = true;
        return false;
    }
    if (sampleCount == 0) {
        // Nothing is missing from an empty instrument cut short.
        if (!r.seekTo(start + std::int64_t{headerSize})) r.seekTo(r.size);
        return true;
    }
    if (ins) {
        ParseInstrumentHeader(header, ins);
        ins->fileSampleCount = sampleCount;
    }
    if (!r.seekTo(start + std::int64_t{headerSize})) {
        *cut = true;
        return false;
    }
    for (std::int32_t s = 0; s < sampleCount; ++s) {
        std::uint8_t b[kSampleHeaderBytes] = {};
        r.bytes(b, kSampleHeaderBytes);
        if (r.shortRead) {
            *cut = true;
            return false;
        }
        Sample* sample = nullptr;
        if (ins && s < kInstrumentSlots) {
            sample = static_cast<Sample*>(std::calloc(1, sizeof(Sample)));
            if (!sample) return Refuse("out of memory for the samples");
            ins->samples[s] = sample;
            ins->sampleCount = s + 1;
        }
        data->push_back(ParseSampleHeader(b, sample));
    }
    return true;
}

bool ReadInstrumentData(Reader& r, const InstrumentData& data, const Song* song, int instrument) {
    for (std::size_t s = 0; s < data.size(); ++s) {
        if (!ReadSampleData(r, data[s], song, instrument, static_cast<int>(s))) return false;
    }
    return true;
}

// Reads the instruments; with withData, each one's sample data follows its
// headers. An instrument cut short keeps the samples whose headers are whole.
// A file that ends where an instrument would begin leaves the rest empty, as
// tools write files without their trailing empty instruments.
bool ReadInstruments(Reader& r, Song* song, const ModuleLayout& layout, bool withData,
                     std::vector<InstrumentData>* all, bool* cut) {
    if (song->instrumentCount > 0) {
        song->instruments = static_cast<Instrument*>(
            std::calloc(static_cast<std::size_t>(song->instrumentCount), sizeof(Instrument)));
        if (!song->instruments) return Refuse("out of memory for the instruments");
        for (int i = 0; i < song->instrumentCount; ++i) {
            for (Sample*& slot : song->instruments[i].samples) slot = &emptySample;
        }
    }
    // Before the current layout the patterns still follow the instruments
    // past the 128 kept.
    const std::int32_t count = withData ? song->instrumentCount : layout.fileInstruments;
    for (std::int32_t i = 0; i < count && !*cut; ++i) {
        if (r.atEnd()) {
            if (!withData) {
                *cut = true;
                SetLoadWarning("the file ends after " + std::to_string(i) + " of its " + std::to_string(count) +
                               " instruments and before its patterns; they are empty");
            }
            return true;
        }
        Instrument* ins = i < song->instrumentCount ? &song->instruments[i] : nullptr;
        all->emplace_back();
        if (!ReadInstrumentHeaders(r, ins, &all->back(), cut)) {
            if (!*cut) return false;
            SetLoadWarning("the file ends inside " + Counted("instrument", i, count) +
                           "; it keeps its whole samples and the instruments after it are empty");
            return true;
        }
        if (withData && !ReadInstrumentData(r, all->back(), song, i)) return false;
    }
    return true;
}

// Whose tracker saved the file, as the reference tells from the header and
// what the file holds. The format's tracker pads names with blanks and writes
// every instrument it declares; its older versions, which saved under the
// same name from version 0x0104 on, padded the module's name with zeros and
// never packed samples to 4 bits.
SavedBy SavedByOf(const Song* song, const ModuleLayout& layout, const std::vector<InstrumentData>& instruments) {
    const char(&tracker)[20] = layout.tracker;
    auto startsWith = [&tracker](const char* prefix) {
        return std::memcmp(tracker, prefix, std::strlen(prefix)) == 0;
    };
    if (startsWith("FastTracker v2.00   ")) {
        if (layout.version < kCurrentLayout) return SavedBy::PannedAsFormatTracker;
        const std::size_t declared = static_cast<std::size_t>(std::min<std::int32_t>(layout.fileInstruments, kMaxInstruments));
        if (instruments.size() < declared) return SavedBy::OtherTracker;
        if (std::memchr(song->title, 0, 20) == nullptr) return SavedBy::FormatTracker;
        for (const InstrumentData& samples : instruments) {
            for (const SampleData& sample : samples) {
                if (sample.packed4Bit) return SavedBy::OtherTracker;
            }
        }
        return SavedBy::OlderFormatTracker;
    }
    if (startsWith("FastTracker v 2.00  ")) return SavedBy::OlderFormatTracker;
    if (startsWith("MilkyTracker") || startsWith("Fasttracker II clone")) return SavedBy::PannedAsFormatTracker;
    // Its versions from 1.22.07.19 on pan as the format's tracker does.
    if (startsWith("OpenMPT ") && OpenTrackerVersion(tracker) >= 0x01220719u) return SavedBy::PannedAsFormatTracker;
    return SavedBy::OtherTracker;
}

bool LoadModule(Song* song, FileStream* stream) {
    Reader r{stream, FileSize(stream), false};
    ModuleLayout layout{};
    if (!ReadHeader(r, song, &layout)) return false;
    bool cut = false;
    std::vector<InstrumentData> instruments;
    if (layout.version >= kCurrentLayout) {
        if (!ReadPatterns(r, song, layout, &cut) || !ReadInstruments(r, song, layout, true, &instruments, &cut)) {
            return false;
        }
    } else {
        if (!ReadInstruments(r, song, layout, false, &instruments, &cut)) return false;
        if (!ReadPatterns(r, song, layout, &cut)) return false;
        // All sample data follows the patterns, instrument after instrument.
        for (std::size_t i = 0; i < instruments.size() && i < std::size_t(song->instrumentCount); ++i) {
            if (!ReadInstrumentData(r, instruments[i], song, static_cast<int>(i))) return false;
        }
    }
    song->savedBy = SavedByOf(song, layout, instruments);
    return true;
}

}  // namespace

Song* SongLoad(const char* name, SampleProvider sampleProvider) {
    ClearLoadReport();
    FileStream* stream = FileStreamOpen(name);
    if (!stream) {
        SetLoadError("the module could not be opened");
        return nullptr;
    }
    auto* song = static_cast<Song*>(std::calloc(1, sizeof(Song)));
    if (!song) {
        FileStreamClose(stream);
        SetLoadError("out of memory for the song");
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
