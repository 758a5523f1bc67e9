#include "tools/capture/folder_sink.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "shell/headless/image_file.h"
#include "tools/xm2wav/wav_sink.h"

namespace {

class FolderSink : public FrameSink {
public:
    FolderSink(std::string folder, std::uint32_t width, std::uint32_t height)
        : folder_(std::move(folder)), width_(width), height_(height) {}

    bool openSound(int rate, std::string* error) { return wav_.open(folder_ + "/audio.wav", rate, error); }

    bool frame(const std::vector<std::uint8_t>& rgba) override {
        const std::string path = folder_ + "/" + FrameFileName(frames_);
        if (!WritePng(path.c_str(), width_, height_, rgba)) {
            failure_ = "cannot write " + path;
            return false;
        }
        ++frames_;
        return true;
    }

    bool sound(const std::int16_t* frames, std::int64_t frameCount) override {
        if (wav_.write(frames, frameCount)) return true;
        failure_ = "cannot write " + folder_ + "/audio.wav";
        return false;
    }

    bool finish(std::string* error) override { return wav_.close(error); }

    std::string failure() const override { return failure_; }

private:
    std::string folder_;
    std::uint32_t width_;
    std::uint32_t height_;
    std::int64_t frames_ = 0;
    WavSink wav_;
    std::string failure_;
};

}  // namespace

std::string FrameFileName(std::int64_t frame) {
    char name[48];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame));
    return name;
}

std::unique_ptr<FrameSink> OpenFolderSink(const std::string& folder, std::uint32_t width,
                                          std::uint32_t height, int rate, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder)) {
        *error = "cannot make the folder " + folder + (ec ? ": " + ec.message() : ": a file is in the way");
        return nullptr;
    }
    // Frames left from a longer capture would pass for part of this one.
    const bool empty = std::filesystem::is_empty(folder, ec);
    if (ec || !empty) {
        *error = ec ? "cannot read the folder " + folder + ": " + ec.message()
                    : "the folder " + folder + " is not empty: give a new or empty one";
        return nullptr;
    }
    auto sink = std::make_unique<FolderSink>(folder, width, height);
    std::string reason;
    if (!sink->openSound(rate, &reason)) {
        *error = reason;
        return nullptr;
    }
    return sink;
}
