// What a start costs to the first painted window: the game and the editor
// beside a bare Qt Widgets window of the same size (bench_bare_window), each
// run as a whole process under LONTARIS_QUIT_AFTER_MS=1 on the offscreen
// platform, in turns, so that all three see the same machine. The figures are
// the medians of the runs: CPU time (user and system, every thread) and peak
// memory (max RSS), and each program's ratio to the bare window.
//
// Usage: bench_startup FOLDER [RUNS]. FOLDER holds lontaris, pelmaro and
// bench_bare_window with the media/ and data/ folders beside them (a program
// folder with a data/ folder keeps its database there); its config/ and
// share/ folders stand in for the user's own, so that no setting of the
// machine's user (a classroom server, say) is read.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Use {
    double cpuMs = 0;
    double peakMb = 0;
};

bool runOnce(const std::string &program, Use &out, const char *quitAfterMs = "1")
{
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        setenv("LONTARIS_QUIT_AFTER_MS", quitAfterMs, 1);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage use{};
    if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    out.cpuMs = (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1e3 + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e3;
    out.peakMb = use.ru_maxrss / 1024.0;
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LONTARIS_QUIT_AFTER_MS", "1", 1);
    unsetenv("LONTARIS_MUTE");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/share").c_str(), 1);

    struct Program {
        const char *name;
        std::string path;
        double cpuGoal, memGoal;
        std::vector<double> cpu, mem;
    };
    std::vector<Program> programs{{"bare window", dir + "/bench_bare_window", 0, 0, {}, {}},
                                  {"game", dir + "/lontaris", 1.4, 1.25, {}, {}},
                                  {"editor", dir + "/pelmaro", 1.3, 1.2, {}, {}}};
    // One untimed start each, long enough for the programs to open their
    // database after the first window (the game makes it): every file is in
    // the page cache.
    for (Program &p : programs) {
        Use u;
        if (!runOnce(p.path, u, "1000")) {
            std::fprintf(stderr, "%s did not start and end cleanly\n", p.path.c_str());
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i)
        for (Program &p : programs) {
            Use u;
            if (!runOnce(p.path, u)) {
                std::fprintf(stderr, "%s did not start and end cleanly\n", p.path.c_str());
                return 1;
            }
            p.cpu.push_back(u.cpuMs);
            p.mem.push_back(u.peakMb);
        }
    const double baseCpu = median(programs[0].cpu), baseMem = median(programs[0].mem);
    std::printf("medians of %d starts each, in turns:\n", runs);
    for (const Program &p : programs) {
        const double cpu = median(p.cpu), mem = median(p.mem);
        std::printf("%-12s %6.1f ms CPU to the first window, %5.1f MB peak memory", p.name, cpu, mem);
        if (p.cpuGoal > 0)
            std::printf(" = %.2fx CPU, %.2fx memory of the bare window (goals: <= %.2fx, <= %.2fx)",
                        cpu / baseCpu, mem / baseMem, p.cpuGoal, p.memGoal);
        std::printf("\n");
    }
    return 0;
}
