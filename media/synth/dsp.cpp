#include "dsp.hpp"

#include <fstream>
#include <numeric>
#include <system_error>

namespace synth {

double harmonics(double phase, double hz, std::span<const double> amps)
{
    const double x = kTwoPi * phase;
    const double twoCos = 2.0 * std::cos(x);
    double prev = 0.0;        // sin((k-1)x)
    double cur = std::sin(x); // sin(kx)
    double sum = 0.0;
    for (std::size_t k = 1; k <= amps.size(); ++k) {
        if (static_cast<double>(k) * hz >= kPartialLimit)
            break;
        sum += amps[k - 1] * cur;
        const double next = twoCos * cur - prev;
        prev = cur;
        cur = next;
    }
    return sum;
}

std::vector<double> sawTable(std::size_t count)
{
    std::vector<double> amps(count);
    for (std::size_t k = 1; k <= count; ++k)
        amps[k - 1] = 2.0 / (kPi * static_cast<double>(k));
    return amps;
}

double saw(double phase, double hz)
{
    static const std::vector<double> table = sawTable(96);
    return harmonics(phase, hz, table);
}

double Adsr::operator()(double t, double gate) const
{
    if (t < 0.0)
        return 0.0;
    auto held = [this](double u) {
        if (u < attack)
            return u / attack;
        u -= attack;
        if (u < decay)
            return 1.0 - (1.0 - sustain) * (u / decay);
        return sustain;
    };
    if (t < gate)
        return held(t);
    const double u = t - gate;
    if (u >= release)
        return 0.0;
    const double rest = 1.0 - u / release;
    return held(gate) * rest * rest; // quadratic tail sounds more natural than linear
}

Svf::Out Svf::process(double x, double cutoffHz, double q)
{
    const double fc = std::clamp(cutoffHz, 10.0, 0.45 * kRate);
    const double g = std::tan(kPi * fc / kRate);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - m_ic2;
    const double v1 = a1 * m_ic1 + a2 * v3;
    const double v2 = m_ic2 + a2 * m_ic1 + a3 * v3;
    m_ic1 = 2.0 * v1 - m_ic1;
    m_ic2 = 2.0 * v2 - m_ic2;
    return {v2, k * v1, x - k * v1 - v2};
}

void removeDc(Buffer &b)
{
    if (b.empty())
        return;
    // One-pole high-pass at ~15 Hz. Its state is warmed up on the tail of the
    // buffer, so a looping sound stays continuous across the loop point.
    const double a = 1.0 / (1.0 + kTwoPi * 15.0 / kRate);
    double x1 = 0.0;
    double y1 = 0.0;
    const std::size_t warm = std::min<std::size_t>(b.size(), kRate / 5);
    for (std::size_t i = b.size() - warm; i < b.size(); ++i) {
        y1 = a * (y1 + b[i] - x1);
        x1 = b[i];
    }
    for (double &s : b) {
        const double y = a * (y1 + s - x1);
        x1 = s;
        y1 = y;
        s = y;
    }
    const double mean = std::accumulate(b.begin(), b.end(), 0.0) / static_cast<double>(b.size());
    for (double &s : b)
        s -= mean;
}

void fadeEdges(Buffer &b, double inSeconds, double outSeconds)
{
    const auto n = static_cast<std::ptrdiff_t>(b.size());
    const std::ptrdiff_t fin = std::min(n, toSamples(inSeconds));
    const std::ptrdiff_t fout = std::min(n, toSamples(outSeconds));
    // The gain reaches exactly 0 at the first and last samples.
    for (std::ptrdiff_t i = 0; i < fin; ++i)
        b[static_cast<std::size_t>(i)] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(fin));
    for (std::ptrdiff_t i = 0; i < fout; ++i)
        b[static_cast<std::size_t>(n - 1 - i)] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(fout));
}

void normalize(Buffer &b, double peak)
{
    double maxAbs = 0.0;
    for (double s : b)
        maxAbs = std::max(maxAbs, std::abs(s));
    if (maxAbs <= 0.0)
        return;
    const double gain = peak / maxAbs;
    for (double &s : b)
        s *= gain;
}

void finish(Buffer &b, double peak, double fadeIn, double fadeOut, double tail)
{
    removeDc(b);
    fadeEdges(b, fadeIn, fadeOut);
    normalize(b, peak);
    b.resize(b.size() + static_cast<std::size_t>(toSamples(tail)), 0.0);
}

namespace {

void put16(std::vector<char> &out, std::uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::vector<char> &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<char> &out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool writeWav(const std::filesystem::path &path, const Buffer &b)
{
    constexpr std::uint32_t channels = 1;
    constexpr std::uint32_t bits = 16;
    constexpr std::uint32_t blockAlign = channels * bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(b.size() * blockAlign);

    std::vector<char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, channels);
    put32(out, kRate);
    put32(out, kRate * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    putTag(out, "data");
    put32(out, dataBytes);
    for (double s : b) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put16(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF);
    }

    std::filesystem::path tmp = path;
    tmp += ".part";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f)
            return false;
        f.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!f)
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

} // namespace synth
