#pragma once
// Where rendered frames go: a WAV file whose header is completed at the end,
// or raw PCM on standard output.
#include <cstdint>
#include <cstdio>
#include <string>

class WavSink {
public:
    WavSink() = default;
    ~WavSink();
    WavSink(const WavSink&) = delete;
    WavSink& operator=(const WavSink&) = delete;

    // "-" is standard output, raw; any other path a WAV file. False with a
    // reason when the output cannot be created.
    bool open(const std::string& path, int rate, std::string* error);
    // Interleaved 16-bit stereo frames.
    bool write(const std::int16_t* frames, std::int64_t frameCount);
    // Completes the header; false with a reason if anything failed to write.
    bool close(std::string* error);

private:
    std::FILE* file_ = nullptr;
    bool raw_ = false;
    bool failed_ = false;
    int rate_ = 0;
    std::int64_t frames_ = 0;
    std::string path_;
};
