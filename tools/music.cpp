#include "tools/music.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRate = kTrackSampleRate;
// 120 beats per minute: a sixteenth note is an eighth of a second, a bar of four beats two
// seconds. Every scene cut falls on a whole second, hence on a beat.
constexpr double kStepSeconds = 0.125;
constexpr int kStepsPerBar = 16;
constexpr int kBarsPerPhrase = 4;

// ---------------------------------------------------------------------------------------
// Harmony and the written parts.

struct Chord {
    int bassNote;    // MIDI note of the root for the bass
    int padNotes[3]; // MIDI notes of the voicing for the pad and the arpeggios
};

constexpr Chord kAm{33, {57, 60, 64}};
constexpr Chord kF{29, {57, 60, 65}};
constexpr Chord kC{36, {55, 60, 64}};
constexpr Chord kG{31, {55, 59, 62}};
constexpr Chord kEm{28, {55, 59, 64}};
constexpr Chord kDm{38, {57, 62, 65}};
constexpr Chord kE{28, {56, 59, 64}};

// Four chords, one per bar.
constexpr Chord kProgressions[][kBarsPerPhrase] = {
    {kAm, kF, kC, kG},   // 0: the main theme
    {kF, kG, kEm, kAm},  // 1: the gentle one
    {kAm, kAm, kDm, kE}, // 2: dark, for the bass section and the swarm
    {kF, kC, kG, kAm},   // 3: the lifting one
};

struct Note {
    int step;   // sixteenths from the start of the phrase
    int length; // in sixteenths
    int pitch;  // MIDI note (for the bass: semitones above the chord's root)
};

struct Part {
    const Note* notes;
    int count;
};

// Melodies, each a four-bar phrase written over one progression.
constexpr Note kMelodyMain[] = {
    {0, 6, 76},  {6, 2, 74},  {8, 4, 72},  {12, 2, 74}, {14, 2, 76},
    {16, 6, 77}, {22, 2, 76}, {24, 8, 72}, {32, 4, 76}, {36, 4, 79},
    {40, 4, 76}, {44, 4, 74}, {48, 8, 74}, {56, 4, 71}, {60, 4, 67},
};
constexpr Note kMelodyGentle[] = {
    {0, 8, 72},  {8, 8, 69},   {16, 8, 74}, {24, 4, 71},
    {28, 4, 74}, {32, 12, 71}, {44, 4, 67}, {48, 16, 69},
};
constexpr Note kMelodyDark[] = {
    {0, 8, 69},  {8, 8, 72},  {16, 8, 71}, {24, 8, 69},
    {32, 8, 74}, {40, 8, 77}, {48, 8, 76}, {56, 8, 68},
};
constexpr Note kMelodyLift[] = {
    {0, 3, 69},  {3, 3, 72},  {6, 2, 77},  {8, 4, 76},  {12, 4, 72}, {16, 3, 67},
    {19, 3, 72}, {22, 2, 76}, {24, 4, 74}, {28, 4, 72}, {32, 3, 71}, {35, 3, 74},
    {38, 2, 79}, {40, 4, 77}, {44, 4, 74}, {48, 6, 76}, {54, 2, 74}, {56, 8, 72},
};
// The melody that belongs to each progression.
constexpr Part kMelodies[] = {
    {kMelodyMain, std::size(kMelodyMain)},
    {kMelodyGentle, std::size(kMelodyGentle)},
    {kMelodyDark, std::size(kMelodyDark)},
    {kMelodyLift, std::size(kMelodyLift)},
};

// Bass lines, one bar long; pitches are semitones above the chord's root.
constexpr Note kBassHeld[] = {{0, 15, 0}};
constexpr Note kBassDrive[] = {{0, 2, 0}, {2, 2, 0},   {4, 2, 12}, {6, 2, 0},
                               {8, 2, 0}, {10, 2, 12}, {12, 2, 0}, {14, 2, 7}};
constexpr Note kBassStrong[] = {{0, 3, 0}, {3, 3, 0},  {6, 2, 12},
                                {8, 3, 0}, {11, 2, 7}, {13, 3, 12}};
constexpr Part kBassLines[] = {
    {kBassHeld, std::size(kBassHeld)},
    {kBassDrive, std::size(kBassDrive)},
    {kBassStrong, std::size(kBassStrong)},
};

// Arpeggios, one bar long: each entry is an index into the chord (3.. reach the octave above).
struct ArpPattern {
    int stepsPerNote;
    int order[16];
    int count;
};
constexpr ArpPattern kArpeggios[] = {
    {2, {0, 1, 2, 1, 3, 2, 1, 2}, 8},                          // 0: calm eighths
    {1, {0, 1, 2, 3, 2, 1, 0, 2, 1, 2, 3, 4, 3, 2, 1, 2}, 16}, // 1: driving sixteenths
    {2, {5, 4, 3, 4, 2, 3, 4, 5}, 8},                          // 2: high bells
};

// Drum patterns, one bar: one bit per sixteenth (bit 0 = first sixteenth).
struct DrumPattern {
    unsigned kick;
    unsigned snare;
    unsigned closedHat;
    unsigned openHat;
};
constexpr DrumPattern kDrumPatterns[] = {
    {0x0401, 0x0000, 0x4444, 0x0000}, // 0: light, half time
    {0x1111, 0x1010, 0xAAAA, 0x4444}, // 1: full, four to the floor
    {0x1111, 0x1010, 0x4444, 0x0000}, // 2: heavy, under the strong bass
    {0x0909, 0x9010, 0xFFFF, 0x0000}, // 3: broken beat
};

// ---------------------------------------------------------------------------------------
// The arrangement: one row per section; a section changes at every scene cut of the show.

constexpr int kNone = -1;

struct Section {
    double start;
    double end;
    int progression;
    float pad;        // pad level, 0 = silent
    int arpeggio;     // kArpeggios index or kNone
    int bassLine;     // kBassLines index or kNone
    int drums;        // kDrumPatterns index or kNone
    bool melody;      // the progression's melody
    int melodyOctave; // transposition of the melody in octaves
    float brightness; // 0 dark .. 1 bright: filter openings
};

constexpr Section kSections[] = {
    {0, 9, 0, 0.35f, kNone, kNone, kNone, false, 0, 0.15f},
    {9, 17, 0, 0.4f, 0, kNone, kNone, false, 0, 0.25f},
    {17, 25, 0, 0.45f, 0, 0, kNone, true, 0, 0.3f},
    {25, 50, 1, 0.7f, 0, 0, 0, true, 0, 0.45f},           // rippling sheet
    {50, 73, 0, 0.5f, 1, 1, 1, true, 0, 0.6f},            // tunnel flight
    {73, 90, 2, 0.4f, kNone, 2, 2, false, 0, 0.5f},       // spectrum rings: the bass section
    {90, 106, 3, 0.6f, 1, 1, 1, true, 0, 0.6f},           // pulsing lattice
    {106, 123, 1, 1.0f, 0, 0, kNone, true, 0, 0.35f},     // cloud morph: breakdown
    {123, 139, 0, 0.7f, 2, 0, 0, true, 1, 0.5f},          // butterfly
    {139, 156, 3, 0.6f, 1, 1, 1, true, 0, 0.6f},          // metaballs
    {156, 171, 2, 0.8f, kNone, 1, 3, true, 0, 0.4f},      // triangle swarm
    {171, 190, 0, 0.6f, 1, 1, 1, true, 1, 0.7f},          // helix columns
    {190, 203, 1, 1.0f, 0, kNone, kNone, false, 0, 0.3f}, // knot: breakdown
    {203, 222, 3, 0.6f, 1, 1, 3, true, 0, 0.65f},         // sphere
    {222, 243, 0, 0.7f, 1, 1, 1, true, 1, 0.8f},          // tube: the climax
    {243, 254, 1, 0.8f, 2, 0, 0, false, 0, 0.45f},        // harmonic shape
    {254, 283, 0, 0.9f, 0, 0, kNone, true, 0, 0.35f},     // the close, fading out
};

// ---------------------------------------------------------------------------------------
// Signal plumbing.

struct Bus {
    std::vector<float> left;
    std::vector<float> right;
};

struct Mix {
    Bus dry;
    Bus echo;                // into the stereo delay
    std::vector<float> room; // into the reverb (mono)
};

struct Pan {
    float left;
    float right;
};

Pan panAt(float position) { // -1 left .. 1 right, constant power
    const double angle = (position + 1.0) * 0.25 * std::numbers::pi;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

struct Sends {
    Pan pan;
    float echo;
    float room;
};

void addSample(Mix* mix, std::size_t index, float value, const Sends& sends) {
    if (index >= mix->room.size()) {
        return;
    }
    const float left = value * sends.pan.left;
    const float right = value * sends.pan.right;
    mix->dry.left[index] += left;
    mix->dry.right[index] += right;
    mix->echo.left[index] += left * sends.echo;
    mix->echo.right[index] += right * sends.echo;
    mix->room[index] += value * sends.room;
}

double noteFrequency(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

std::size_t sampleAt(double seconds) {
    return static_cast<std::size_t>(std::llround(std::max(0.0, seconds) * kRate));
}

// The one noise source, a fixed-seed xorshift generator.
struct Noise {
    std::uint32_t state = 0x9E3779B9u;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

// Band-limited sawtooth step correction (polyBLEP).
double polyBlep(double phase, double increment) {
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Saw {
    double phase = 0.0;
    double increment = 0.0;
    float next() {
        const double value = 2.0 * phase - 1.0 - polyBlep(phase, increment);
        phase += increment;
        if (phase >= 1.0) {
            phase -= 1.0;
        }
        return static_cast<float>(value);
    }
};

// Envelopes and filter sweeps are recomputed every this many samples (0.7 ms), not every
// sample: far too fast to hear, and it keeps the synthesis quick.
constexpr std::size_t kControlSamples = 32;

// A state-variable low-pass filter (Chamberlin form, run twice per sample for stability).
// Its coefficients are worked out again only when the cutoff or the resonance change.
struct LowPass {
    float low = 0.0f;
    float band = 0.0f;
    float cutoff = -1.0f;
    float resonance = -1.0f;
    float f = 0.0f;
    float damping = 2.0f;
    float process(float input, float newCutoff, float newResonance) {
        if (newCutoff != cutoff || newResonance != resonance) {
            cutoff = newCutoff;
            resonance = newResonance;
            f = 2.0f * static_cast<float>(
                           std::sin(std::numbers::pi * std::min(cutoff, 9000.0f) / (2.0 * kRate)));
            damping = 2.0f - 2.0f * resonance;
        }
        for (int pass = 0; pass < 2; ++pass) {
            low += f * band;
            const float high = input - low - damping * band;
            band += f * high;
        }
        return low;
    }
};

// Attack-decay-sustain-release envelope for a note held `hold` seconds.
float adsr(double t, double hold, double attack, double decay, double sustain, double release) {
    double level = 0.0;
    const double atEnd = std::min(1.0, hold / attack);
    const auto held = [&](double time) {
        if (time < attack) {
            return time / attack;
        }
        return sustain + (1.0 - sustain) * std::exp(-(time - attack) / decay);
    };
    if (t < hold) {
        level = held(t);
    } else {
        level = (hold < attack ? atEnd : held(hold)) * std::exp(-(t - hold) / release);
    }
    return static_cast<float>(level);
}

// ---------------------------------------------------------------------------------------
// Instruments. Each adds one note to the mix.

void playPad(Mix* mix, double start, double hold, int pitch, float level, float brightness,
             float pan) {
    constexpr double kRelease = 0.9;
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(hold + 5.0 * kRelease);
    Saw saws[2];
    const double frequency = noteFrequency(pitch);
    saws[0].increment = frequency * std::pow(2.0, 7.0 / 1200.0) / kRate;
    saws[1].increment = frequency * std::pow(2.0, -7.0 / 1200.0) / kRate;
    saws[1].phase = 0.37;
    LowPass filters[2];
    const float cutoff = 500.0f + 2200.0f * brightness;
    const Sends sendsA{panAt(pan - 0.5f), 0.0f, 0.35f};
    const Sends sendsB{panAt(pan + 0.5f), 0.0f, 0.35f};
    float envelope = 0.0f;
    float swell = cutoff;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % kControlSamples == 0) {
            const double t = i / kRate;
            envelope = level * adsr(t, hold, 0.6, 1.0, 1.0, kRelease);
            swell = cutoff * (0.85f + 0.15f * static_cast<float>(std::sin(0.7 * t)));
        }
        addSample(mix, first + i, envelope * filters[0].process(saws[0].next(), swell, 0.2f),
                  sendsA);
        addSample(mix, first + i, envelope * filters[1].process(saws[1].next(), swell, 0.2f),
                  sendsB);
    }
}

void playBass(Mix* mix, double start, double hold, int pitch, float level, bool strong) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(hold + 0.4);
    const double frequency = noteFrequency(pitch);
    Saw saw;
    saw.increment = frequency / kRate;
    double subPhase = 0.0;
    LowPass filter;
    const Sends sends{panAt(0.0f), 0.0f, 0.02f};
    const float baseCutoff = strong ? 180.0f : 140.0f;
    const float sweep = strong ? 1400.0f : 500.0f;
    float envelope = 0.0f;
    float cutoff = baseCutoff;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % kControlSamples == 0) {
            const double t = i / kRate;
            envelope = adsr(t, hold, 0.004, 0.25, strong ? 0.8 : 0.6, 0.05);
            cutoff = baseCutoff + sweep * static_cast<float>(std::exp(-t * 9.0));
        }
        const float body = filter.process(saw.next(), cutoff, strong ? 0.55f : 0.3f);
        const float sub = static_cast<float>(std::sin(kTwoPi * subPhase));
        subPhase += frequency / kRate;
        float value = body * 0.8f + sub * (strong ? 0.9f : 0.5f);
        if (strong) {
            value = std::tanh(1.6f * value) * 0.8f; // a little drive for growl
        }
        addSample(mix, first + i, level * envelope * value, sends);
    }
}

void playLead(Mix* mix, double start, double hold, int pitch, float level, float brightness) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(hold + 0.6);
    const double frequency = noteFrequency(pitch);
    Saw saws[2];
    saws[1].phase = 0.5;
    LowPass filter;
    const Sends sends{panAt(0.1f), 0.35f, 0.25f};
    float envelope = 0.0f;
    float cutoff = 900.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % kControlSamples == 0) {
            const double t = i / kRate;
            // Vibrato that grows in after the attack.
            const double vibrato = 1.0 + 0.004 * std::min(1.0, std::max(0.0, t - 0.25) * 2.0) *
                                             std::sin(kTwoPi * 5.2 * t);
            saws[0].increment = frequency * vibrato / kRate;
            saws[1].increment = frequency * vibrato * 1.003 / kRate;
            envelope = adsr(t, hold, 0.015, 0.4, 0.7, 0.12);
            cutoff = 900.0f + 2600.0f * brightness * (0.6f + 0.4f * envelope);
        }
        // Two saws half a cycle apart make a square-like, hollow tone.
        const float tone = 0.5f * (saws[0].next() - saws[1].next() * 0.6f);
        addSample(mix, first + i, level * envelope * filter.process(tone, cutoff, 0.25f), sends);
    }
}

void playPluck(Mix* mix, double start, int pitch, float level, float brightness, float pan) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(0.8);
    Saw saw;
    saw.increment = noteFrequency(pitch) / kRate;
    LowPass filter;
    const Sends sends{panAt(pan), 0.3f, 0.2f};
    float cutoff = 300.0f;
    // The decay runs per sample as a running product; the 2.5 ms attack as a ramp.
    const double decayPerSample = std::exp(-9.0 / kRate);
    double decay = 1.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / kRate;
        if (i % kControlSamples == 0) {
            cutoff =
                300.0f + (1200.0f + 3000.0f * brightness) * static_cast<float>(std::exp(-t * 14.0));
        }
        const float envelope = static_cast<float>(decay * std::min(1.0, t * 400.0));
        decay *= decayPerSample;
        addSample(mix, first + i, level * envelope * filter.process(saw.next(), cutoff, 0.35f),
                  sends);
    }
}

void playBell(Mix* mix, double start, int pitch, float level, float pan) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(2.5);
    const double frequency = noteFrequency(pitch);
    const Sends sends{panAt(pan), 0.4f, 0.4f};
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / kRate;
        // Two-operator FM: a bright strike that mellows into a sine.
        const double index = 2.2 * std::exp(-t * 6.0);
        const double value =
            std::sin(kTwoPi * frequency * t + index * std::sin(kTwoPi * frequency * 2.0 * t));
        const double envelope = std::exp(-t * 2.6) * std::min(1.0, t * 300.0);
        addSample(mix, first + i, static_cast<float>(level * envelope * value), sends);
    }
}

// The heavy kick sits lower and rings longer: it belongs to the bass section.
void playKick(Mix* mix, double start, float level, bool heavy) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(0.9);
    double phase = 0.0;
    const Sends sends{panAt(0.0f), 0.0f, 0.0f};
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / kRate;
        const double frequency = (heavy ? 46.0 : 62.0) + 120.0 * std::exp(-t * 28.0);
        phase += frequency / kRate;
        const double body = std::sin(kTwoPi * phase) * std::exp(-t * (heavy ? 6.0 : 13.0));
        const double click = std::exp(-t * 600.0) * 0.4;
        addSample(mix, first + i, static_cast<float>(level * (body + click)), sends);
    }
}

void playSnare(Mix* mix, double start, float level, Noise* noise) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(0.3);
    LowPass tone;
    const Sends sends{panAt(-0.05f), 0.05f, 0.45f};
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / kRate;
        const float hiss = noise->next();
        const float filtered = hiss - tone.process(hiss, 1500.0f, 0.1f); // keep the top
        const double body = std::sin(kTwoPi * 185.0 * t) * std::exp(-t * 30.0);
        const double value = filtered * std::exp(-t * 16.0) * 0.8 + body * 0.6;
        addSample(mix, first + i, static_cast<float>(level * value), sends);
    }
}

void playHat(Mix* mix, double start, float level, bool open, Noise* noise) {
    const std::size_t first = sampleAt(start);
    const std::size_t count = sampleAt(open ? 0.6 : 0.1);
    LowPass body;
    LowPass air;
    const Sends sends{panAt(0.35f), 0.0f, 0.1f};
    const double decay = open ? 9.0 : 55.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / kRate;
        const float hiss = noise->next();
        const float high = air.process(hiss - body.process(hiss, 6000.0f, 0.0f), 9000.0f, 0.1f);
        addSample(mix, first + i, static_cast<float>(level * high * std::exp(-t * decay)), sends);
    }
}

// ---------------------------------------------------------------------------------------
// The arrangement played into the mix.

int phraseSteps() {
    return kStepsPerBar * kBarsPerPhrase;
}

const Chord& chordAt(const Section& section, int step) {
    return kProgressions[section.progression][(step / kStepsPerBar) % kBarsPerPhrase];
}

int chordTone(const Chord& chord, int index) {
    return chord.padNotes[index % 3] + 12 * (index / 3);
}

int sectionSteps(const Section& section) {
    return static_cast<int>(std::lround((section.end - section.start) / kStepSeconds));
}

// Plays `length` steps from `step`, cut at the section's end.
double heldSeconds(const Section& section, int step, int length) {
    return std::min(step + length, sectionSteps(section)) * kStepSeconds - step * kStepSeconds;
}

void playPads(Mix* mix, const Section& section) {
    if (section.pad <= 0.0f) {
        return;
    }
    for (int bar = 0; bar * kStepsPerBar < sectionSteps(section); ++bar) {
        const int step = bar * kStepsPerBar;
        const Chord& chord = chordAt(section, step);
        const double hold = heldSeconds(section, step, kStepsPerBar);
        for (int voice = 0; voice < 3; ++voice) {
            playPad(mix, section.start + step * kStepSeconds, hold, chord.padNotes[voice],
                    0.035f * section.pad, section.brightness, (voice - 1) * 0.3f);
        }
    }
}

void playBassLine(Mix* mix, const Section& section) {
    if (section.bassLine == kNone) {
        return;
    }
    const bool strong = section.bassLine == 2;
    const Part& line = kBassLines[section.bassLine];
    for (int bar = 0; bar * kStepsPerBar < sectionSteps(section); ++bar) {
        for (int n = 0; n < line.count; ++n) {
            const int step = bar * kStepsPerBar + line.notes[n].step;
            if (step >= sectionSteps(section)) {
                break;
            }
            const int pitch = chordAt(section, step).bassNote + line.notes[n].pitch;
            playBass(mix, section.start + step * kStepSeconds,
                     heldSeconds(section, step, line.notes[n].length) - 0.02, pitch,
                     strong ? 0.38f : 0.12f, strong);
        }
    }
}

void playArpeggio(Mix* mix, const Section& section) {
    if (section.arpeggio == kNone) {
        return;
    }
    const ArpPattern& pattern = kArpeggios[section.arpeggio];
    const bool bells = section.arpeggio == 2;
    for (int step = 0; step < sectionSteps(section); step += pattern.stepsPerNote) {
        const int index =
            pattern.order[(step % kStepsPerBar) / pattern.stepsPerNote % pattern.count];
        const int pitch = chordTone(chordAt(section, step), index) + 12;
        const double start = section.start + step * kStepSeconds;
        const float accent = (step % 4 == 0) ? 1.0f : 0.75f;
        const float pan = ((step / pattern.stepsPerNote) % 2 == 0) ? -0.45f : 0.45f;
        if (bells) {
            playBell(mix, start, pitch, 0.05f * accent, pan);
        } else {
            playPluck(mix, start, pitch, 0.07f * accent, section.brightness, pan);
        }
    }
}

void playMelody(Mix* mix, const Section& section) {
    if (!section.melody) {
        return;
    }
    const Part& melody = kMelodies[section.progression];
    for (int phrase = 0; phrase * phraseSteps() < sectionSteps(section); ++phrase) {
        for (int n = 0; n < melody.count; ++n) {
            const Note& note = melody.notes[n];
            const int step = phrase * phraseSteps() + note.step;
            if (step >= sectionSteps(section)) {
                break;
            }
            // Variation: every second phrase answers the first an octave higher in its
            // second half (unless the whole melody is already up an octave).
            const bool lifted =
                section.melodyOctave == 0 && phrase % 2 == 1 && note.step >= 2 * kStepsPerBar;
            const int pitch = note.pitch + 12 * (section.melodyOctave + (lifted ? 1 : 0));
            playLead(mix, section.start + step * kStepSeconds,
                     heldSeconds(section, step, note.length) - 0.03, pitch, 0.11f,
                     section.brightness);
        }
    }
}

void playDrums(Mix* mix, const Section& section, Noise* noise) {
    if (section.drums == kNone) {
        return;
    }
    const DrumPattern& pattern = kDrumPatterns[section.drums];
    for (int step = 0; step < sectionSteps(section); ++step) {
        const unsigned bit = 1u << (step % kStepsPerBar);
        const double start = section.start + step * kStepSeconds;
        // A snare fill at the end of every phrase of the full patterns.
        const bool fill = section.drums != 0 && step % phraseSteps() >= phraseSteps() - 3;
        if (pattern.kick & bit) {
            playKick(mix, start, section.drums == 2 ? 0.5f : 0.38f, section.drums == 2);
        }
        if ((pattern.snare & bit) || fill) {
            playSnare(mix, start, fill ? 0.12f + 0.04f * (step % 4) : 0.2f, noise);
        }
        if (pattern.closedHat & bit) {
            playHat(mix, start, (step % 4 == 2) ? 0.11f : 0.06f, false, noise);
        }
        if (pattern.openHat & bit) {
            playHat(mix, start, 0.06f, true, noise);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Effects and the master.

// A ping-pong delay of a dotted eighth, darkened on every repeat.
void applyEcho(const Bus& send, Bus* out) {
    const std::size_t delay = sampleAt(3.0 * kStepSeconds);
    const float feedback = 0.38f;
    std::vector<float> lineLeft(delay, 0.0f);
    std::vector<float> lineRight(delay, 0.0f);
    float toneLeft = 0.0f;
    float toneRight = 0.0f;
    for (std::size_t i = 0; i < send.left.size(); ++i) {
        const std::size_t slot = i % delay;
        const float fromLeft = lineLeft[slot];
        const float fromRight = lineRight[slot];
        toneLeft += 0.35f * (fromLeft - toneLeft);
        toneRight += 0.35f * (fromRight - toneRight);
        out->left[i] += toneLeft;
        out->right[i] += toneRight;
        // Crossed feedback: each repeat swaps sides.
        lineLeft[slot] = send.left[i] + send.right[i] * 0.3f + toneRight * feedback;
        lineRight[slot] = send.right[i] * 0.7f + toneLeft * feedback;
    }
}

struct Comb {
    std::vector<float> line;
    std::size_t position = 0;
    float store = 0.0f;
    float process(float input, float feedback, float damping) {
        const float output = line[position];
        store = output * (1.0f - damping) + store * damping;
        line[position] = input + store * feedback;
        if (++position == line.size()) {
            position = 0;
        }
        return output;
    }
};

struct AllPass {
    std::vector<float> line;
    std::size_t position = 0;
    float process(float input) {
        const float buffered = line[position];
        line[position] = input + buffered * 0.5f;
        if (++position == line.size()) {
            position = 0;
        }
        return buffered - input;
    }
};

// A small room: parallel damped combs into series all-passes, spread differently per side.
void applyRoom(const std::vector<float>& send, Bus* out) {
    constexpr std::size_t kCombLengths[] = {1116, 1188, 1277, 1356, 1422, 1491};
    constexpr std::size_t kAllPassLengths[] = {556, 441, 341};
    constexpr std::size_t kSpread = 23;
    for (int side = 0; side < 2; ++side) {
        std::vector<Comb> combs;
        for (const std::size_t length : kCombLengths) {
            combs.push_back({std::vector<float>(length + side * kSpread, 0.0f)});
        }
        std::vector<AllPass> allPasses;
        for (const std::size_t length : kAllPassLengths) {
            allPasses.push_back({std::vector<float>(length + side * kSpread, 0.0f)});
        }
        std::vector<float>& target = side == 0 ? out->left : out->right;
        for (std::size_t i = 0; i < send.size(); ++i) {
            const float input = send[i] * 0.03f;
            float sum = 0.0f;
            for (Comb& comb : combs) {
                sum += comb.process(input, 0.82f, 0.3f);
            }
            for (AllPass& allPass : allPasses) {
                sum = allPass.process(sum);
            }
            target[i] += sum;
        }
    }
}

// Loudness gain of the master, set by measuring the encoded track (about -14 LUFS).
constexpr float kMasterGain = 2.0f;
// The limiter's ceiling, leaving room for the encoder's overshoot (true peak below -1 dBTP).
constexpr float kCeiling = 0.78f;
// Look-ahead and release of the limiter.
constexpr std::size_t kLookAhead = 88; // 2 ms
constexpr double kReleaseSeconds = 0.12;

// A second-order low-pass (RBJ biquad) that takes the very top off the master: content the
// encoder would drop anyway and that would only raise the true peak.
void trimTop(std::vector<float>* channel, double cutoff) {
    const double w = kTwoPi * cutoff / kRate;
    const double alpha = std::sin(w) / std::numbers::sqrt2; // Q = 1 / sqrt 2: Butterworth
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 - std::cos(w)) / 2.0 / a0;
    const double b1 = (1.0 - std::cos(w)) / a0;
    const double a1 = -2.0 * std::cos(w) / a0;
    const double a2 = (1.0 - alpha) / a0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (float& sample : *channel) {
        const double x = sample;
        const double y = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        sample = static_cast<float>(y);
    }
}

// The bus compressor that evens out the mix before the limiter: an RMS detector over both
// channels, a threshold and ratio, smooth attack and release, and make-up gain.
constexpr double kCompressorThresholdDb = -16.0;
constexpr double kCompressorRatio = 2.5;
constexpr double kCompressorMakeUpDb = 5.7;

void compress(Bus* bus) {
    const double detect = 1.0 - std::exp(-1.0 / (0.02 * kRate));
    const double attack = 1.0 - std::exp(-1.0 / (0.01 * kRate));
    const double release = 1.0 - std::exp(-1.0 / (0.2 * kRate));
    double meanSquare = 0.0;
    double reductionDb = 0.0;
    for (std::size_t i = 0; i < bus->left.size(); ++i) {
        const double left = bus->left[i];
        const double right = bus->right[i];
        meanSquare += detect * (0.5 * (left * left + right * right) - meanSquare);
        const double levelDb = 10.0 * std::log10(meanSquare + 1e-12);
        const double wantedDb =
            std::max(0.0, levelDb - kCompressorThresholdDb) * (1.0 - 1.0 / kCompressorRatio);
        reductionDb += (wantedDb > reductionDb ? attack : release) * (wantedDb - reductionDb);
        const float gain =
            static_cast<float>(std::pow(10.0, (kCompressorMakeUpDb - reductionDb) / 20.0));
        bus->left[i] *= gain;
        bus->right[i] *= gain;
    }
}

// A look-ahead peak limiter: the gain reaches what a peak needs before the peak arrives and
// recovers smoothly afterwards, so nothing is clipped.
void limit(Bus* bus) {
    const std::size_t count = bus->left.size();
    std::vector<float> needed(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float peak = std::max(std::abs(bus->left[i]), std::abs(bus->right[i]));
        needed[i] = peak > kCeiling ? kCeiling / peak : 1.0f;
    }
    // Minimum of the needed gain over the next kLookAhead samples (a monotonic queue).
    std::vector<float> ahead(count);
    std::deque<std::size_t> window;
    for (std::size_t i = count; i-- > 0;) {
        while (!window.empty() && needed[window.back()] >= needed[i]) {
            window.pop_back();
        }
        window.push_back(i);
        while (window.front() >= i + kLookAhead) {
            window.pop_front();
        }
        ahead[i] = needed[window.front()];
    }
    // Slow recovery, never above what the look-ahead asks for.
    const float recover = static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * kRate)));
    float gain = 1.0f;
    for (std::size_t i = 0; i < count; ++i) {
        gain = std::min(ahead[i], gain + (1.0f - gain) * recover);
        ahead[i] = gain;
    }
    // Averaging over the look-ahead length smooths the attack; at every peak the average
    // stays at or below the gain that peak needs.
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += ahead[i];
        if (i >= kLookAhead) {
            sum -= ahead[i - kLookAhead];
        }
        const std::size_t span = std::min(i + 1, kLookAhead);
        const float smooth = static_cast<float>(sum / span);
        const float g = std::min(smooth, needed[i]);
        bus->left[i] *= g;
        bus->right[i] *= g;
    }
}

float fadeAt(double t) {
    if (t <= kFadeOutStart) {
        return 1.0f;
    }
    if (t >= kFadeOutEnd) {
        return 0.0f;
    }
    const double u = (t - kFadeOutStart) / (kFadeOutEnd - kFadeOutStart);
    return static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * u));
}

} // namespace

StereoSignal synthesizeTrack() {
    const std::size_t count = sampleAt(kTrackSeconds);
    Mix mix;
    for (Bus* bus : {&mix.dry, &mix.echo}) {
        bus->left.assign(count, 0.0f);
        bus->right.assign(count, 0.0f);
    }
    mix.room.assign(count, 0.0f);
    Noise noise;
    for (const Section& section : kSections) {
        playPads(&mix, section);
        playBassLine(&mix, section);
        playArpeggio(&mix, section);
        playMelody(&mix, section);
        playDrums(&mix, section, &noise);
    }
    Bus master = mix.dry;
    applyEcho(mix.echo, &master);
    applyRoom(mix.room, &master);
    // Remove any DC offset, then set the level.
    for (std::vector<float>* channel : {&master.left, &master.right}) {
        float previousIn = 0.0f;
        float previousOut = 0.0f;
        for (float& sample : *channel) {
            const float out = sample - previousIn + 0.9995f * previousOut;
            previousIn = sample;
            previousOut = out;
            sample = out * kMasterGain;
        }
        trimTop(channel, 15000.0);
    }
    compress(&master);
    limit(&master);
    for (std::size_t i = 0; i < count; ++i) {
        const float fade = fadeAt(i / kRate);
        master.left[i] *= fade;
        master.right[i] *= fade;
    }
    return StereoSignal{std::move(master.left), std::move(master.right)};
}

std::vector<std::uint8_t> encodeWav16(const StereoSignal& signal) {
    const std::uint32_t frames = static_cast<std::uint32_t>(signal.left.size());
    const std::uint32_t dataBytes = frames * 4;
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    const auto tag = [&out](const char* text) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(text[i]));
        }
    };
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(2, 2); // channels
    put(kTrackSampleRate, 4);
    put(kTrackSampleRate * 4, 4); // bytes per second
    put(4, 2);                    // bytes per frame
    put(16, 2);                   // bits per sample
    tag("data");
    put(dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (const std::vector<float>* channel : {&signal.left, &signal.right}) {
            const float value = std::clamp((*channel)[i], -1.0f, 1.0f);
            const auto sample = static_cast<std::int16_t>(std::lround(value * 32767.0f));
            put(static_cast<std::uint16_t>(sample), 2);
        }
    }
    return out;
}
