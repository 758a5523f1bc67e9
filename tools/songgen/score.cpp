#include "tools/songgen/score.h"

#include <map>
#include <sstream>

namespace songgen {

namespace {

using Track = std::vector<xm::Cell>;

struct Line {
    int number;
    bool continuation;  // starts with a blank
    std::vector<std::string> words;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        // A comment starts with a word that begins with #; the # of C#4 is a sharp.
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '#' && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) {
                raw.erase(i);
                break;
            }
        }
        Line line{number, !raw.empty() && (raw[0] == ' ' || raw[0] == '\t'), {}};
        std::istringstream words(raw);
        std::string w;
        while (words >> w) {
            if (w != "|") line.words.push_back(w);
        }
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ParseHexByte(const std::string& s, std::size_t at, std::uint8_t& out) {
    if (s.size() != at + 2) return false;
    const int hi = HexDigit(s[at]);
    const int lo = HexDigit(s[at + 1]);
    if (hi < 0 || lo < 0) return false;
    out = static_cast<std::uint8_t>(hi * 16 + lo);
    return true;
}

bool ParseInt(const std::string& s, int low, int high, int& out) {
    if (s.empty() || s.size() > 5) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    out = v;
    return true;
}

// C-4 is note 49; the file counts from C-0 = 1.
bool ParseNote(const std::string& s, std::uint8_t& note) {
    if (s == ".") {
        note = 0;
        return true;
    }
    if (s == "==") {
        note = 97;
        return true;
    }
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (s.size() != 3 || s[0] < 'A' || s[0] > 'G' || (s[1] != '-' && s[1] != '#') || s[2] < '0' || s[2] > '7') {
        return false;
    }
    const int value = (s[2] - '0') * 12 + kSemitone[s[0] - 'A'] + (s[1] == '#' ? 1 : 0) + 1;
    if (value < 1 || value > 96) return false;
    note = static_cast<std::uint8_t>(value);
    return true;
}

int EffectNumber(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    Parser(InstrumentLookup lookup, Score& score) : lookup_(lookup), score_(score) {}

    bool run(const std::string& text, std::string& error) {
        const std::vector<Line> lines = SplitLines(text);
        std::size_t i = 0;
        while (i < lines.size()) {
            const Line& head = lines[i];
            if (head.continuation) return fail(head.number, "indented line outside a track or pattern", error);
            std::size_t end = i + 1;
            while (end < lines.size() && lines[end].continuation) ++end;
            if (!directive(lines, i, end, error)) return false;
            i = end;
        }
        return finish(error);
    }

private:
    static bool fail(int line, const std::string& what, std::string& error) {
        error = line > 0 ? "line " + std::to_string(line) + ": " + what : what;
        return false;
    }

    bool setting(const Line& head, int low, int high, int& out, std::string& error) {
        if (head.words.size() != 2 || !ParseInt(head.words[1], low, high, out)) {
            return fail(head.number, head.words[0] + " wants one number from " + std::to_string(low) + " to " +
                                         std::to_string(high),
                        error);
        }
        return true;
    }

    bool directive(const std::vector<Line>& lines, std::size_t first, std::size_t end, std::string& error) {
        const Line& head = lines[first];
        const std::string& word = head.words[0];
        const bool hasBody = end > first + 1;
        if (word != "track" && word != "pattern" && hasBody) {
            return fail(lines[first + 1].number, "indented line outside a track or pattern", error);
        }
        if (word == "song") {
            if (head.words.size() < 2) return fail(head.number, "song wants a name", error);
            score_.name.clear();
            for (std::size_t k = 1; k < head.words.size(); ++k) score_.name += (k > 1 ? " " : "") + head.words[k];
            return true;
        }
        if (word == "channels") {
            if (!score_.patterns.empty()) return fail(head.number, "channels must come before the patterns", error);
            return setting(head, 1, 32, score_.channels, error);
        }
        if (word == "speed") return setting(head, 1, 31, score_.speed, error);
        if (word == "bpm") return setting(head, 32, 255, score_.bpm, error);
        if (word == "restart") {
            restartLine_ = head.number;
            return setting(head, 0, 255, score_.restart, error);
        }
        if (word == "track") return track(lines, first, end, error);
        if (word == "pattern") return pattern(lines, first, end, error);
        if (word == "order") {
            for (std::size_t k = 1; k < head.words.size(); ++k) {
                const auto found = patternIndex_.find(head.words[k]);
                if (found == patternIndex_.end()) return fail(head.number, "unknown pattern " + head.words[k], error);
                score_.orders.push_back(static_cast<std::uint8_t>(found->second));
            }
            return true;
        }
        return fail(head.number, "unknown directive " + word, error);
    }

    bool track(const std::vector<Line>& lines, std::size_t first, std::size_t end, std::string& error) {
        const Line& head = lines[first];
        if (head.words.size() >= 2 && tracks_.count(head.words[1])) {
            return fail(head.number, "track " + head.words[1] + " defined twice", error);
        }
        if (head.words.size() >= 3 && head.words[2] == "=") return echo(lines, first, end, error);
        if (head.words.size() < 2 || head.words.size() > 3) {
            return fail(head.number, "track wants a name and an optional instrument", error);
        }
        const std::string& name = head.words[1];
        int instrument = 0;
        if (head.words.size() == 3) {
            instrument = lookup_(head.words[2]);
            if (!instrument) return fail(head.number, "unknown instrument " + head.words[2], error);
        }
        // A stack of open groups: where each began in the track.
        Track cells;
        std::vector<std::size_t> groups;
        for (std::size_t l = first + 1; l < end; ++l) {
            for (const std::string& w : lines[l].words) {
                if (w == "(") {
                    groups.push_back(cells.size());
                    continue;
                }
                if (w[0] == ')') {
                    int times = 1;
                    if (w.size() > 1 && (w[1] != 'x' || !ParseInt(w.substr(2), 1, 64, times))) {
                        return fail(lines[l].number, "bad repeat " + w + " (write )x4)", error);
                    }
                    if (groups.empty()) return fail(lines[l].number, "')' without '('", error);
                    const Track body(cells.begin() + static_cast<std::ptrdiff_t>(groups.back()), cells.end());
                    groups.pop_back();
                    for (int t = 1; t < times; ++t) cells.insert(cells.end(), body.begin(), body.end());
                    if (cells.size() > kPatternRows * 64) return fail(lines[l].number, "track far too long", error);
                    continue;
                }
                xm::Cell cell;
                if (!parseCell(w, instrument, cell, lines[l].number, error)) return false;
                cells.push_back(cell);
            }
        }
        if (!groups.empty()) return fail(head.number, "track " + name + " leaves a '(' open", error);
        if (cells.size() != kPatternRows) {
            return fail(head.number, "track " + name + " has " + std::to_string(cells.size()) + " rows, not " +
                                         std::to_string(kPatternRows),
                        error);
        }
        tracks_[name] = std::move(cells);
        return true;
    }

    // track NAME = SOURCE >ROWS [vXX] [@name]: the source delayed by ROWS
    // rows, its notes at the given volume and on the given instrument; what is
    // pushed past the last row is dropped.
    bool echo(const std::vector<Line>& lines, std::size_t first, std::size_t end, std::string& error) {
        const Line& head = lines[first];
        if (end > first + 1) return fail(lines[first + 1].number, "an echo track has no rows of its own", error);
        const std::vector<std::string>& w = head.words;
        const std::string usage = "write track NAME = SOURCE >ROWS [vXX] [@instrument]";
        int delay = 0;
        if (w.size() < 5 || w.size() > 7 || w[4].size() < 2 || w[4][0] != '>' ||
            !ParseInt(w[4].substr(1), 1, kPatternRows - 1, delay)) {
            return fail(head.number, usage, error);
        }
        std::uint8_t volume = 0;
        int instrument = 0;
        for (std::size_t k = 5; k < w.size(); ++k) {
            if (w[k].size() == 3 && w[k][0] == 'v' && !volume) {
                if (!ParseHexByte(w[k], 1, volume) || volume < 0x10) return fail(head.number, usage, error);
            } else if (w[k].size() >= 2 && w[k][0] == '@' && !instrument) {
                instrument = lookup_(w[k].substr(1));
                if (!instrument) return fail(head.number, "unknown instrument " + w[k].substr(1), error);
            } else {
                return fail(head.number, usage, error);
            }
        }
        const auto source = tracks_.find(w[3]);
        if (source == tracks_.end()) return fail(head.number, "unknown track " + w[3], error);
        Track cells(kPatternRows, xm::Cell{});
        for (int row = 0; row + delay < kPatternRows; ++row) {
            xm::Cell c = source->second[static_cast<std::size_t>(row)];
            if (volume && c.note >= 1 && c.note <= 96) c.volume = volume;
            if (instrument && c.instrument) c.instrument = static_cast<std::uint8_t>(instrument);
            cells[static_cast<std::size_t>(row + delay)] = c;
        }
        tracks_[w[1]] = std::move(cells);
        return true;
    }

    bool parseCell(const std::string& word, int instrument, xm::Cell& cell, int line, std::string& error) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (true) {
            const std::size_t colon = word.find(':', start);
            parts.push_back(word.substr(start, colon - start));
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
        if (!ParseNote(parts[0], cell.note)) return fail(line, "bad note " + parts[0] + " in " + word, error);
        if (cell.note >= 1 && cell.note <= 96) cell.instrument = static_cast<std::uint8_t>(instrument);
        bool haveEffect = false;
        for (std::size_t k = 1; k < parts.size(); ++k) {
            const std::string& p = parts[k];
            if (p.size() >= 2 && p[0] == '@') {
                const int slot = p == "@-" ? 0 : lookup_(p.substr(1));
                if (p != "@-" && !slot) return fail(line, "unknown instrument " + p.substr(1), error);
                cell.instrument = static_cast<std::uint8_t>(slot);
            } else if (p.size() == 3 && p[0] == 'v') {
                if (!ParseHexByte(p, 1, cell.volume) || cell.volume < 0x10) {
                    return fail(line, "bad volume " + p + " in " + word, error);
                }
            } else if (p.size() == 3 && EffectNumber(p[0]) >= 0 && !haveEffect) {
                if (!ParseHexByte(p, 1, cell.parameter)) return fail(line, "bad effect " + p + " in " + word, error);
                cell.effect = static_cast<std::uint8_t>(EffectNumber(p[0]));
                haveEffect = true;
            } else {
                return fail(line, "bad field " + p + " in " + word, error);
            }
        }
        return true;
    }

    bool pattern(const std::vector<Line>& lines, std::size_t first, std::size_t end, std::string& error) {
        const Line& head = lines[first];
        if (head.words.size() != 2) return fail(head.number, "pattern wants a name", error);
        const std::string& name = head.words[1];
        if (patternIndex_.count(name)) return fail(head.number, "pattern " + name + " defined twice", error);
        xm::Pattern p;
        p.rows = kPatternRows;
        p.cells.assign(static_cast<std::size_t>(kPatternRows * score_.channels), xm::Cell{});
        for (std::size_t l = first + 1; l < end; ++l) {
            const Line& line = lines[l];
            int channel = 0;
            if (!ParseInt(line.words[0], 0, score_.channels - 1, channel)) {
                return fail(line.number, "bad channel " + line.words[0], error);
            }
            if (line.words.size() < 2 || line.words.size() % 2 != 0) {
                return fail(line.number, "write a channel, then tracks joined by +", error);
            }
            for (std::size_t k = 1; k < line.words.size(); k += 2) {
                if (k > 1 && line.words[k - 1] != "+") return fail(line.number, "tracks are joined by +", error);
                const auto found = tracks_.find(line.words[k]);
                if (found == tracks_.end()) return fail(line.number, "unknown track " + line.words[k], error);
                for (int row = 0; row < kPatternRows; ++row) {
                    const xm::Cell& from = found->second[static_cast<std::size_t>(row)];
                    if (IsEmpty(from)) continue;
                    xm::Cell& to = p.at(row, channel, score_.channels);
                    if (!IsEmpty(to)) {
                        return fail(line.number, "track " + line.words[k] + " collides on channel " +
                                                     std::to_string(channel) + " row " + std::to_string(row),
                                    error);
                    }
                    to = from;
                }
            }
        }
        patternIndex_[name] = static_cast<int>(score_.patterns.size());
        score_.patternNames.push_back(name);
        score_.patterns.push_back(std::move(p));
        if (score_.patterns.size() > 256) return fail(head.number, "more than 256 patterns", error);
        return true;
    }

    static bool IsEmpty(const xm::Cell& c) { return !c.note && !c.instrument && !c.volume && !c.effect && !c.parameter; }

    bool finish(std::string& error) {
        if (score_.orders.empty()) return fail(0, "the score has no order", error);
        if (score_.orders.size() > 256) return fail(0, "more than 256 orders", error);
        if (score_.restart >= static_cast<int>(score_.orders.size())) {
            return fail(restartLine_, "restart lies beyond the order", error);
        }
        return true;
    }

    InstrumentLookup lookup_;
    Score& score_;
    std::map<std::string, Track> tracks_;
    std::map<std::string, int> patternIndex_;
    int restartLine_ = 0;
};

}  // namespace

bool ParseScore(const std::string& text, InstrumentLookup lookup, Score& score, std::string& error) {
    score = Score{};
    return Parser(lookup, score).run(text, error);
}

}  // namespace songgen
