// Builders of test inputs for the skin framework: ZIP archives (stored or
// deflated members, with ways to damage them) and PNG images, made with
// zlib so that tests need no files of their own.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct ZipEntry {
    std::string name;
    std::string data;
    bool deflate = true;
    // Damage for refusal tests: a declared size other than the real one,
    // a wrong checksum, a compression method zlib does not know.
    long long declaredSize = -1;
    bool badCrc = false;
    uint16_t method = 0xFFFF;  // 0xFFFF: stored or deflated as above
};

inline void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
inline void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline std::string MakeZip(const std::vector<ZipEntry>& entries) {
    std::string body;
    std::string directory;
    for (const ZipEntry& entry : entries) {
        const uint16_t method =
            entry.method != 0xFFFF ? entry.method : (entry.deflate ? uint16_t{8} : uint16_t{0});
        const std::string stored = method == 8 ? RawDeflate(entry.data) : entry.data;
        uint32_t crc =
            static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                        static_cast<uInt>(entry.data.size())));
        if (entry.badCrc) crc ^= 0x5A5A5A5A;
        const uint32_t size = entry.declaredSize >= 0 ? static_cast<uint32_t>(entry.declaredSize)
                                                      : static_cast<uint32_t>(entry.data.size());
        const uint32_t offset = static_cast<uint32_t>(body.size());
        Put32(body, 0x04034b50);
        Put16(body, 20);
        Put16(body, 0);
        Put16(body, method);
        Put32(body, 0);
        Put32(body, crc);
        Put32(body, static_cast<uint32_t>(stored.size()));
        Put32(body, size);
        Put16(body, static_cast<uint32_t>(entry.name.size()));
        Put16(body, 0);
        body += entry.name;
        body += stored;

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, 0);
        Put16(directory, method);
        Put32(directory, 0);
        Put32(directory, crc);
        Put32(directory, static_cast<uint32_t>(stored.size()));
        Put32(directory, size);
        Put16(directory, static_cast<uint32_t>(entry.name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += entry.name;
    }
    std::string zip = body + directory;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, static_cast<uint32_t>(entries.size()));
    Put16(zip, static_cast<uint32_t>(entries.size()));
    Put32(zip, static_cast<uint32_t>(directory.size()));
    Put32(zip, static_cast<uint32_t>(body.size()));
    Put16(zip, 0);
    return zip;
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// An 8-bit RGBA PNG of |width| x |height| from 0xRRGGBBAA values, top-down.
inline std::string MakePng(int width, int height, const std::vector<uint32_t>& rgba) {
    auto chunk = [](std::string& out, const char* type, const std::string& data) {
        std::string body = std::string(type, 4) + data;
        std::string length;
        Put32(length, static_cast<uint32_t>(data.size()));
        // PNG numbers are big-endian.
        out += std::string(length.rbegin(), length.rend());
        out += body;
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
        std::string crcBytes;
        Put32(crcBytes, crc);
        out += std::string(crcBytes.rbegin(), crcBytes.rend());
    };
    auto big32 = [](uint32_t value) {
        std::string little;
        Put32(little, value);
        return std::string(little.rbegin(), little.rend());
    };
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter type none
        for (int x = 0; x < width; ++x) {
            const uint32_t p = rgba[static_cast<size_t>(y * width + x)];
            raw += static_cast<char>(p >> 24);
            raw += static_cast<char>((p >> 16) & 0xFF);
            raw += static_cast<char>((p >> 8) & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }
    std::string compressed(compressBound(static_cast<uLong>(raw.size())), '\0');
    uLongf compressedSize = static_cast<uLongf>(compressed.size());
    compress(reinterpret_cast<Bytef*>(compressed.data()), &compressedSize,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    compressed.resize(compressedSize);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header = big32(static_cast<uint32_t>(width)) + big32(static_cast<uint32_t>(height));
    header +=
        std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", compressed);
    chunk(png, "IEND", std::string());
    return png;
}

}  // namespace testsupport
