// Decoding of the Lzma86 layout that carries each entry of a launcher
// package: a filter byte, the five LZMA property bytes, the unpacked size
// as u64, then a raw LZMA stream with or without an end marker.
// Stateless; any thread may call.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kLzma86HeaderSize = 14;
constexpr uint8_t kLzma86FilterNone = 0;
constexpr uint8_t kLzma86FilterX86 = 1;

enum class Lzma86Result {
    kOk,
    kInputTooShort,  // not even a header
    kBadFilter,      // filter byte above 1
    kBadProperties,  // lc/lp/pb or dictionary refused by the decoder
    kCorrupt,        // stream damaged, cut short, or ending before the output is full
    kNoMemory,
};

// The unpacked size stored at bytes 6 to 13; false when |size| < 14.
bool Lzma86GetUnpackSize(const uint8_t* src, size_t size, uint64_t* unpackSize);

// Decodes |src| into |dest|, which holds *destLen bytes, the announced size.
// Sets *destLen to the bytes produced. Only a stream that yields exactly
// *destLen bytes is kOk: a shorter result is a damaged package, not a
// smaller file.
Lzma86Result Lzma86Decode(uint8_t* dest, size_t* destLen, const uint8_t* src, size_t srcLen);

const char* Lzma86ResultName(Lzma86Result result);
