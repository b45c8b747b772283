#include "sounds.hpp"

#include <array>

namespace synth {
namespace {

constexpr double kEffectPeak = 0.89; // about -1 dBFS
constexpr double kMusicPeak = 0.45;  // background music stays under the effects

double smoothstep(double edge0, double edge1, double x)
{
    const double u = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return u * u * (3.0 - 2.0 * u);
}

// Linear attack over `attack` seconds; avoids clicks at note onsets.
double ramp(double t, double attack) { return std::min(1.0, t / attack); }

// ---------------------------------------------------------------- dung.wav
// FM brass with a 1:1 carrier/modulator ratio. The modulation index follows
// the envelope, so the note brightens as it swells like a real horn; a small
// pitch scoop at the onset and a delayed vibrato add life.
void addBrass(Buffer &out, double start, double gate, double midi, double level, double detune)
{
    const Adsr env{0.035, 0.15, 0.72, 0.40};
    const double hz = noteHz(midi) * cents(detune);
    Phase carrier;
    Phase vibrato;
    render(out, start, env.length(gate), [&](double t) {
        const double e = env(t, gate);
        const double vibDepth = 0.004 * smoothstep(0.25, 0.55, t);
        const double scoop = 1.0 - 0.015 * std::exp(-t / 0.02);
        const double f = hz * scoop * (1.0 + vibDepth * sine(vibrato.tick(5.5)));
        const double p = kTwoPi * carrier.tick(f);
        const double index = 0.6 + 3.0 * e;
        return level * e * std::sin(p + index * std::sin(p));
    });
}

Buffer makeDung()
{
    Buffer b = makeBuffer(2.1);
    constexpr double releaseAt = 1.55; // every note lets go together
    constexpr double step = 0.11;
    const std::array<double, 4> arpeggio{72, 76, 79, 84}; // C5 E5 G5 C6
    for (std::size_t i = 0; i < arpeggio.size(); ++i) {
        const double start = step * static_cast<double>(i);
        addBrass(b, start, releaseAt - start, arpeggio[i], 0.22, 0.0);
        addBrass(b, start, releaseAt - start, arpeggio[i], 0.13, 7.0); // ensemble
    }
    // Lower brass joins on the top note to complete the chord.
    const double top = step * 3.0;
    addBrass(b, top, releaseAt - top, 60, 0.20, -4.0);
    addBrass(b, top, releaseAt - top, 67, 0.15, 3.0);
    // A soft cymbal wash on the top note.
    Rng rng(1234);
    Svf hp;
    render(b, top, 1.7, [&](double t) {
        const double n = hp.process(rng.next(), 6000.0, 0.7).high;
        return 0.06 * ramp(t, 0.005) * std::exp(-t / 0.45) * n;
    });
    finish(b, kEffectPeak, 0.003, 0.05);
    return b;
}

// ----------------------------------------------------------------- sai.wav
// A muted-trombone "wah wah wah waaah": two detuned band-limited saws and a
// sub-octave through a resonant low-pass whose cutoff opens and closes on
// every note. The last note slides down a whole tone and wobbles.
Buffer makeSai()
{
    struct Note {
        double start;
        double gate;
        double midi;
    };
    const std::array<Note, 4> notes{{{0.00, 0.17, 55}, {0.24, 0.17, 54}, {0.48, 0.17, 53}, {0.72, 0.45, 52}}};
    const Adsr shortEnv{0.02, 0.06, 0.85, 0.05};
    const Adsr longEnv{0.02, 0.10, 0.90, 0.20};

    constexpr double length = 1.4;
    Buffer b = makeBuffer(length);
    Phase p1, p2, sub, wobble;
    Svf lp;
    render(b, 0.0, length, [&](double t) {
        // Notes never overlap: each release ends before the next note starts,
        // so switching pitch here happens in silence.
        const Note *cur = &notes.front();
        for (const Note &n : notes)
            if (t >= n.start)
                cur = &n;
        const bool last = cur == &notes.back();
        const double u = t - cur->start;

        double hz = noteHz(cur->midi);
        double cutoff;
        double e;
        if (last) {
            hz *= std::exp2(-2.0 / 12.0 * smoothstep(0.1, 0.6, u));
            hz *= 1.0 + 0.012 * smoothstep(0.05, 0.3, u) * sine(wobble.tick(5.0));
            const double wah = 0.5 - 0.5 * std::cos(kTwoPi * 4.0 * u);
            cutoff = 250.0 + 1100.0 * wah * std::exp(-u / 0.8);
            e = longEnv(u, cur->gate);
        } else {
            const double open = u < 0.05 ? u / 0.05 : std::exp(-(u - 0.05) / 0.12);
            cutoff = 280.0 + 1400.0 * open;
            e = shortEnv(u, cur->gate);
        }
        const double x = 0.5 * (saw(p1.tick(hz * cents(-7.0)), hz) + saw(p2.tick(hz * cents(7.0)), hz)) +
                         0.3 * sine(sub.tick(hz * 0.5));
        return e * lp.process(x, cutoff, 2.2).low;
    });
    finish(b, kEffectPeak, 0.003, 0.04);
    return b;
}

// ---------------------------------------------------------------- ding.wav
// A struck bar/bell: inharmonic partials, each decaying exponentially, the
// higher ones faster. A slightly detuned twin of the fundamental beats
// slowly, which gives the shimmer of a real bell.
Buffer makeDing()
{
    struct Partial {
        double ratio;
        double amp;
        double tau;
    };
    const std::array<Partial, 6> partials{{
        {1.000, 1.00, 0.32},
        {1.004, 0.50, 0.30},
        {2.000, 0.25, 0.16},
        {2.756, 0.45, 0.11},
        {5.404, 0.18, 0.05},
        {8.933, 0.08, 0.025},
    }};
    constexpr double length = 0.85;
    const double f0 = noteHz(84); // C6
    Buffer b = makeBuffer(length);
    for (const Partial &p : partials) {
        Phase ph;
        const double hz = f0 * p.ratio;
        if (hz >= kPartialLimit)
            continue;
        render(b, 0.0, length, [&](double t) {
            return p.amp * ramp(t, 0.0015) * std::exp(-t / p.tau) * sine(ph.tick(hz));
        });
    }
    finish(b, kEffectPeak, 0.001, 0.08);
    return b;
}

// --------------------------------------------------------------- click.qbs
// A soft blip: a sine chirping down an octave with a very fast decay, plus
// a tiny band-passed noise transient for the "tick" of a button.
Buffer makeClick()
{
    constexpr double length = 0.09;
    Buffer b = makeBuffer(length);
    Phase ph;
    Rng rng(77);
    Svf bp;
    render(b, 0.0, length, [&](double t) {
        const double f = 1100.0 + 1100.0 * std::exp(-t / 0.012);
        const double tone = sine(ph.tick(f)) * ramp(t, 0.001) * std::exp(-t / 0.014);
        const double noise = bp.process(rng.next(), 3200.0, 1.2).band * std::exp(-t / 0.003);
        return 0.8 * tone + 0.35 * noise;
    });
    finish(b, 0.7, 0.0005, 0.01);
    return b;
}

// ---------------------------------------------------------------- exit.qbs
// Soft mallet chime: mostly harmonic partials, a faint inharmonic tinkle.
void addChime(Buffer &out, double start, double midi, double level, double seconds)
{
    struct Partial {
        double ratio;
        double amp;
        double tau;
    };
    const std::array<Partial, 4> partials{{{1.0, 1.0, 0.55}, {2.0, 0.22, 0.28}, {3.0, 0.07, 0.14}, {4.16, 0.06, 0.08}}};
    const double hz = noteHz(midi);
    for (const Partial &p : partials) {
        Phase ph;
        render(out, start, seconds, [&](double t) {
            return level * p.amp * ramp(t, 0.006) * std::exp(-t / p.tau) * sine(ph.tick(hz * p.ratio));
        });
    }
}

Buffer makeExit()
{
    constexpr double length = 1.35;
    Buffer b = makeBuffer(length);
    const std::array<double, 4> notes{84, 79, 76, 72}; // C6 G5 E5 C5, falling
    const std::array<double, 4> levels{0.55, 0.60, 0.65, 0.80};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const double start = 0.15 * static_cast<double>(i);
        addChime(b, start, notes[i], levels[i], length - start);
    }
    finish(b, 0.85, 0.002, 0.2);
    return b;
}

// ------------------------------------------------------------- ringout.wav
// Two rings of a telephone: the 440 + 480 Hz dual tone (which beats at
// 40 Hz by itself) with a 20 Hz tremolo, like a bell clapper.
Buffer makeRingout()
{
    constexpr double length = 2.45;
    constexpr double ring = 0.95;
    Buffer b = makeBuffer(length);
    const std::array<double, 3> amps{1.0, 0.18, 0.10};
    for (double start : {0.0, 1.45}) {
        Phase lo, hi, trem;
        render(b, start, ring, [&](double t) {
            const double env = ramp(t, 0.012) * std::clamp((ring - t) / 0.03, 0.0, 1.0);
            const double tremolo = 0.6 + 0.4 * sine(trem.tick(20.0));
            const double tone = harmonics(lo.tick(440.0), 440.0, amps) + harmonics(hi.tick(480.0), 480.0, amps);
            return 0.5 * env * tremolo * tone;
        });
    }
    finish(b, kEffectPeak, 0.002, 0.02);
    return b;
}

// ------------------------------------------------------------------ tg.wav
// Thirty seconds of countdown: tick-tock twice a second over a low A drone
// that pulses with the clock. Tension rises: the drone grows, a dissonant
// B-flat creeps in and the last five seconds tick louder.
Buffer makeTg()
{
    constexpr double length = 30.0;
    constexpr double offset = 0.1; // first tick, clear of the fade-in
    Buffer b = makeBuffer(length);

    const std::array<double, 5> droneAmps{1.0, 0.6, 0.35, 0.2, 0.1};
    const double root = noteHz(33);    // A1
    const double fifth = noteHz(40);   // E2
    const double tension = noteHz(46); // B-flat 2
    Phase d1, d2, d3;
    render(b, 0.0, length, [&](double t) {
        const double beat = t - offset - std::floor(t - offset);
        const double pulse = std::pow(0.5 + 0.5 * std::cos(kTwoPi * (beat - 0.08)), 3.0);
        const double intensity = 0.55 + 0.45 * (t / length);
        const double dissonance = smoothstep(15.0, 27.0, t);
        const double drone = harmonics(d1.tick(root), root, droneAmps) +
                             0.6 * harmonics(d2.tick(fifth * cents(3.0)), fifth, droneAmps) +
                             0.35 * dissonance * harmonics(d3.tick(tension), tension, droneAmps);
        return 0.25 * intensity * (0.55 + 0.45 * pulse) * drone;
    });

    Rng rng(2024);
    constexpr int ticks = 60;
    for (int i = 0; i < ticks; ++i) {
        const double f = i % 2 == 0 ? 2600.0 : 1900.0;
        const double level = i >= ticks - 10 ? 1.0 : 0.8;
        Svf bp;
        Phase ph;
        render(b, offset + 0.5 * i, 0.06, [&](double t) {
            const double noise = bp.process(rng.next(), f, 6.0).band * std::exp(-t / 0.006);
            const double ping = sine(ph.tick(f)) * std::exp(-t / 0.012);
            return level * ramp(t, 0.0008) * (0.7 * noise + 0.5 * ping);
        });
    }
    finish(b, kEffectPeak, 0.05, 0.4);
    return b;
}

// ------------------------------------------------------------------- w.wav
// Suspense whoosh: noise through a band-pass sweeping up from 250 Hz to
// 5 kHz, a shimmering A-major cluster gliding up a fifth and a rising sub
// tone, all swelling to a peak and then falling away quickly.
Buffer makeW()
{
    constexpr double length = 2.4;
    constexpr double peakAt = 1.9;
    Buffer b = makeBuffer(length);

    const std::array<double, 6> cluster{69, 73, 76, 81, 85, 88}; // A4 C#5 E5 A5 C#6 E6
    const std::array<double, 6> tremRate{7.0, 8.3, 9.1, 10.7, 11.9, 13.1};
    std::array<Phase, 6> shimmer{Phase(0.0), Phase(0.31), Phase(0.57), Phase(0.12), Phase(0.84), Phase(0.45)};
    std::array<Phase, 6> trem{};
    Phase sub;
    Rng rng(4242);
    Svf bp;
    render(b, 0.0, length, [&](double t) {
        const double x = std::min(t / peakAt, 1.0);
        const double env = t < peakAt ? x * x : std::exp(-(t - peakAt) / 0.15);
        const double centre = 250.0 * std::pow(5000.0 / 250.0, x);
        const double noise = bp.process(rng.next(), centre, 1.2).band;

        const double glide = std::pow(1.5, x);
        double shine = 0.0;
        for (std::size_t i = 0; i < cluster.size(); ++i) {
            const double amp = 0.5 + 0.5 * sine(trem[i].tick(tremRate[i]));
            shine += amp * sine(shimmer[i].tick(noteHz(cluster[i]) * glide));
        }
        const double rumble = sine(sub.tick(70.0 * (1.0 + x)));
        return env * (0.6 * noise + 0.12 * x * shine + 0.25 * rumble);
    });
    finish(b, kEffectPeak, 0.01, 0.05);
    return b;
}

// ----------------------------------------------------------------- nen.wav
// Calm loop, 80 bpm, eight bars of C - Am - F - G (twice): a soft detuned
// pad, a round bass, a music-box arpeggio in eighths, and in the second
// half a simple flute-like tune. Every voice is rendered circularly
// (tails past the end wrap to the start), so the loop point is seamless.
constexpr double kBeat = 60.0 / 80.0;
constexpr double kBar = 4.0 * kBeat;

void addPad(Buffer &out, double start, double gate, double midi, double level)
{
    const Adsr env{0.8, 0.5, 0.8, 1.4};
    static const std::array<double, 6> amps{1.0, 0.45, 0.25, 0.12, 0.07, 0.04};
    const double hz = noteHz(midi);
    Phase a, c(0.37);
    render(out, start, env.length(gate), [&](double t) {
        const double v = harmonics(a.tick(hz * cents(-6.0)), hz, amps) + harmonics(c.tick(hz * cents(6.0)), hz, amps);
        return level * env(t, gate) * 0.5 * v;
    }, true);
}

void addBass(Buffer &out, double start, double gate, double midi, double level)
{
    const Adsr env{0.04, 0.6, 0.6, 0.5};
    static const std::array<double, 3> amps{1.0, 0.3, 0.1};
    const double hz = noteHz(midi);
    Phase ph;
    render(out, start, env.length(gate), [&](double t) {
        return level * env(t, gate) * harmonics(ph.tick(hz), hz, amps);
    }, true);
}

// Music-box tone: FM with a 1:4 ratio whose index dies away quickly.
void addBell(Buffer &out, double start, double midi, double level)
{
    const double hz = noteHz(midi);
    Phase ph;
    render(out, start, 1.6, [&](double t) {
        const double p = kTwoPi * ph.tick(hz);
        const double index = 1.2 * std::exp(-t / 0.08);
        const double fade = std::clamp((1.6 - t) / 0.2, 0.0, 1.0);
        return level * ramp(t, 0.003) * std::exp(-t / 0.7) * fade * std::sin(p + index * std::sin(4.0 * p));
    }, true);
}

void addFlute(Buffer &out, double start, double gate, double midi, double level)
{
    const Adsr env{0.05, 0.2, 0.75, 0.3};
    static const std::array<double, 4> amps{1.0, 0.25, 0.08, 0.03};
    const double hz = noteHz(midi);
    Phase ph, vib;
    render(out, start, env.length(gate), [&](double t) {
        const double f = hz * (1.0 + 0.005 * smoothstep(0.2, 0.5, t) * sine(vib.tick(5.0)));
        return level * env(t, gate) * harmonics(ph.tick(f), f, amps);
    }, true);
}

Buffer makeNen()
{
    struct Chord {
        double bass;
        std::array<double, 3> pad;
    };
    const std::array<Chord, 4> progression{{
        {48, {60, 64, 67}}, // C
        {45, {57, 60, 64}}, // Am
        {41, {57, 60, 65}}, // F
        {43, {59, 62, 67}}, // G
    }};
    constexpr int bars = 8;
    Buffer b = makeBuffer(bars * kBar);

    const std::array<int, 8> arpPattern{0, 1, 2, 3, 2, 1, 2, 1};
    for (int bar = 0; bar < bars; ++bar) {
        const Chord &chord = progression[static_cast<std::size_t>(bar % 4)];
        const double t = bar * kBar;
        for (double note : chord.pad)
            addPad(b, t, kBar, note, 0.10);
        addBass(b, t, kBar - 0.3, chord.bass, 0.22);

        const std::array<double, 4> tones{chord.pad[0] + 12, chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[0] + 24};
        const double arpLevel = bar >= 4 ? 0.045 : 0.07; // step back under the tune
        for (std::size_t i = 0; i < arpPattern.size(); ++i) {
            const double accent = i % 2 == 0 ? 1.0 : 0.75;
            addBell(b, t + static_cast<double>(i) * kBeat / 2.0, tones[static_cast<std::size_t>(arpPattern[i])],
                    arpLevel * accent);
        }
    }

    struct MelodyNote {
        double beat;
        double beats;
        double midi;
    };
    const std::array<MelodyNote, 14> tune{{
        {0, 1.5, 79}, {1.5, 0.5, 76}, {2, 1, 72}, {3, 1, 76},     // C
        {4, 1.5, 81}, {5.5, 0.5, 79}, {6, 2, 76},                 // Am
        {8, 1.5, 77}, {9.5, 0.5, 81}, {10, 1, 84}, {11, 1, 81},   // F
        {12, 2, 79},  {14, 1, 74},    {15, 1, 71},                // G, leading back to C
    }};
    const double tuneStart = 4 * kBar;
    for (const MelodyNote &n : tune)
        addFlute(b, tuneStart + n.beat * kBeat, n.beats * kBeat - 0.05, n.midi, 0.13);

    finish(b, kMusicPeak, 0.005, 0.005, kMusicTailSilence);
    return b;
}

const std::array<Sound, 9> kSounds{{
    {"dung.wav", makeDung},
    {"sai.wav", makeSai},
    {"ding.wav", makeDing},
    {"click.qbs", makeClick},
    {"exit.qbs", makeExit},
    {"ringout.wav", makeRingout},
    {"tg.wav", makeTg},
    {"w.wav", makeW},
    {"nen.wav", makeNen},
}};

} // namespace

std::span<const Sound> sounds() { return kSounds; }

} // namespace synth
