#include "tools/xm2wav/wav_sink.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/xm2wav/terminal.h"

namespace {

constexpr int kHeaderBytes = 44;

void PutLittle(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void FillHeader(std::uint8_t* header, int rate, std::uint32_t dataBytes) {
    std::memcpy(header, "RIFF", 4);
    PutLittle(header + 4, 36 + dataBytes, 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLittle(header + 16, 16, 4);
    PutLittle(header + 20, 1, 2);  // PCM
    PutLittle(header + 22, 2, 2);  // stereo
    PutLittle(header + 24, static_cast<std::uint32_t>(rate), 4);
    PutLittle(header + 28, static_cast<std::uint32_t>(rate) * 4, 4);
    PutLittle(header + 32, 4, 2);
    PutLittle(header + 34, 16, 2);
    std::memcpy(header + 36, "data", 4);
    PutLittle(header + 40, dataBytes, 4);
}

bool LittleEndianHost() {
    const std::uint16_t probe = 1;
    std::uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

}  // namespace

WavSink::~WavSink() {
    if (file_ != nullptr && !raw_) std::fclose(file_);
}

bool WavSink::open(const std::string& path, int rate, std::string* error) {
    path_ = path;
    rate_ = rate;
    if (path == "-") {
        raw_ = true;
        file_ = stdout;
        UseBinaryMode(stdout);
        return true;
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        *error = "cannot create '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::uint8_t header[kHeaderBytes];
    FillHeader(header, rate, 0);
    failed_ = std::fwrite(header, 1, kHeaderBytes, file_) != kHeaderBytes;
    return true;
}

bool WavSink::write(const std::int16_t* frames, std::int64_t frameCount) {
    if (failed_ || frameCount <= 0) return !failed_;
    std::size_t values = static_cast<std::size_t>(frameCount) * 2;
    if (LittleEndianHost()) {
        failed_ = std::fwrite(frames, sizeof(std::int16_t), values, file_) != values;
    } else {
        std::vector<std::uint8_t> bytes(values * 2);
        for (std::size_t i = 0; i < values; ++i) {
            PutLittle(&bytes[2 * i], static_cast<std::uint16_t>(frames[i]), 2);
        }
        failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    }
    frames_ += frameCount;
    return !failed_;
}

bool WavSink::close(std::string* error) {
    if (file_ == nullptr) return true;
    if (!raw_ && !failed_) {
        std::uint8_t header[kHeaderBytes];
        FillHeader(header, rate_, static_cast<std::uint32_t>(frames_ * 4));
        failed_ = std::fseek(file_, 0, SEEK_SET) != 0 ||
                  std::fwrite(header, 1, kHeaderBytes, file_) != kHeaderBytes;
    }
    if (std::fflush(file_) != 0) failed_ = true;
    if (!raw_ && std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (failed_) {
        *error = "cannot write '" + path_ + "': " + std::strerror(errno);
        return false;
    }
    return true;
}
