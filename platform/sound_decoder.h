#pragma once
// MP3 data held in memory, decoded to 44100 Hz stereo floats at exact sample positions: with
// libmpg123 on the desktop (sound_decoder.cpp: gapless decoding with the LAME tag, length found
// by a full scan), by the browser's own decoder in the web build (sound_decoder_web.cpp).
#include <cstddef>
#include <cstdint>

inline constexpr int kDecodeRate = 44100;

struct Mp3Decoder;

// Opens `length` bytes at `data` (which must outlive the decoder). Null when the bytes hold no
// decodable 44100 Hz MPEG audio.
Mp3Decoder* openMp3Decoder(const unsigned char* data, std::size_t length);
void closeMp3Decoder(Mp3Decoder* decoder);

// The track's length in stereo frames (samples per channel).
std::int64_t mp3LengthFrames(const Mp3Decoder* decoder);

// Writes `frames` interleaved stereo frames starting at frame `startFrame` to `stereo`.
// Frames before 0 or past the end are silence. Sequential reads continue the decoder; other
// reads seek. False when the decoder fails mid-stream (what could not be decoded is silence).
bool mp3ReadFrames(Mp3Decoder* decoder, std::int64_t startFrame, float* stereo, int frames);
