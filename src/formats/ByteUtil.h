// Fixed-width numbers in file images, read from and written to byte buffers. The
// caller has checked that the bytes are there.
#pragma once

#include <cstdint>
#include <vector>

namespace trackmill {

inline std::uint16_t Le16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t Le32(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

inline std::uint64_t Le64(const std::uint8_t *p)
{
    return std::uint64_t{Le32(p)} | std::uint64_t{Le32(p + 4)} << 32;
}

inline std::uint16_t Be16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

inline std::uint32_t Be24(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
}

inline std::uint32_t Be32(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Seven bits per byte, most significant first (ID3v2 sizes); the top bits are ignored.
inline std::uint32_t Synchsafe32(const std::uint8_t *p)
{
    return std::uint32_t{p[0] & 0x7Fu} << 21 | std::uint32_t{p[1] & 0x7Fu} << 14 |
           std::uint32_t{p[2] & 0x7Fu} << 7 | (p[3] & 0x7Fu);
}

// An ID3v2 tag's size bytes, 7 bits per byte, each byte taken whole: a top bit that a
// tagger set wrongly adds to the size rather than being dropped.
inline std::uint64_t WholeSizeBytes32(const std::uint8_t *p)
{
    return (std::uint64_t{p[0]} << 21) + (std::uint64_t{p[1]} << 14) + (std::uint64_t{p[2]} << 7) + p[3];
}

inline void PutBe32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                           static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

inline void PutLe32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                           static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
}

inline void PutLe64(std::vector<std::uint8_t> &out, std::uint64_t v)
{
    PutLe32(out, static_cast<std::uint32_t>(v));
    PutLe32(out, static_cast<std::uint32_t>(v >> 32));
}

inline void PutSynchsafe32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<std::uint8_t>((v >> shift) & 0x7F));
}

}  // namespace trackmill
