#include "platform/sound_decoder.h"

#include <algorithm>
#include <cstdio>
#include <mpg123.h>
#include <sys/types.h>
#include <vector>

namespace {

// The bytes libmpg123 reads through the replaced reader.
struct MemoryReader {
    const unsigned char* data = nullptr;
    std::size_t length = 0;
    std::size_t position = 0;
};

ssize_t readMemory(void* const handle, void* const buffer, const std::size_t count) {
    MemoryReader* const reader = static_cast<MemoryReader*>(handle);
    const std::size_t left = reader->length - reader->position;
    const std::size_t n = std::min(count, left);
    std::copy_n(reader->data + reader->position, n, static_cast<unsigned char*>(buffer));
    reader->position += n;
    return static_cast<ssize_t>(n);
}

off_t seekMemory(void* const handle, const off_t offset, const int whence) {
    MemoryReader* const reader = static_cast<MemoryReader*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<off_t>(reader->position);
    } else if (whence == SEEK_END) {
        base = static_cast<off_t>(reader->length);
    } else if (whence != SEEK_SET) {
        return -1;
    }
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(reader->length)) {
        return -1;
    }
    reader->position = static_cast<std::size_t>(target);
    return target;
}

// Forward gaps up to this many frames are decoded and dropped rather than sought over.
constexpr std::int64_t kSkipLimit = 8192;

bool libraryReady() {
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

} // namespace

struct Mp3Decoder {
    MemoryReader reader;
    mpg123_handle* handle = nullptr;
    std::int64_t length = 0;
    std::int64_t position = 0; // the frame the next mpg123_read returns
    std::vector<float> scratch;
};

Mp3Decoder* openMp3Decoder(const unsigned char* const data, const std::size_t length) {
    if (data == nullptr || length == 0 || !libraryReady()) {
        return nullptr;
    }
    Mp3Decoder* const decoder = new Mp3Decoder;
    decoder->reader = MemoryReader{data, length, 0};
    decoder->handle = mpg123_new(nullptr, nullptr);
    mpg123_handle* const h = decoder->handle;
    bool ok = h != nullptr;
    ok = ok && mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0) == MPG123_OK;
    ok = ok && mpg123_format_none(h) == MPG123_OK;
    ok = ok && mpg123_format(h, kDecodeRate, MPG123_STEREO, MPG123_ENC_FLOAT_32) == MPG123_OK;
    ok = ok && mpg123_replace_reader_handle(h, readMemory, seekMemory, nullptr) == MPG123_OK;
    ok = ok && mpg123_open_handle(h, &decoder->reader) == MPG123_OK;
    ok = ok && mpg123_scan(h) == MPG123_OK;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    ok = ok && mpg123_getformat(h, &rate, &channels, &encoding) == MPG123_OK;
    ok = ok && rate == kDecodeRate && channels == 2 && encoding == MPG123_ENC_FLOAT_32;
    if (ok) {
        decoder->length = mpg123_length(h);
        ok = decoder->length > 0 && mpg123_seek(h, 0, SEEK_SET) == 0;
    }
    if (!ok) {
        closeMp3Decoder(decoder);
        return nullptr;
    }
    decoder->scratch.resize(2 * kSkipLimit);
    return decoder;
}

void closeMp3Decoder(Mp3Decoder* const decoder) {
    if (decoder == nullptr) {
        return;
    }
    if (decoder->handle != nullptr) {
        mpg123_close(decoder->handle);
        mpg123_delete(decoder->handle);
    }
    delete decoder;
}

std::int64_t mp3LengthFrames(const Mp3Decoder* const decoder) {
    return decoder->length;
}

// Decodes exactly `frames` frames at the decoder's position into `stereo`; false on failure or
// at the end of the data, with the decoder's position kept true to what was read.
static bool decodeSequential(Mp3Decoder* const decoder, float* const stereo,
                             const std::int64_t frames) {
    unsigned char* out = reinterpret_cast<unsigned char*>(stereo);
    std::size_t wanted = static_cast<std::size_t>(frames) * 2 * sizeof(float);
    int idleTurns = 0;
    while (wanted > 0) {
        std::size_t done = 0;
        const int result = mpg123_read(decoder->handle, out, wanted, &done);
        out += done;
        wanted -= done;
        decoder->position += static_cast<std::int64_t>(done / (2 * sizeof(float)));
        if (wanted == 0) {
            return true;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            return false;
        }
        idleTurns = done == 0 ? idleTurns + 1 : 0;
        if (idleTurns > 4) {
            return false;
        }
    }
    return true;
}

// Puts the decoder at `frame`, decoding forward over short gaps.
static bool moveTo(Mp3Decoder* const decoder, const std::int64_t frame) {
    if (frame == decoder->position) {
        return true;
    }
    const std::int64_t gap = frame - decoder->position;
    if (decoder->position >= 0 && gap > 0 && gap <= kSkipLimit) {
        return decodeSequential(decoder, decoder->scratch.data(), gap);
    }
    const off_t reached = mpg123_seek(decoder->handle, static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0) {
        return false;
    }
    decoder->position = reached;
    return reached == frame;
}

bool mp3ReadFrames(Mp3Decoder* const decoder, const std::int64_t startFrame, float* const stereo,
                   const int frames) {
    std::fill_n(stereo, static_cast<std::size_t>(frames) * 2, 0.0f);
    const std::int64_t from = std::max<std::int64_t>(startFrame, 0);
    const std::int64_t to = std::min<std::int64_t>(startFrame + frames, decoder->length);
    if (from >= to) {
        return true;
    }
    if (!moveTo(decoder, from)) {
        decoder->position = -1; // unknown: the next read seeks
        return false;
    }
    float* const first = stereo + (from - startFrame) * 2;
    if (!decodeSequential(decoder, first, to - from)) {
        decoder->position = -1;
        return false;
    }
    return true;
}
