// Small DSP toolkit for the build-time sound generator: oscillators,
// envelopes, a state-variable filter, post-processing and a WAV writer.
// Plain C++20, no third-party code, fully deterministic.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace synth {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
// Partials at or above this frequency are dropped to avoid aliasing.
constexpr double kPartialLimit = 0.45 * kRate;

using Buffer = std::vector<double>;

inline std::ptrdiff_t toSamples(double seconds)
{
    return static_cast<std::ptrdiff_t>(std::lround(seconds * kRate));
}

inline Buffer makeBuffer(double seconds)
{
    return Buffer(static_cast<std::size_t>(toSamples(seconds)), 0.0);
}

// Equal-tempered pitch of a MIDI note number (69 = A4 = 440 Hz).
inline double noteHz(double midi) { return 440.0 * std::exp2((midi - 69.0) / 12.0); }

// Frequency ratio for a detune given in cents.
inline double cents(double c) { return std::exp2(c / 1200.0); }

// xorshift32: tiny, portable and identical on every platform.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    // Uniform value in [-1, 1).
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t m_state;
};

// Phase accumulator measured in cycles; supports gliding frequencies.
class Phase {
public:
    Phase() = default;
    explicit Phase(double start) : m_phase(start) {}
    // Returns the current phase, then advances by one sample at `hz`.
    double tick(double hz)
    {
        const double p = m_phase;
        m_phase += hz / kRate;
        m_phase -= std::floor(m_phase);
        return p;
    }

private:
    double m_phase = 0.0;
};

inline double sine(double phase) { return std::sin(kTwoPi * phase); }

// sum_k amps[k-1] * sin(2*pi*k*phase), band-limited for fundamental `hz`.
// Uses the Chebyshev recurrence so only one sin/cos pair is evaluated.
double harmonics(double phase, double hz, std::span<const double> amps);

// Amplitude table of a sawtooth (1/k) with `count` partials.
std::vector<double> sawTable(std::size_t count);

// Band-limited sawtooth in [-1, 1] (approximately).
double saw(double phase, double hz);

// Attack / decay / sustain / release envelope. `gate` is how long the note
// is held; the release starts there, from whatever level was reached.
struct Adsr {
    double attack;
    double decay;
    double sustain;
    double release;

    double operator()(double t, double gate) const;
    double length(double gate) const { return gate + release; }
};

// Topology-preserving state-variable filter (stable under fast modulation).
class Svf {
public:
    struct Out {
        double low;
        double band; // unity gain at the centre frequency
        double high;
    };
    Out process(double x, double cutoffHz, double q);

private:
    double m_ic1 = 0.0;
    double m_ic2 = 0.0;
};

// Adds `voice(t)` for t = 0, 1/rate, ... over `seconds`, starting at `start`.
// With `wrap`, samples past either end wrap around (for seamless loops);
// otherwise they are dropped. The callable is invoked in time order, so it
// may carry oscillator state.
template <class Voice>
void render(Buffer &out, double start, double seconds, Voice &&voice, bool wrap = false)
{
    const auto size = static_cast<std::ptrdiff_t>(out.size());
    if (size == 0)
        return;
    const std::ptrdiff_t first = toSamples(start);
    const std::ptrdiff_t count = toSamples(seconds);
    for (std::ptrdiff_t k = 0; k < count; ++k) {
        std::ptrdiff_t idx = first + k;
        if (wrap)
            idx = ((idx % size) + size) % size;
        else if (idx < 0 || idx >= size)
            continue;
        out[static_cast<std::size_t>(idx)] += voice(static_cast<double>(k) / kRate);
    }
}

// Silence at the end of every file. An audio stream that is stopped once all of
// a file has been handed over drops what is still buffered (about a tenth of a
// second on PulseAudio): with this tail, what is dropped is silence and every
// sound is heard to its end.
constexpr double kTailSilence = 0.25;
// The music's own tail is shorter: it is silence between two rounds of the loop.
constexpr double kMusicTailSilence = 0.15;

// Post-processing applied to every sound before it is written.
void removeDc(Buffer &b);                                // ~15 Hz high-pass, then zero mean
void fadeEdges(Buffer &b, double inSeconds, double outSeconds); // raised-cosine fades
void normalize(Buffer &b, double peak);                   // scale so max |x| == peak
// All of the above, then `tail` seconds of silence.
void finish(Buffer &b, double peak, double fadeIn, double fadeOut, double tail = kTailSilence);

// Writes 16-bit PCM mono WAV data at kRate. Writes to a temporary file and
// renames it into place, so a failed run never leaves a truncated file.
bool writeWav(const std::filesystem::path &path, const Buffer &b);

} // namespace synth
