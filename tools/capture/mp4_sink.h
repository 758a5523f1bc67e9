#pragma once
// One MP4 file, H.264 video and AAC audio, made by ffmpeg: the pictures are
// piped to it as they come and encoded into a temporary video file, the sound
// goes to a temporary WAV file, and a last ffmpeg run joins the two.
#include <memory>
#include <string>

#include "tools/capture/frame_sink.h"

// None with a one-line reason when ffmpeg is not installed or the file cannot
// be written.
std::unique_ptr<FrameSink> OpenMp4Sink(const std::string& path, std::uint32_t width, std::uint32_t height,
                                       int fps, int rate, std::string* error);
