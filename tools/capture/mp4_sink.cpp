#include "tools/capture/mp4_sink.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tools/capture/child_process.h"
#include "tools/xm2wav/wav_sink.h"

namespace {

class Mp4Sink : public FrameSink {
public:
    Mp4Sink(std::string ffmpeg, std::string path, std::string workDir)
        : ffmpeg_(std::move(ffmpeg)), path_(std::move(path)), workDir_(std::move(workDir)) {}

    ~Mp4Sink() override {
        encoder_.wait();
        std::error_code ec;
        std::filesystem::remove_all(workDir_, ec);
    }

    bool open(std::uint32_t width, std::uint32_t height, int fps, int rate, std::string* error) {
        if (!wav_.open(soundPath(), rate, error)) return false;
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        // H.264 in 4:2:0 wants even sides; an odd one gets a black line.
        return encoder_.start({ffmpeg_, "-nostats", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo",
                               "-pixel_format", "rgba", "-video_size", size, "-framerate", std::to_string(fps),
                               "-i", "-", "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-preset",
                               "medium", "-crf", "18", "-pix_fmt", "yuv420p", videoPath()},
                              true, error);
    }

    bool frame(const std::vector<std::uint8_t>& rgba) override {
        if (encoder_.write(rgba.data(), rgba.size())) return true;
        failure_ = "ffmpeg stopped taking frames";
        return false;
    }

    bool sound(const std::int16_t* frames, std::int64_t frameCount) override {
        if (wav_.write(frames, frameCount)) return true;
        failure_ = "cannot write the sound to " + soundPath();
        return false;
    }

    bool finish(std::string* error) override {
        if (!wav_.close(error)) return false;
        if (!encoder_.wait()) {
            *error = "ffmpeg failed to encode the video";
            return false;
        }
        ChildProcess mux;
        if (!mux.start({ffmpeg_, "-nostdin", "-nostats", "-hide_banner", "-loglevel", "error", "-y", "-i",
                        videoPath(), "-i", soundPath(), "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a",
                        "aac", "-b:a", "192k", "-movflags", "+faststart", path_},
                       false, error)) {
            return false;
        }
        if (!mux.wait()) {
            *error = "ffmpeg failed to write " + path_;
            return false;
        }
        return true;
    }

    std::string failure() const override { return failure_; }

private:
    std::string videoPath() const { return workDir_ + "/video.mkv"; }
    std::string soundPath() const { return workDir_ + "/audio.wav"; }

    std::string ffmpeg_;
    std::string path_;
    std::string workDir_;
    ChildProcess encoder_;
    WavSink wav_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<FrameSink> OpenMp4Sink(const std::string& path, std::uint32_t width, std::uint32_t height,
                                       int fps, int rate, std::string* error) {
    const std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        *error = "writing an .mp4 file needs ffmpeg, which is not installed "
                 "(apt-get install ffmpeg), or give -o a folder for PNG frames and a WAV file";
        return nullptr;
    }
    // Fail now rather than after rendering everything.
    std::FILE* probe = std::fopen(path.c_str(), "wb");
    if (probe == nullptr) {
        *error = "cannot create '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    std::fclose(probe);

    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "quillon-capture-XXXXXX").string();
    if (ec || mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot make a temporary folder for the encoding";
        return nullptr;
    }
    auto sink = std::make_unique<Mp4Sink>(ffmpeg, path, pattern);
    if (!sink->open(width, height, fps, rate, error)) return nullptr;
    return sink;
}
