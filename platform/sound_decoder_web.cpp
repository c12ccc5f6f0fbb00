// The decoder of platform/sound_decoder.h in the browser: the page hands the track file to the
// browser's own decoder (decodeAudioData at 44100 Hz) before the show starts; a decoder opens
// over what it decoded (platform/web_audio.h).
#include "platform/sound_decoder.h"
#include "platform/web_audio.h"

struct Mp3Decoder {
    std::int64_t frames = 0;
};

Mp3Decoder* openMp3Decoder(const unsigned char* const data, const std::size_t length) {
    const double frames = webAudioTrackFrames();
    if (data == nullptr || length == 0 || frames <= 0.0) {
        return nullptr;
    }
    return new Mp3Decoder{static_cast<std::int64_t>(frames)};
}

void closeMp3Decoder(Mp3Decoder* const decoder) {
    delete decoder;
}

std::int64_t mp3LengthFrames(const Mp3Decoder* const decoder) {
    return decoder->frames;
}

bool mp3ReadFrames(Mp3Decoder*, const std::int64_t startFrame, float* const stereo,
                   const int frames) {
    webAudioCopyFrames(static_cast<double>(startFrame), stereo, frames);
    return true;
}
