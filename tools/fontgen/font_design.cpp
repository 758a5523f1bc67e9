#include "tools/fontgen/font_design.h"

#include <sstream>

#include "scene/glyph_table.h"

namespace fontgen {

namespace {

std::string Describe(unsigned char c) {
    if (c == ' ') return "space";
    return std::string("'") + static_cast<char>(c) + "'";
}

bool ValidRow(const std::string& row) {
    for (char c : row) {
        if (c != '#' && c != '.') return false;
    }
    return !row.empty();
}

}  // namespace

bool ParseDesign(const std::string& text, std::vector<GlyphDrawing>& drawings, std::string& error) {
    drawings.clear();
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    bool open = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            open = false;
            continue;
        }
        if (line[0] == '#' && !open) continue;  // a comment outside a drawing
        if (line.rfind("glyph ", 0) == 0) {
            std::string name = line.substr(6);
            GlyphDrawing drawing;
            if (name == "space") {
                drawing.character = ' ';
            } else if (name.size() == 1 && name[0] > ' ') {
                drawing.character = static_cast<unsigned char>(name[0]);
            } else {
                error = "line " + std::to_string(lineNumber) + ": bad glyph name \"" + name + "\"";
                return false;
            }
            for (const GlyphDrawing& other : drawings) {
                if (other.character == drawing.character) {
                    error = "line " + std::to_string(lineNumber) + ": " + Describe(drawing.character) +
                            " drawn twice";
                    return false;
                }
            }
            drawings.push_back(drawing);
            open = true;
            continue;
        }
        if (!open || !ValidRow(line)) {
            error = "line " + std::to_string(lineNumber) + ": expected a glyph row of '#' and '.'";
            return false;
        }
        GlyphDrawing& drawing = drawings.back();
        if (!drawing.rows.empty() && drawing.rows.front().size() != line.size()) {
            error = "line " + std::to_string(lineNumber) + ": rows of " + Describe(drawing.character) +
                    " differ in length";
            return false;
        }
        drawing.rows.push_back(line);
    }
    return true;
}

bool RasterizeAtlas(const std::vector<GlyphDrawing>& drawings, const Glyph* table, int glyphCount,
                    int width, int height, std::vector<std::uint8_t>& atlas, std::string& error) {
    atlas.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (const GlyphDrawing& drawing : drawings) {
        bool listed = false;
        for (int i = 0; i < glyphCount; ++i) listed = listed || (table[i].code & 0xFF) == drawing.character;
        if (!listed) {
            error = Describe(drawing.character) + " is drawn but not in the glyph table";
            return false;
        }
    }
    for (int i = 0; i < glyphCount; ++i) {
        const Glyph& glyph = table[i];
        const GlyphDrawing* drawing = nullptr;
        for (const GlyphDrawing& d : drawings) {
            if (d.character == (glyph.code & 0xFF)) drawing = &d;
        }
        unsigned char c = static_cast<unsigned char>(glyph.code & 0xFF);
        if (!drawing) {
            error = Describe(c) + " has no drawing";
            return false;
        }
        int rows = static_cast<int>(drawing->rows.size());
        int columns = rows ? static_cast<int>(drawing->rows.front().size()) : 0;
        int inkWidth = columns * kBlockPixels;
        int inkHeight = rows * kBlockPixels;
        if (inkWidth > glyph.width || inkHeight > glyph.height) {
            error = Describe(c) + " is drawn " + std::to_string(inkWidth) + " x " + std::to_string(inkHeight) +
                    " pixels but its rectangle is " + std::to_string(glyph.width) + " x " +
                    std::to_string(glyph.height);
            return false;
        }
        if (glyph.x + glyph.width > width || glyph.y + glyph.height > height) {
            error = Describe(c) + " has a rectangle outside the atlas";
            return false;
        }
        int left = glyph.x + (glyph.width - inkWidth) / 2;
        int top = glyph.y + glyph.height - inkHeight;
        for (int r = 0; r < rows; ++r) {
            for (int col = 0; col < columns; ++col) {
                if (drawing->rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(col)] != '#') continue;
                for (int py = 0; py < kBlockPixels; ++py) {
                    std::size_t base = static_cast<std::size_t>(top + r * kBlockPixels + py) *
                                       static_cast<std::size_t>(width);
                    for (int px = 0; px < kBlockPixels; ++px) {
                        atlas[base + static_cast<std::size_t>(left + col * kBlockPixels + px)] = 255;
                    }
                }
            }
        }
    }
    return true;
}

}  // namespace fontgen
