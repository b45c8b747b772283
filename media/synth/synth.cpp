// mediasynth: renders the game's sound files.
//
//   mediasynth OUTDIR           write every sound into OUTDIR
//   mediasynth OUTDIR NAME...   write only the named sounds (e.g. ding.wav)
//
// Output is deterministic: the same binary always produces identical bytes.
#include "sounds.hpp"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

int usage()
{
    std::fputs("usage: mediasynth OUTDIR [NAME...]\nsounds:", stderr);
    for (const synth::Sound &s : synth::sounds())
        std::fprintf(stderr, " %.*s", static_cast<int>(s.file.size()), s.file.data());
    std::fputc('\n', stderr);
    return 2;
}

const synth::Sound *find(std::string_view name)
{
    for (const synth::Sound &s : synth::sounds())
        if (s.file == name)
            return &s;
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::filesystem::path outDir = argv[1];

    std::vector<const synth::Sound *> wanted;
    for (int i = 2; i < argc; ++i) {
        const synth::Sound *s = find(argv[i]);
        if (!s) {
            std::fprintf(stderr, "mediasynth: unknown sound '%s'\n", argv[i]);
            return usage();
        }
        wanted.push_back(s);
    }
    if (wanted.empty())
        for (const synth::Sound &s : synth::sounds())
            wanted.push_back(&s);

    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) {
        std::fprintf(stderr, "mediasynth: cannot create %s: %s\n", outDir.string().c_str(), ec.message().c_str());
        return 1;
    }
    for (const synth::Sound *s : wanted) {
        const std::filesystem::path path = outDir / s->file;
        if (!synth::writeWav(path, s->make())) {
            std::fprintf(stderr, "mediasynth: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
