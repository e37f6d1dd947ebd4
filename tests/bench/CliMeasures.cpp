// tallisk-cli as a script runs it: its start (--version), and read and
// write against the simulated reader on a pseudo-terminal, each against the
// floor of the serial exchanges it makes.
//
// The floor of one serial exchange: the pending frame is written at the next
// poll, which comes one poll interval (100 ms) after the port opened or after
// the previous reply ended; the reply is ended by one more interval without a
// byte. So each exchange costs two poll intervals plus the time its bytes
// spend on the line. A pseudo-terminal moves bytes at once, so the floor of
// a run here is exchanges x 200 ms; the line time a real 9600 baud line adds
// (10 bits a byte, request and reply) is computed from the frames the reader
// received and the replies it made, and printed beside it.
//
//   bench_cli --measure cli
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "PtyReaderLink.h"
#include "ReaderModel.h"
#include "channels/common/PollTimer.h"

extern char** environ;

namespace {

constexpr int kVersionRuns = 21;
constexpr int kSerialRuns = 11;
constexpr double kSerialTarget = 1.2;
constexpr double kByteMsAt9600 = 10.0 * 1000.0 / 9600.0;
constexpr double kExchangeFloorMs = 2.0 * PollTimer::kPollIntervalMs;

struct Run {
    int status = -1;
    double wallMs = 0;
    long maxRssKb = 0;
    double cpuMs = 0;  // user and system
    std::string out;
};

// Runs tallisk-cli with extra environment entries; wall time from just
// before the process is made to its reaping, peak resident memory from the
// rusage of the reaped child.
Run RunCli(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argText{TALLISK_CLI};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argText) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envText(extraEnv);
    for (char** e = environ; *e != nullptr; ++e) {
        envText.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : envText) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    Run run;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    const int64_t start = bench::NowNs();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, TALLISK_CLI, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        return run;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        run.out.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.wallMs = static_cast<double>(bench::NowNs() - start) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.maxRssKb = usage.ru_maxrss;
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return run;
}

// The Qt libraries the dynamic loader maps for the program, its dependencies'
// included: with LD_TRACE_LOADED_OBJECTS it lists them and stops (as ldd does).
std::vector<std::string> QtLibraries() {
    const Run listed = RunCli({"--version"}, {"LD_TRACE_LOADED_OBJECTS=1"});
    // Each line reads "\tlibQt6Core.so.6 => /path/libQt6Core.so.6 (0x...)".
    std::vector<std::string> found;
    size_t at = 0;
    while (at < listed.out.size()) {
        const size_t end = std::min(listed.out.find('\n', at), listed.out.size());
        const size_t name = listed.out.find_first_not_of(" \t", at);
        if (name < end && listed.out.compare(name, 6, "libQt6") == 0) {
            found.push_back(listed.out.substr(name, listed.out.find_first_of(" \t", name) - name));
        }
        at = end + 1;
    }
    return found;
}

// A figure that has no target.
void FigureRow(const std::string& measure, const std::string& figure) {
    std::printf("ROW|%s|%s|figure only|-\n", measure.c_str(), figure.c_str());
    std::fflush(stdout);
}

void MeasureVersion(double& startMs) {
    std::vector<double> wall;
    std::vector<double> rss;
    RunCli({"--version"});  // fills the caches
    for (int i = 0; i < kVersionRuns; ++i) {
        const Run run = RunCli({"--version"});
        if (run.status != 0) {
            bench::PrintRow("7a tallisk-cli --version", "did not run", "-", false);
            return;
        }
        wall.push_back(run.wallMs);
        rss.push_back(static_cast<double>(run.maxRssKb));
    }
    const bench::Stats w = bench::Summarise(wall);
    const bench::Stats r = bench::Summarise(rss);
    startMs = w.median;
    FigureRow("7a tallisk-cli --version, start to exit (wall)",
              bench::Format("%.1f ms median of %.0f (max %.1f)", w.median,
                            static_cast<double>(kVersionRuns), w.max));
    FigureRow("7b tallisk-cli --version, peak resident memory (wait4 rusage)",
              bench::Format("%.1f MiB median (max %.1f)", r.median / 1024, r.max / 1024));
    std::string libraries;
    bool gui = false;
    for (const std::string& library : QtLibraries()) {
        libraries += (libraries.empty() ? "" : ", ") + library;
        gui = gui || library.find("Gui") != std::string::npos ||
              library.find("Widgets") != std::string::npos;
    }
    bench::PrintRow("7c Qt libraries the loader maps for tallisk-cli",
                    libraries.empty() ? std::string("none") : libraries, "no Qt Gui or Widgets",
                    !gui);
}

// The line time of the frames received since `from`, and of the replies a
// model holding `config` makes to them, at 9600 baud.
double LineMs(const std::vector<std::vector<uint8_t>>& frames, size_t from,
              const ConfigBlock& config) {
    ReaderModel model;
    model.SetConfig(config);
    size_t bytes = 0;
    for (size_t i = from; i < frames.size(); ++i) {
        bytes += frames[i].size() + model.HandleFrame(frames[i]).size();
    }
    return static_cast<double>(bytes) * kByteMsAt9600;
}

void MeasureSerial(const char* measure, PtyReaderLink& reader,
                   const std::vector<std::vector<std::string>>& commands, double startMs) {
    std::vector<double> wall;
    std::vector<double> cpu;
    size_t exchanges = 0;
    double lineMs = 0;
    for (int i = 0; i < kSerialRuns; ++i) {
        const std::vector<std::string>& args = commands[static_cast<size_t>(i) % commands.size()];
        const size_t before = reader.ReceivedFrames().size();
        const ConfigBlock config = reader.WithModel([](ReaderModel& m) { return m.Config(); });
        const Run run = RunCli(args);
        if (run.status != 0) {
            bench::PrintRow(measure, "exit " + std::to_string(run.status), "-", false);
            return;
        }
        const auto frames = reader.ReceivedFrames();
        exchanges = frames.size() - before;
        lineMs = LineMs(frames, before, config);
        wall.push_back(run.wallMs);
        cpu.push_back(run.cpuMs);
    }
    const double median = bench::Summarise(wall).median;
    const double floorMs = static_cast<double>(exchanges) * kExchangeFloorMs;
    const double limit = kSerialTarget * floorMs + startMs;
    char figure[240];
    std::snprintf(figure, sizeof figure,
                  "%.1f ms median of %d vs floor %.0f ms (%zu exchange%s) + start %.1f ms = "
                  "%.3fx; CPU %.1f ms; a 9600 baud line adds %.1f ms",
                  median, kSerialRuns, floorMs, exchanges, exchanges == 1 ? "" : "s", startMs,
                  (median - startMs) / floorMs, bench::Summarise(cpu).median, lineMs);
    bench::PrintRow(measure, figure,
                    bench::Format("<= %.1fx floor + start (%.0f ms)", kSerialTarget, limit),
                    median <= limit);
}

int MeasureCli() {
    double startMs = 0;
    MeasureVersion(startMs);

    PtyReaderLink reader;
    if (!reader.Start()) {
        bench::PrintRow("7d tallisk-cli on the serial line", "no pseudo-terminal", "-", false);
        return 1;
    }
    const std::string path = reader.Path();
    const Run saved = RunCli({"--serial", path, "read", "--json"});
    const std::string key = "\"checkCode\": \"E13B\"";
    const size_t at = saved.out.find(key);
    if (saved.status != 0 || at == std::string::npos) {
        bench::PrintRow("7d tallisk-cli on the serial line", "read --json failed", "-", false);
        return 1;
    }
    char dir[] = "/tmp/tallisk-bench-cli-XXXXXX";
    if (::mkdtemp(dir) == nullptr) {
        return 1;
    }
    const std::string first = std::string(dir) + "/e13b.json";
    const std::string second = std::string(dir) + "/cmc7.json";
    std::ofstream(first) << saved.out;
    std::ofstream(second) << std::string(saved.out).replace(at, key.size(),
                                                            "\"checkCode\": \"CMC7\"");

    MeasureSerial("7d tallisk-cli --serial PTY read", reader, {{"--serial", path, "read"}},
                  startMs);
    // Each write changes the reader's configuration, so it reads, writes and
    // reads back to verify.
    MeasureSerial("7e tallisk-cli --serial PTY write (changed, verified)", reader,
                  {{"--serial", path, "write", second}, {"--serial", path, "write", first}},
                  startMs);
    reader.Stop();
    std::remove(first.c_str());
    std::remove(second.c_str());
    ::rmdir(dir);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0 && std::strcmp(argv[2], "cli") == 0) {
        return MeasureCli();
    }
    std::fputs("usage: bench_cli --measure cli\n", stderr);
    return 2;
}
