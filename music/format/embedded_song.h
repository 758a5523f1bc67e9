#pragma once
// The module carried inside the program, produced at build time from the
// song's source by tools/embed.
#include <cstdint>

extern const std::uint8_t embeddedSong[];
extern const std::int32_t embeddedSongSize;
