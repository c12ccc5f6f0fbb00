#pragma once
// The browser's side of the web build's sound (platform/web_audio.js): the track the page
// decoded with the browser's own decoder (decodeAudioData at 44100 Hz), played through Web
// Audio. Web build only. Frames are 1/44100 s.

extern "C" {

// True when the page has an audio context that is running (the start button's click lets it
// run; a page without sound output or blocked by the browser has none).
bool webAudioRunning();
// The decoded track's length in stereo frames; 0 when the page decoded none.
double webAudioTrackFrames();
// Plays the track from `frame` (a running source is stopped first). At or past the end,
// nothing plays; the heard frame then runs on in silence.
void webAudioPlayFrom(double frame);
// Stops the source; the heard frame stands where it is.
void webAudioStop();
// The frame being heard now: the frame playback started from, plus the audio context's time
// since then less its output latency. Stands at the start frame until the first sample is
// heard; runs on past the end of the track.
double webAudioHeardFrame();
// Writes `frames` interleaved stereo frames of the decoded track from `startFrame` on to
// `stereo`; frames before 0 or past the end are silence.
void webAudioCopyFrames(double startFrame, float* stereo, int frames);
}
