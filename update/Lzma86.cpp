#include "update/Lzma86.h"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>

namespace {

Lzma86Result FromLzmaCode(lzma_ret ret) {
    switch (ret) {
        case LZMA_MEM_ERROR:
            return Lzma86Result::kNoMemory;
        case LZMA_OPTIONS_ERROR:
            return Lzma86Result::kBadProperties;
        default:
            return Lzma86Result::kCorrupt;
    }
}

}  // namespace

bool Lzma86GetUnpackSize(const uint8_t* src, size_t size, uint64_t* unpackSize) {
    if (size < kLzma86HeaderSize) return false;
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | src[6 + i];
    *unpackSize = value;
    return true;
}

Lzma86Result Lzma86Decode(uint8_t* dest, size_t* destLen, const uint8_t* src, size_t srcLen) {
    const size_t wanted = *destLen;
    *destLen = 0;
    if (srcLen < kLzma86HeaderSize) return Lzma86Result::kInputTooShort;
    const uint8_t filter = src[0];
    if (filter > kLzma86FilterX86) return Lzma86Result::kBadFilter;

    lzma_filter propsFilter = {LZMA_FILTER_LZMA1, nullptr};
    if (lzma_properties_decode(&propsFilter, nullptr, src + 1, 5) != LZMA_OK) {
        return Lzma86Result::kBadProperties;
    }
    lzma_options_lzma options = *static_cast<lzma_options_lzma*>(propsFilter.options);
    free(propsFilter.options);  // allocated by liblzma with malloc (null allocator)

    // The header's dictionary size comes from outside; a window larger than
    // the output can never be referenced, so do not let it size an allocation.
    if (options.dict_size > wanted) options.dict_size = static_cast<uint32_t>(wanted);
    options.dict_size = std::max<uint32_t>(options.dict_size, LZMA_DICT_SIZE_MIN);
    // The known size ends the stream; an end marker right there is allowed
    // too, since writers differ in whether they put one.
    options.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(options, static_cast<uint64_t>(wanted));

    lzma_filter chain[3];
    size_t n = 0;
    if (filter == kLzma86FilterX86) chain[n++] = {LZMA_FILTER_X86, nullptr};
    chain[n++] = {LZMA_FILTER_LZMA1EXT, &options};
    chain[n] = {LZMA_VLI_UNKNOWN, nullptr};

    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret ret = lzma_raw_decoder(&stream, chain);
    if (ret != LZMA_OK) return FromLzmaCode(ret);

    stream.next_in = src + kLzma86HeaderSize;
    stream.avail_in = srcLen - kLzma86HeaderSize;
    stream.next_out = dest;
    stream.avail_out = wanted;
    do {
        ret = lzma_code(&stream, LZMA_FINISH);
    } while (ret == LZMA_OK);
    const size_t produced = static_cast<size_t>(stream.total_out);
    lzma_end(&stream);

    *destLen = produced;
    if (ret != LZMA_STREAM_END) return FromLzmaCode(ret);
    if (produced != wanted) return Lzma86Result::kCorrupt;
    return Lzma86Result::kOk;
}

const char* Lzma86ResultName(Lzma86Result result) {
    switch (result) {
        case Lzma86Result::kOk:
            return "ok";
        case Lzma86Result::kInputTooShort:
            return "input too short";
        case Lzma86Result::kBadFilter:
            return "unknown filter";
        case Lzma86Result::kBadProperties:
            return "bad properties";
        case Lzma86Result::kCorrupt:
            return "corrupt stream";
        case Lzma86Result::kNoMemory:
            return "out of memory";
    }
    return "?";
}
