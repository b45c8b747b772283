// Runs the sound generator into a scratch directory and checks every file it
// writes: container format, levels, durations and the character of a few
// sounds. Usage: test_synth PATH_TO_MEDIASYNTH
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int g_failures = 0;

void check(bool ok, const std::string &what)
{
    if (!ok) {
        ++g_failures;
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    }
}

constexpr double kFull = 32767.0;
// Silence ending every file, so that a player that drops its last buffer drops
// nothing heard; the music's is shorter, being a pause in the loop.
constexpr double kEffectTail = 0.25;
constexpr double kMusicTail = 0.15;

struct Expected {
    const char *name;
    double minSeconds;
    double maxSeconds;
    double minPeak; // fraction of full scale
    double maxPeak;
};

// Effects must be clearly audible; the background music stays quieter.
const Expected kExpected[] = {
    {"dung.wav", 1.5, 2.5, 0.30, 1.0},    {"sai.wav", 1.0, 1.5, 0.30, 1.0},
    {"ding.wav", 0.6, 1.0, 0.30, 1.0},    {"click.qbs", 0.06, 0.15, 0.30, 1.0},
    {"exit.qbs", 1.0, 1.5, 0.30, 1.0},    {"ringout.wav", 2.0, 3.0, 0.30, 1.0},
    {"tg.wav", 30.0, 31.0, 0.30, 1.0},    {"w.wav", 1.5, 3.0, 0.30, 1.0},
    {"nen.wav", 20.0, 60.0, 0.35, 0.55},
};

struct Wav {
    int channels = 0;
    int rate = 0;
    std::vector<double> mono; // channel average, in units of full scale
    int absPeak = 0;          // largest |sample| over all channels
    std::vector<char> data;   // raw sample bytes
    double seconds() const { return static_cast<double>(mono.size()) / rate; }
    double tail = kEffectTail;
    // Without the silent tail every file ends with.
    double sounding() const { return seconds() - tail; }
};

std::vector<char> readAll(const fs::path &p)
{
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t le(const std::vector<char> &b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// Parses a canonical PCM WAVE file, reporting every header inconsistency.
std::optional<Wav> parseWav(const std::vector<char> &b, const std::string &name)
{
    auto tag = [&](std::size_t at, const char *t) { return b.size() >= at + 4 && std::equal(t, t + 4, b.begin() + static_cast<long>(at)); };
    if (b.size() < 44 || !tag(0, "RIFF") || !tag(8, "WAVE")) {
        check(false, name + ": not a RIFF/WAVE file");
        return std::nullopt;
    }
    check(le(b, 4, 4) == b.size() - 8, name + ": RIFF size does not match the file size");

    Wav w;
    int bits = 0;
    std::size_t pos = 12;
    bool haveFmt = false;
    while (pos + 8 <= b.size()) {
        const std::uint32_t size = le(b, pos + 4, 4);
        const std::size_t body = pos + 8;
        if (body + size > b.size()) {
            check(false, name + ": chunk runs past the end of the file");
            return std::nullopt;
        }
        if (tag(pos, "fmt ")) {
            check(size >= 16, name + ": fmt chunk too small");
            check(le(b, body, 2) == 1, name + ": not PCM (format 1)");
            w.channels = static_cast<int>(le(b, body + 2, 2));
            w.rate = static_cast<int>(le(b, body + 4, 4));
            bits = static_cast<int>(le(b, body + 14, 2));
            check(w.channels == 1 || w.channels == 2, name + ": neither mono nor stereo");
            check(w.rate == 22050 || w.rate == 44100, name + ": unexpected sample rate");
            check(bits == 16, name + ": samples are not 16-bit");
            check(le(b, body + 12, 2) == static_cast<std::uint32_t>(w.channels * 2), name + ": wrong block align");
            check(le(b, body + 8, 4) == static_cast<std::uint32_t>(w.rate * w.channels * 2), name + ": wrong byte rate");
            haveFmt = true;
        } else if (tag(pos, "data")) {
            if (!haveFmt || bits != 16 || w.channels < 1 || w.channels > 2) {
                check(false, name + ": no usable fmt chunk before data");
                return std::nullopt;
            }
            check(size % static_cast<std::uint32_t>(w.channels * 2) == 0, name + ": data size not a whole number of frames");
            check(body + size + (size & 1) == b.size(), name + ": data chunk does not end the file");
            w.data.assign(b.begin() + static_cast<long>(body), b.begin() + static_cast<long>(body + size));
            const std::size_t frames = size / static_cast<std::size_t>(w.channels * 2);
            for (std::size_t f = 0; f < frames; ++f) {
                double sum = 0.0;
                for (int c = 0; c < w.channels; ++c) {
                    const auto s = static_cast<std::int16_t>(le(b, body + (f * static_cast<std::size_t>(w.channels) + static_cast<std::size_t>(c)) * 2, 2));
                    w.absPeak = std::max(w.absPeak, std::abs(static_cast<int>(s)));
                    sum += s;
                }
                w.mono.push_back(sum / w.channels / kFull);
            }
            return w;
        }
        pos = body + size + (size & 1);
    }
    check(false, name + ": no data chunk");
    return std::nullopt;
}

double rms(const std::vector<double> &x, double from, double to, int rate)
{
    const auto a = std::min(x.size(), static_cast<std::size_t>(from * rate));
    const auto e = std::min(x.size(), static_cast<std::size_t>(to * rate));
    double sum = 0.0;
    for (std::size_t i = a; i < e; ++i)
        sum += x[i] * x[i];
    return e > a ? std::sqrt(sum / static_cast<double>(e - a)) : 0.0;
}

// Rough dominant pitch: zero crossings per second / 2.
double crossingHz(const Wav &w)
{
    int n = 0;
    for (std::size_t i = 1; i < w.mono.size(); ++i)
        n += (w.mono[i - 1] < 0.0) != (w.mono[i] < 0.0);
    return n / 2.0 / w.seconds();
}

// Number of separate loud stretches, using a 20 ms RMS envelope.
int countBursts(const Wav &w)
{
    const double peak = rms(w.mono, 0, w.seconds(), w.rate) * 4.0;
    int bursts = 0;
    bool loud = false;
    for (double t = 0.0; t < w.seconds(); t += 0.02) {
        const double level = rms(w.mono, t, t + 0.02, w.rate);
        if (!loud && level > 0.25 * peak) {
            loud = true;
            ++bursts;
        } else if (loud && level < 0.03 * peak) {
            loud = false;
        }
    }
    return bursts;
}

void checkCommon(const Wav &w, const Expected &e)
{
    const std::string n = e.name;
    check(w.absPeak < 32767, n + ": clipped (peak reaches full scale)");
    check(w.absPeak >= e.minPeak * kFull, n + ": too quiet, peak " + std::to_string(w.absPeak));
    check(w.absPeak <= e.maxPeak * kFull, n + ": too loud, peak " + std::to_string(w.absPeak));
    check(w.sounding() >= e.minSeconds && w.sounding() <= e.maxSeconds, n + ": duration " + std::to_string(w.sounding()) + " s out of range");
    const auto tailStart = w.mono.size() - static_cast<std::size_t>(w.tail * w.rate);
    check(std::all_of(w.mono.begin() + static_cast<std::ptrdiff_t>(tailStart), w.mono.end(), [](double x) { return x == 0.0; }),
          n + ": does not end in " + std::to_string(w.tail) + " s of silence");
    check(rms(w.mono, 0, w.seconds(), w.rate) > 0.03, n + ": (nearly) silent");

    double mean = 0.0;
    for (double s : w.mono)
        mean += s;
    check(std::abs(mean / static_cast<double>(w.mono.size())) < 0.01, n + ": DC offset");
    // Starting or ending away from zero would click (and break looping).
    check(std::abs(w.mono.front()) < 0.01 && std::abs(w.mono.back()) < 0.01, n + ": does not start and end at silence");
}

void checkCharacter(const std::vector<std::optional<Wav>> &wavs)
{
    auto get = [&](const char *name) -> const Wav * {
        for (std::size_t i = 0; i < std::size(kExpected); ++i)
            if (std::string(kExpected[i].name) == name && wavs[i])
                return &*wavs[i];
        return nullptr;
    };
    if (const Wav *w = get("ringout.wav"))
        check(countBursts(*w) == 2, "ringout.wav: expected exactly two rings with silence between");
    if (const Wav *w = get("ding.wav"))
        check(rms(w->mono, w->sounding() - 0.15, w->sounding() - 0.05, w->rate) < 0.2 * rms(w->mono, 0.0, 0.1, w->rate),
              "ding.wav: does not decay");
    const Wav *sai = get("sai.wav");
    const Wav *ding = get("ding.wav");
    if (sai && ding) {
        check(crossingHz(*sai) < 450.0, "sai.wav: not a low sound");
        check(crossingHz(*ding) > 800.0, "ding.wav: not a high, clear sound");
    }
    // Long beds must carry sound all the way through, not trail off early.
    for (const char *name : {"tg.wav", "nen.wav"}) {
        const Wav *w = get(name);
        if (!w)
            continue;
        for (double t = 0.5; t + 1.0 <= w->sounding() - 0.5; t += 1.0)
            check(rms(w->mono, t, t + 1.0, w->rate) > 0.02, std::string(name) + ": silent stretch at " + std::to_string(t) + " s");
    }
    // The music loops: its level just before the end should match the start.
    if (const Wav *w = get("nen.wav")) {
        const double head = rms(w->mono, 0.0, 0.5, w->rate);
        const double tail = rms(w->mono, w->sounding() - 0.5, w->sounding(), w->rate);
        check(head > 0.5 * tail && tail > 0.5 * head, "nen.wav: level jumps at the loop point");
    }
}

int run(const std::string &exe, const std::string &args)
{
    const std::string cmd = "'" + exe + "' " + args + " >/dev/null 2>&1";
    return std::system(cmd.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: test_synth PATH_TO_MEDIASYNTH\n");
        return 2;
    }
    const std::string exe = argv[1];
    const fs::path root = fs::temp_directory_path() /
                          ("lontaris-synth-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    const fs::path all = root / "all";
    const fs::path some = root / "some";

    check(run(exe, "") != 0, "running without OUTDIR must fail");
    check(run(exe, "'" + some.string() + "' nosuch.wav") != 0, "an unknown sound name must fail");
    check(run(exe, "'" + all.string() + "'") == 0, "generator failed");

    // Full run: every file is valid and matches its brief.
    std::vector<std::optional<Wav>> wavs;
    for (const Expected &e : kExpected) {
        const fs::path p = all / e.name;
        if (!fs::exists(p)) {
            check(false, std::string(e.name) + ": not generated");
            wavs.emplace_back();
            continue;
        }
        wavs.push_back(parseWav(readAll(p), e.name));
        if (wavs.back() && std::string(e.name) == "nen.wav")
            wavs.back()->tail = kMusicTail;
        if (wavs.back())
            checkCommon(*wavs.back(), e);
    }
    check(fs::is_directory(all) &&
              std::distance(fs::directory_iterator(all), fs::directory_iterator()) == static_cast<long>(std::size(kExpected)),
          "generator left extra files behind");
    for (std::size_t i = 0; i < wavs.size(); ++i)
        for (std::size_t j = i + 1; j < wavs.size(); ++j)
            if (wavs[i] && wavs[j])
                check(wavs[i]->data != wavs[j]->data, std::string(kExpected[i].name) + " and " + kExpected[j].name + " are identical");
    checkCharacter(wavs);

    // Single-file mode writes only what was asked, byte-identical to the full
    // run (the output is deterministic).
    check(run(exe, "'" + some.string() + "' ding.wav tg.wav") == 0, "generator failed for named sounds");
    check(fs::is_directory(some) && std::distance(fs::directory_iterator(some), fs::directory_iterator()) == 2,
          "named run wrote other files");
    for (const char *name : {"ding.wav", "tg.wav"})
        check(readAll(some / name) == readAll(all / name), std::string(name) + ": output is not deterministic");

    std::error_code ec;
    fs::remove_all(root, ec);
    if (g_failures)
        std::fprintf(stderr, "%d check(s) failed\n", g_failures);
    return g_failures ? 1 : 0;
}
