#include "tools/lzmapack/PackageWriter.h"

#include <lzma.h>

#include <cstdlib>

namespace lzmapack {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kMaxNameBytes = 259;  // the reader keeps 260 bytes, NUL included

void PutLittleEndian(std::string* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool EncodeLzma86(const std::string& data, const Options& options, std::string* packed,
                  std::string* error) {
    if (data.size() > UINT32_MAX) {
        *error = "file larger than 4 GiB";
        return false;
    }
    lzma_options_lzma lzma;
    if (lzma_lzma_preset(&lzma, options.preset)) {
        *error = "unknown preset " + std::to_string(options.preset);
        return false;
    }
    if (options.dictSize != 0) lzma.dict_size = options.dictSize;
    lzma.ext_flags = options.endMarker ? LZMA_LZMA1EXT_ALLOW_EOPM : 0;

    uint8_t properties[5];
    lzma_filter propsFilter = {LZMA_FILTER_LZMA1, &lzma};
    if (lzma_properties_encode(&propsFilter, properties) != LZMA_OK) {
        *error = "cannot encode LZMA properties";
        return false;
    }

    lzma_filter chain[3];
    size_t n = 0;
    if (options.x86) chain[n++] = {LZMA_FILTER_X86, nullptr};
    chain[n++] = {LZMA_FILTER_LZMA1EXT, &lzma};
    chain[n] = {LZMA_VLI_UNKNOWN, nullptr};

    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret ret = lzma_raw_encoder(&stream, chain);
    if (ret != LZMA_OK) {
        *error = "lzma_raw_encoder failed: " + std::to_string(ret);
        return false;
    }

    packed->clear();
    packed->push_back(static_cast<char>(options.x86 ? 1 : 0));
    packed->append(reinterpret_cast<const char*>(properties), sizeof(properties));
    PutLittleEndian(packed, data.size(), 8);

    const size_t headerSize = packed->size();
    packed->resize(headerSize + data.size() + data.size() / 2 + 4096);
    stream.next_in = reinterpret_cast<const uint8_t*>(data.data());
    stream.avail_in = data.size();
    stream.next_out = reinterpret_cast<uint8_t*>(packed->data()) + headerSize;
    stream.avail_out = packed->size() - headerSize;
    do {
        if (stream.avail_out == 0) {
            const size_t used = packed->size();
            packed->resize(used * 2);
            stream.next_out = reinterpret_cast<uint8_t*>(packed->data()) + used;
            stream.avail_out = packed->size() - used;
        }
        ret = lzma_code(&stream, LZMA_FINISH);
    } while (ret == LZMA_OK);
    const size_t total = headerSize + static_cast<size_t>(stream.total_out);
    lzma_end(&stream);
    if (ret != LZMA_STREAM_END) {
        *error = "lzma_code failed: " + std::to_string(ret);
        return false;
    }
    packed->resize(total);
    return true;
}

bool AppendEntry(std::string* package, const std::string& name, const std::string& packed,
                 uint32_t unpackedSize, std::string* error) {
    if (name.empty() || name.size() > kMaxNameBytes || name.find('\0') != std::string::npos) {
        *error = "entry name must have 1 to 259 bytes and no NUL: " + name;
        return false;
    }
    const uint64_t nameLength = name.size() + 1;
    const uint64_t dataOffset = package->size() + kHeaderSize + nameLength;
    if (dataOffset + packed.size() > UINT32_MAX) {
        *error = "package would pass 4 GiB at " + name;
        return false;
    }
    PutLittleEndian(package, dataOffset, 4);
    PutLittleEndian(package, packed.size(), 4);
    PutLittleEndian(package, unpackedSize, 4);
    PutLittleEndian(package, nameLength, 2);
    package->append(18, '\0');
    package->append(name);
    package->push_back('\0');
    package->append(packed);
    return true;
}

bool BuildPackage(const std::vector<InputFile>& files, const Options& options, std::string* package,
                  std::string* error) {
    package->clear();
    std::string packed;
    for (const InputFile& file : files) {
        if (!EncodeLzma86(file.data, options, &packed, error)) {
            *error = file.name + ": " + *error;
            return false;
        }
        if (!AppendEntry(package, file.name, packed, static_cast<uint32_t>(file.data.size()),
                         error)) {
            return false;
        }
    }
    return true;
}

}  // namespace lzmapack
