// The heard song position, as the scene reads it from the mixing thread's
// per-block records.
#include "music/output/position.h"

#include "music/output/audio_output.h"

std::uint64_t PositionRecordPack(const PositionRecord& record) {
    return std::uint64_t{record.order} | (std::uint64_t{record.row} << 8) |
           (std::uint64_t{static_cast<std::uint32_t>(record.elapsedMs)} << 16) |
           (std::uint64_t{record.channels} << 48);
}

PositionRecord PositionRecordUnpack(std::uint64_t packed) {
    return PositionRecord{static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
                          static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 16)),
                          static_cast<std::uint8_t>(packed >> 48)};
}

PositionRecord SongGetPosition(Song* song) {
    AudioOutput& a = audioOutput;
    // Published and withdrawn by SongPlay and SongStop, possibly on another thread.
    const std::atomic<std::uint64_t>* records =
        song ? a.positionRecords.load(std::memory_order_acquire) : nullptr;
    if (!records) return PositionRecord{};
    // The heard index is read again after its record: if it moved meanwhile,
    // the record may already hold a block mixed for two seconds later.
    for (;;) {
        const std::int32_t heard = a.heardIndex.load(std::memory_order_acquire);
        const std::uint64_t packed = records[heard].load(std::memory_order_acquire);
        if (a.heardIndex.load(std::memory_order_acquire) == heard) return PositionRecordUnpack(packed);
    }
}

std::int32_t SongGetOrder(Song* song) {
    return SongGetPosition(song).order;
}

std::int32_t SongGetRow(Song* song) {
    return SongGetPosition(song).row;
}

std::int32_t SongGetTime(Song* song) {
    return SongGetPosition(song).elapsedMs;
}
