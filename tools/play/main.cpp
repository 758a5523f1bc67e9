// quillon-play: plays extended modules on the sound device with the intro's
// player, one after the other, showing what is being heard.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "music/player.h"
#include "tools/play/options.h"
#include "tools/play/status.h"
#include "tools/play/terminal.h"

namespace {

constexpr int kRate = 44100;
// Without an end within this much music the song is taken to loop inside one
// order, as xm2wav takes it.
constexpr std::int64_t kLongestPassSeconds = 3600;
// How long one wait for a key lasts: also how late the end of a pass may be
// noticed.
constexpr int kKeyWaitMs = 10;
constexpr auto kStatusInterval = std::chrono::milliseconds(100);

enum class Move { Next, Previous, Quit };

// The status line, rewritten in place; each file's last line stays on screen.
class Console {
public:
    explicit Console(bool shown) : shown_(shown) {}

    bool shown() const { return shown_; }

    void show(const std::string& line) {
        if (!shown_) return;
        std::string text = "\r" + line;
        // Spaces over what a longer line before left.
        if (line.size() < width_) text.append(width_ - line.size(), ' ');
        width_ = line.size();
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }

    void endLine() {
        if (!shown_ || width_ == 0) return;
        std::fputc('\n', stdout);
        std::fflush(stdout);
        width_ = 0;
    }

private:
    bool shown_;
    std::size_t width_ = 0;
};

StatusView ViewOf(Song* song, const std::string& file, std::int64_t passFrames) {
    const PositionRecord heard = SongGetPosition(song);
    StatusView view;
    view.file = file;
    view.title = song->title;
    view.paused = SongPaused();
    view.order = heard.order + 1;
    view.orderCount = song->songLength;
    view.pattern = song->orderTable[heard.order];
    view.row = heard.row;
    view.heardFrames = SongHeardFrames();
    view.passFrames = passFrames;
    view.rate = kRate;
    view.channels = heard.channels;
    view.channelCount = song->channelCount;
    return view;
}

// Plays one loaded song until its pass ends, a key moves on or the user quits.
Move PlaySong(Song* song, const std::string& file, const PlayOptions& options, Console* console) {
    // Measured before playing: the measure uses the player's channels.
    const std::int64_t passFrames = SongMeasurePass(song, kRate);
    if (!SongPlay(song)) {
        std::fprintf(stderr, "quillon-play: '%s': the sound device refused to play\n", file.c_str());
        return Move::Next;
    }
    Move move = Move::Next;
    auto lastStatus = std::chrono::steady_clock::now() - kStatusInterval;
    for (;;) {
        const int key = ReadKey(kKeyWaitMs);
        if (Interrupted() || key == 'q' || key == 'Q') {
            move = Move::Quit;
            break;
        }
        if (key == 'n' || key == 'N') break;
        if (key == 'p' || key == 'P') {
            move = Move::Previous;
            break;
        }
        if (key == ' ') SongPause(!SongPaused());
        if (key == kKeyLeft || key == kKeyRight) {
            SongPlayFromOrder(song, SongGetOrder(song) + (key == kKeyRight ? 1 : -1));
        }
        const std::int64_t heard = SongHeardFrames();
        const std::int64_t passEnd = SongPassEndFrame();
        if (!options.loop && heard >= (passEnd >= 0 ? passEnd : kLongestPassSeconds * kRate)) break;
        const auto now = std::chrono::steady_clock::now();
        if (console->shown() && (key != kNoKey || now - lastStatus >= kStatusInterval)) {
            console->show(StatusLine(ViewOf(song, file, passFrames), TerminalColumns()));
            lastStatus = now;
        }
    }
    // The device plays on what it holds until the next song takes over in
    // the same stream, so that a skip leaves no gap; quitting closes it,
    // which silences it at once.
    SongStop(song);
    console->endLine();
    return move;
}

}  // namespace

int main(int argc, char** argv) {
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "quillon-play: %s (try 'quillon-play --help')\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kPlayUsage, stdout);
        return 0;
    }

    CatchInterrupts();
    StartKeys();
    std::atexit(RestoreKeys);
    Console console(!options.quiet && IsTerminal(stdout));
    const auto count = static_cast<int>(options.files.size());
    // A file that failed is named once and passed over when come back to.
    std::vector<bool> failed(options.files.size(), false);
    bool anyFailed = false;
    bool opened = false;
    int index = 0;
    Move move = Move::Next;
    while (index >= 0 && index < count && !Interrupted()) {
        const auto slot = static_cast<std::size_t>(index);
        const std::string& file = options.files[slot];
        Song* song = failed[slot] ? nullptr : SongLoadFile(file.c_str());
        if (!song) {
            if (!failed[slot]) {
                std::fprintf(stderr, "quillon-play: '%s': %s\n", file.c_str(), SongLoadError());
                failed[slot] = true;
                anyFailed = true;
            }
            // Going back past the first file turns forward again.
            if (move == Move::Previous && index == 0) move = Move::Next;
            index += move == Move::Previous ? -1 : 1;
            continue;
        }
        if (*SongLoadWarning()) std::fprintf(stderr, "quillon-play: '%s': warning: %s\n", file.c_str(), SongLoadWarning());
        SongSetPlaybackStyle(song, options.introStyle ? PlaybackStyle::Intro : PlaybackStyle::Tracker);
        if (!opened && !AudioOpen(kRate)) {
            SongFree(song);
            RestoreKeys();
            std::fprintf(stderr, "quillon-play: no sound device could be opened\n");
            return 1;
        }
        opened = true;
        move = PlaySong(song, file, options, &console);
        SongFree(song);
        if (move == Move::Quit) break;
        // The previous file of the first is the first again.
        index = move == Move::Previous ? (index > 0 ? index - 1 : 0) : index + 1;
    }
    AudioClose();
    RestoreKeys();
    if (Interrupted()) return 130;
    return anyFailed ? 1 : 0;
}
