#include "tools/xmwriter/xm_writer.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace xm {

namespace {

class Output {
public:
    void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void text(const std::string& s, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
    }
    void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    std::size_t size() const { return bytes.size(); }
    void patch16(std::size_t at, unsigned v) {
        bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    std::vector<std::uint8_t> bytes;
};

void packCell(Output& out, const Cell& c) {
    const bool full = c.note && c.instrument && c.volume && c.effect && c.parameter;
    if (full && c.note < 0x80) {
        out.u8(c.note);
        out.u8(c.instrument);
        out.u8(c.volume);
        out.u8(c.effect);
        out.u8(c.parameter);
        return;
    }
    unsigned mask = 0x80;
    if (c.note) mask |= 1;
    if (c.instrument) mask |= 2;
    if (c.volume) mask |= 4;
    if (c.effect) mask |= 8;
    if (c.parameter) mask |= 16;
    out.u8(mask);
    if (c.note) out.u8(c.note);
    if (c.instrument) out.u8(c.instrument);
    if (c.volume) out.u8(c.volume);
    if (c.effect) out.u8(c.effect);
    if (c.parameter) out.u8(c.parameter);
}

void writePattern(Output& out, const Pattern& p, int channels, std::uint16_t version) {
    Output data;
    data.bytes = p.useRawPacked ? p.rawPacked : PackCells(p, channels);
    const bool oneByteRows = version == 0x0102;
    const std::size_t start = out.size();
    out.u32(p.headerLength >= 0 ? static_cast<std::uint32_t>(p.headerLength) : oneByteRows ? 8u : 9u);
    out.u8(0);
    if (oneByteRows) {
        out.u8(static_cast<unsigned>(p.rows - 1));
    } else {
        out.u16(static_cast<unsigned>(p.rows));
    }
    out.u16(p.declaredPackedSize >= 0 ? static_cast<unsigned>(p.declaredPackedSize)
                                      : static_cast<unsigned>(data.size()));
    // A header declared longer than its fields is padded; the data follows it.
    if (p.headerLength > 0 && out.size() < start + static_cast<std::size_t>(p.headerLength)) {
        out.zeros(start + static_cast<std::size_t>(p.headerLength) - out.size());
    }
    out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
}

void writeEnvelope(Output& out, const Envelope& e) {
    for (std::size_t i = 0; i < 12; ++i) {
        out.u16(i < e.points.size() ? e.points[i][0] : 0);
        out.u16(i < e.points.size() ? e.points[i][1] : 0);
    }
}

unsigned pointCount(const Envelope& e) {
    return e.declaredPoints >= 0 ? static_cast<unsigned>(e.declaredPoints) : static_cast<unsigned>(e.points.size());
}

// The delta table of 4-bit packed samples.
constexpr std::int8_t kPackedDeltas[16] = {0, 1, 2, 4, 8, 16, 32, 64, -1, -2, -4, -8, -16, -32, -64, -128};

void writeSampleHeader(Output& out, const Sample& s) {
    const std::uint32_t unit = s.sixteenBit ? 2 : 1;
    const std::uint32_t extra = s.sixteenBit && s.oddByteLength ? 1 : 0;
    out.u32(static_cast<std::uint32_t>(s.frames.size()) * unit + extra);
    out.u32(s.loopStart * unit);
    out.u32(s.loopLength * unit);
    out.u8(s.volume);
    out.u8(static_cast<std::uint8_t>(s.finetune));
    out.u8(static_cast<unsigned>(s.loop) | (s.sixteenBit ? 0x10u : 0u));
    out.u8(s.panning);
    out.u8(static_cast<std::uint8_t>(s.relativeNote));
    out.u8(s.packed4Bit ? 0xAD : 0);
    out.text(s.name, 22);
}

// Each frame takes the table step that lands nearest to it; two per byte,
// the low nibble first.
void writePacked4Bit(Output& out, const Sample& s) {
    for (std::int8_t d : kPackedDeltas) out.u8(static_cast<std::uint8_t>(d));
    int value = 0;
    unsigned pending = 0;
    for (std::size_t k = 0; k < s.frames.size(); ++k) {
        unsigned best = 0;
        for (unsigned i = 1; i < 16; ++i) {
            const int distance = std::abs(static_cast<std::int8_t>(value + kPackedDeltas[i]) - s.frames[k]);
            if (distance < std::abs(static_cast<std::int8_t>(value + kPackedDeltas[best]) - s.frames[k])) best = i;
        }
        value = static_cast<std::int8_t>(value + kPackedDeltas[best]);
        if (k % 2 == 0) {
            pending = best;
        } else {
            out.u8(pending | (best << 4));
        }
    }
    if (s.frames.size() % 2) out.u8(pending);
}

void writeSampleData(Output& out, const Sample& s) {
    if (s.packed4Bit) {
        writePacked4Bit(out, s);
        return;
    }
    int previous = 0;
    for (std::int16_t frame : s.frames) {
        const int delta = frame - previous;
        previous = frame;
        if (s.sixteenBit) {
            out.u16(static_cast<unsigned>(delta) & 0xFFFF);
        } else {
            out.u8(static_cast<unsigned>(delta) & 0xFF);
        }
    }
    if (s.sixteenBit && s.oddByteLength) out.u8(0);
}

// The instrument header and its sample headers; the sample data is written apart.
void writeInstrumentHeaders(Output& out, const Instrument& ins) {
    const unsigned declared =
        ins.declaredSamples >= 0 ? static_cast<unsigned>(ins.declaredSamples) : static_cast<unsigned>(ins.samples.size());
    const bool withHeader = !ins.samples.empty() || declared > 0;
    out.u32(withHeader ? 263 : 29);
    out.text(ins.name, 22);
    out.u8(0);
    out.u16(declared);
    if (!withHeader) return;
    out.u32(40);
    for (std::uint8_t n : ins.noteSample) out.u8(n);
    writeEnvelope(out, ins.volumeEnvelope);
    writeEnvelope(out, ins.panningEnvelope);
    out.u8(pointCount(ins.volumeEnvelope));
    out.u8(pointCount(ins.panningEnvelope));
    out.u8(ins.volumeEnvelope.sustain);
    out.u8(ins.volumeEnvelope.loopStart);
    out.u8(ins.volumeEnvelope.loopEnd);
    out.u8(ins.panningEnvelope.sustain);
    out.u8(ins.panningEnvelope.loopStart);
    out.u8(ins.panningEnvelope.loopEnd);
    out.u8(ins.volumeEnvelope.type);
    out.u8(ins.panningEnvelope.type);
    out.u8(ins.vibratoType);
    out.u8(ins.vibratoSweep);
    out.u8(ins.vibratoDepth);
    out.u8(ins.vibratoRate);
    out.u16(ins.fadeout);
    out.zeros(22);
    for (const Sample& s : ins.samples) writeSampleHeader(out, s);
}

void writeInstrumentData(Output& out, const Instrument& ins) {
    for (const Sample& s : ins.samples) writeSampleData(out, s);
}

}  // namespace

std::vector<std::uint8_t> PackCells(const Pattern& p, int channels) {
    Output data;
    const bool empty = std::all_of(p.cells.begin(), p.cells.end(), [](const Cell& c) {
        return !c.note && !c.instrument && !c.volume && !c.effect && !c.parameter;
    });
    if (!empty) {
        const std::size_t count = static_cast<std::size_t>(p.rows) * static_cast<std::size_t>(channels);
        for (std::size_t i = 0; i < count; ++i) packCell(data, i < p.cells.size() ? p.cells[i] : Cell{});
    }
    return data.bytes;
}

Cell& Pattern::at(int row, int channel, int channels) {
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(channels) +
                              static_cast<std::size_t>(channel);
    if (cells.size() <= index) cells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(channels));
    return cells[index];
}

Instrument InstrumentOf(std::vector<Sample> samples) {
    Instrument instrument;
    instrument.samples = std::move(samples);
    return instrument;
}

std::vector<std::uint8_t> Write(const Module& m) {
    Output out;
    out.text("Extended Module: ", 17);
    out.text(m.name, 20);
    out.u8(0x1A);
    out.text(m.tracker, 20);
    out.u16(m.version);
    out.u32(276);
    out.u16(m.declaredSongLength >= 0 ? static_cast<unsigned>(m.declaredSongLength)
                                      : static_cast<unsigned>(m.orders.size()));
    out.u16(m.restart);
    out.u16(static_cast<unsigned>(m.channels));
    out.u16(m.declaredPatterns >= 0 ? static_cast<unsigned>(m.declaredPatterns)
                                    : static_cast<unsigned>(m.patterns.size()));
    out.u16(m.declaredInstruments >= 0 ? static_cast<unsigned>(m.declaredInstruments)
                                       : static_cast<unsigned>(m.instruments.size()));
    out.u16(m.flags);
    out.u16(m.speed);
    out.u16(m.bpm);
    for (std::size_t i = 0; i < 256; ++i) out.u8(i < m.orders.size() ? m.orders[i] : 0);
    if (m.version >= 0x0104) {
        for (const Pattern& p : m.patterns) writePattern(out, p, m.channels, m.version);
        for (const Instrument& ins : m.instruments) {
            writeInstrumentHeaders(out, ins);
            writeInstrumentData(out, ins);
        }
        return out.bytes;
    }
    for (const Instrument& ins : m.instruments) writeInstrumentHeaders(out, ins);
    for (const Pattern& p : m.patterns) writePattern(out, p, m.channels, m.version);
    for (const Instrument& ins : m.instruments) writeInstrumentData(out, ins);
    return out.bytes;
}

}  // namespace xm
