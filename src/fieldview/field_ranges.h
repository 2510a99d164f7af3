#pragma once

#include <cstdint>
#include <limits>

#include "fieldview/listing.h"

// The values the editable fields of the tables accept, shared by the listings and Apply.
namespace delvix::fieldview::ranges {

inline constexpr ValueRange u8{0, std::numeric_limits<std::uint8_t>::max()};
inline constexpr ValueRange u16{0, std::numeric_limits<std::uint16_t>::max()};
inline constexpr ValueRange u32{0, std::numeric_limits<std::uint32_t>::max()};
inline constexpr ValueRange s32{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};

// "Number of Steps": the steps of an animated cursor, as many as a sequence table is allowed to grow to.
inline constexpr std::int64_t maxSteps = 65535;
inline constexpr ValueRange steps{1, maxSteps};

// A step of the "sequence" table shows one of the frames read, numbered from 1.
inline ValueRange sequenceFrame(std::size_t framesRead) { return {1, static_cast<std::int64_t>(framesRead)}; }

}  // namespace delvix::fieldview::ranges
