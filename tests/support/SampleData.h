// Deterministic sample contents for package tests and benchmarks.
#pragma once

#include <cstdint>
#include <string>

namespace sampledata {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next() {  // xorshift64*
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

private:
    uint64_t state_;
};

// Bytes shaped like x86 code: relative calls and jumps (E8/E9) to a few
// hundred function starts, which the branch converter turns into repeats,
// register moves from a small vocabulary, string tables and zero padding.
inline std::string ExecutableLike(size_t size, uint64_t seed = 1) {
    Random random(seed);
    static const uint8_t kSnippets[][6] = {
        {0x48, 0x89, 0xC8, 0x90, 0x90, 0x90}, {0x48, 0x8B, 0x45, 0xF8, 0x90, 0x90},
        {0x55, 0x48, 0x89, 0xE5, 0x90, 0x90}, {0x5D, 0xC3, 0x90, 0x90, 0x90, 0x90},
        {0x31, 0xC0, 0x48, 0x83, 0xC4, 0x28}, {0x0F, 0x1F, 0x44, 0x00, 0x00, 0x90},
    };
    static const char* const kStrings[] = {"LauncherQAMB", "kernel32.dll",    "CreateFileA",
                                           "GetLastError", "QuambarLauncher", "%s, code(%d)"};
    uint32_t functions[512];
    for (uint32_t& f : functions) f = random.Below(static_cast<uint32_t>(size ? size : 1));

    std::string out;
    out.reserve(size + 64);
    while (out.size() < size) {
        const uint32_t kind = random.Below(100);
        if (kind < 35) {
            const uint32_t target = functions[random.Below(512)];
            const uint32_t rel = target - static_cast<uint32_t>(out.size() + 5);
            out.push_back(static_cast<char>(kind < 30 ? 0xE8 : 0xE9));
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(rel >> (8 * i)));
        } else if (kind < 85) {
            const uint8_t* s = kSnippets[random.Below(6)];
            out.append(reinterpret_cast<const char*>(s), 3 + random.Below(4));
        } else if (kind < 92) {
            for (uint32_t i = random.Below(8); i > 0; --i)
                out.push_back(static_cast<char>(random.Next()));
        } else if (kind < 97) {
            out.append(kStrings[random.Below(6)]);
            out.push_back('\0');
        } else {
            out.append(random.Below(64), '\0');
        }
    }
    out.resize(size);
    return out;
}

}  // namespace sampledata
