// Writer of launcher packages, the counterpart of update/LZMAPackage: each
// file packed on its own in the Lzma86 layout (x86 branch filter on or
// off), the entries chained one after the other. Used by the lzmapack tool
// (and so by the dev portal) and by tests that need packages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lzmapack {

struct Options {
    bool x86 = true;         // run the x86 branch converter before LZMA
    bool endMarker = false;  // close each stream with an end marker
    uint32_t preset = 6;     // 0..9, as xz's levels
    uint32_t dictSize = 0;   // 0: the preset's
};

struct InputFile {
    std::string name;  // entry name, at most 259 bytes, no NUL
    std::string data;
};

// |data| packed in the Lzma86 layout. False with *error on failure.
bool EncodeLzma86(const std::string& data, const Options& options, std::string* packed,
                  std::string* error);

// Appends one entry: a 32-byte header, the name with its NUL, then
// |packed| as it is. |unpackedSize| goes into the header unchecked, so
// tests can build packages that disagree with themselves.
bool AppendEntry(std::string* package, const std::string& name, const std::string& packed,
                 uint32_t unpackedSize, std::string* error);

// A whole package of |files|, in order.
bool BuildPackage(const std::vector<InputFile>& files, const Options& options, std::string* package,
                  std::string* error);

}  // namespace lzmapack
