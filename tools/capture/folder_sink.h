#pragma once
// A folder of numbered PNG frames (frame_000000.png on) and one audio.wav.
#include <memory>
#include <string>

#include "tools/capture/frame_sink.h"

// Creates the folder if needed and the WAV file in it; none with a one-line
// reason when the folder cannot be written or already holds anything.
std::unique_ptr<FrameSink> OpenFolderSink(const std::string& folder, std::uint32_t width,
                                          std::uint32_t height, int rate, std::string* error);

// The name of frame n inside the folder.
std::string FrameFileName(std::int64_t frame);
