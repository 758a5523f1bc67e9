#pragma once
#include <cstdint>
#include <vector>

struct ImageStack;
struct Song;

// The scroller's text with its terminating NUL.
constexpr int kScrollerTextSize = 181;
extern const char ScrollerText[kScrollerTextSize];

// A burst draws the text at most this many times (burst is at most 1).
constexpr int kMaxBurstPasses = 21;

// One corner of a glyph quad: position (z always 0) and texture coordinates.
struct GlyphVertex {
    float x;
    float y;
    float z;
    float s;
    float t;
};

// Where the text sits in one frame: its turn in degrees about z, its
// translation along x, and the zoom of each pass.
struct ScrollerPose {
    float angle;
    float x;
    int passes;
    float zooms[kMaxBurstPasses];
};

// Index of the glyph the layout uses for character c: the binary search's last
// probe, so a character missing from the table takes a neighbour's record.
int FindGlyph(char c);

// A line of text that scrolls across the picture through the fish-eye shader
// and bursts towards the viewer on cues in the song. Built once; drawn every
// frame after the hair shells.
struct Scroller {
    Scroller() = default;
    ~Scroller();
    Scroller(const Scroller&) = delete;
    Scroller& operator=(const Scroller&) = delete;

    // The font atlas as BGRA bytes (kFontAtlasWidth x kFontAtlasHeight), kept
    // in fontImage too.
    std::vector<std::uint8_t> fontBgra();

    // Build steps of the desktop path, in this order, with a current GL context.
    void createProgram();
    void createFontTexture();
    // Needs fontImage for the atlas size. The text defaults to ScrollerText.
    void layoutText(const char* text = ScrollerText);
    // Emits the quads into the display list the caller has opened.
    void compileList();

    // One frame at t milliseconds since start: checks for a cue and moves the
    // text and its burst on.
    ScrollerPose advance(std::int32_t t);
    // The desktop path's drawing of one frame's pose.
    void render(const ScrollerPose& pose);
    // advance() and render() in one.
    void draw(std::int32_t t);
    // The zoom of each pass this frame's text is drawn with: one pass at 0
    // when no burst runs, else one per 0.05 step of the burst. Returns the count.
    int burstZooms(float zooms[kMaxBurstPasses]) const;
    // Starts a burst when a cue (instrument 62) lies six rows ahead of the
    // heard row.
    void checkTrigger();

    GlyphVertex* quads = nullptr;
    std::uint32_t list = 0;
    std::uint32_t fontTexture = 0;
    ImageStack* fontImage = nullptr;
    std::uint32_t program = 0;
    std::int32_t glyphCount = 0;
    std::int32_t scrollTime = 0;
    Song** songSlot = nullptr;
    bool triggered = false;
    std::int32_t triggerTime = 0;
    std::int32_t zoomLocation = 0;
    std::int32_t faderLocation = 0;
    std::int32_t frameTime = 0;
    std::int32_t lastRow = -1;
    float burst = 0.0f;
};
