// The benchmark driver. Without arguments it runs every measure in a process
// of its own (the window measures on the offscreen platform, the start-up
// probes on the display given, else offscreen) and prints one table of
// figures against their targets. Benchmarks report; they never fail.
//
//   tallisk_bench                      all measures, one table
//   tallisk_bench --measure <name>     one measure's rows (serial-byte,
//                                      serial-flood, serial-flood-one-core,
//                                      readback, idle-cpu); the measures of
//                                      the system's HID path are bench_hidraw's,
//                                      tallisk-cli's are bench_cli's
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchApplication.h"
#include "BenchSupport.h"
#include "Measures.h"
#include "app/UtilityApp.h"

extern char** environ;

namespace {

constexpr double kStartupTarget = 1.5;
constexpr double kMemoryTarget = 1.3;
constexpr int kStartupRuns = 11;

struct Row {
    std::string measure;
    std::string figure;
    std::string target;
    std::string met;
};

struct Output {
    int status = -1;
    std::string text;
};

// Runs a program with extra environment variables, gathering its standard
// output; its standard error goes through.
Output RunProgram(const std::string& path, const std::vector<std::string>& args,
                  std::map<std::string, std::string> env) {
    std::vector<std::string> envText;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (env.count(name) == 0) {
            envText.push_back(entry);
        }
    }
    std::vector<std::string> argText{path};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argText) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);

    // The launch time is taken last, just before the process is made.
    env["TALLISK_BENCH_LAUNCH_NS"] = std::to_string(bench::NowNs());
    for (const auto& [name, value] : env) {
        envText.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& e : envText) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    Output out;
    if (error != 0) {
        std::fprintf(stderr, "bench: cannot start %s: %s\n", path.c_str(), std::strerror(error));
        ::close(pipeFds[0]);
        return out;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        out.text.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

void RunMeasure(const std::string& program, const std::string& name, std::vector<Row>& rows,
                std::map<std::string, std::string> env = {}) {
    std::fprintf(stderr, "bench: running %s\n", name.c_str());
    env["QT_QPA_PLATFORM"] = "offscreen";
    const Output out = RunProgram(program, {"--measure", name}, env);
    bool any = false;
    for (const std::string& line : Lines(out.text)) {
        if (line.rfind("ROW|", 0) != 0) {
            continue;
        }
        std::vector<std::string> fields;
        size_t at = 4;
        for (;;) {
            const size_t bar = line.find('|', at);
            fields.push_back(
                line.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
            if (bar == std::string::npos) {
                break;
            }
            at = bar + 1;
        }
        if (fields.size() == 4) {
            rows.push_back({fields[0], fields[1], fields[2], fields[3]});
            any = true;
        }
    }
    if (out.status != 0 || !any) {
        rows.push_back({name, "measure did not complete (exit " + std::to_string(out.status) + ")",
                        "-", "no"});
    }
}

struct Startup {
    double ms = 0;
    double rssKb = 0;
    int width = 0;
    int height = 0;
    bool ok = false;
};

Startup ParseStartup(const Output& out) {
    Startup s;
    for (const std::string& line : Lines(out.text)) {
        if (std::sscanf(line.c_str(), "startup_ms=%lf rss_kb=%lf size=%dx%d", &s.ms, &s.rssKb,
                        &s.width, &s.height) == 4) {
            s.ok = out.status == 0;
        }
    }
    return s;
}

void RunStartup(const std::string& platform, std::vector<Row>& rows) {
    std::fprintf(stderr, "bench: running start-up (%s)\n", platform.c_str());
    const std::map<std::string, std::string> env{{"QT_QPA_PLATFORM", platform}};
    const std::string appPath = TALLISK_BENCH_STARTUP_APP;
    const std::string barePath = TALLISK_BENCH_STARTUP_BARE;
    // A first run of each fills the caches and tells the window's size,
    // which the bare dialog then takes.
    const Startup first = ParseStartup(RunProgram(appPath, {}, env));
    if (!first.ok) {
        rows.push_back({"4 start-up", "the probe did not report", "-", "no"});
        return;
    }
    const std::vector<std::string> size{std::to_string(first.width), std::to_string(first.height)};
    RunProgram(barePath, size, env);

    std::vector<double> appMs, bareMs, appKb, bareKb;
    for (int i = 0; i < kStartupRuns; ++i) {
        const Startup a = ParseStartup(RunProgram(appPath, {}, env));
        const Startup b = ParseStartup(RunProgram(barePath, size, env));
        if (!a.ok || !b.ok) {
            rows.push_back({"4 start-up", "a probe did not report", "-", "no"});
            return;
        }
        appMs.push_back(a.ms);
        bareMs.push_back(b.ms);
        appKb.push_back(a.rssKb);
        bareKb.push_back(b.rssKb);
    }
    const double am = bench::Summarise(appMs).median;
    const double bm = bench::Summarise(bareMs).median;
    const double ak = bench::Summarise(appKb).median;
    const double bk = bench::Summarise(bareKb).median;
    rows.push_back({"4a start-up to first painted window (" + platform + ")",
                    bench::Format("%.1f ms vs bare dialog %.1f ms = %.2fx", am, bm, am / bm),
                    bench::Format("<= %.1fx bare", kStartupTarget),
                    am / bm <= kStartupTarget ? "yes" : "no"});
    rows.push_back(
        {"4b resident memory (RSS) 0.5 s after first paint",
         bench::Format("%.1f MiB vs bare dialog %.1f MiB = %.2fx", ak / 1024, bk / 1024, ak / bk),
         bench::Format("<= %.1fx bare", kMemoryTarget), ak / bk <= kMemoryTarget ? "yes" : "no"});
}

void PrintTable(const std::vector<Row>& rows) {
    const std::vector<std::string> head{"measure", "figure", "target", "met"};
    std::vector<size_t> width(4);
    for (size_t c = 0; c < 4; ++c) {
        width[c] = head[c].size();
    }
    for (const Row& r : rows) {
        width[0] = std::max(width[0], r.measure.size());
        width[1] = std::max(width[1], r.figure.size());
        width[2] = std::max(width[2], r.target.size());
        width[3] = std::max(width[3], r.met.size());
    }
    auto line = [&](const std::string& a, const std::string& b, const std::string& c,
                    const std::string& d) {
        std::printf("| %-*s | %-*s | %-*s | %-*s |\n", static_cast<int>(width[0]), a.c_str(),
                    static_cast<int>(width[1]), b.c_str(), static_cast<int>(width[2]), c.c_str(),
                    static_cast<int>(width[3]), d.c_str());
    };
    line(head[0], head[1], head[2], head[3]);
    line(std::string(width[0], '-'), std::string(width[1], '-'), std::string(width[2], '-'),
         std::string(width[3], '-'));
    for (const Row& r : rows) {
        line(r.measure, r.figure, r.target, r.met);
    }
    std::fflush(stdout);
}

int RunOneMeasure(const std::string& name, int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    bench::BenchApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    if (name == "serial-byte") {
        return bench::MeasureSerialByteCost();
    }
    if (name == "serial-flood") {
        return bench::MeasureSerialFlood(false);
    }
    if (name == "serial-flood-one-core") {
        return bench::MeasureSerialFlood(true);
    }
    if (name == "readback") {
        return bench::MeasureReadBackLatency();
    }
    if (name == "idle-cpu") {
        return bench::MeasureIdleCpu();
    }
    std::fprintf(stderr, "bench: no measure named %s\n", name.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0) {
        return RunOneMeasure(argv[2], argc, argv);
    }
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        std::fputs("bench: cannot find this program's path\n", stderr);
        return 1;
    }
    const char* display = std::getenv("DISPLAY");
    const std::string startupPlatform =
        display != nullptr && *display != '\0' ? std::string("xcb") : std::string("offscreen");

    std::vector<Row> rows;
    for (const char* name : {"serial-byte", "serial-flood", "serial-flood-one-core", "readback"}) {
        RunMeasure(self, name, rows);
    }
    RunStartup(startupPlatform, rows);
    RunMeasure(self, "idle-cpu", rows);
    // The system's HID path, on fake devices under the umockdev preload.
    for (const char* name : {"arrival", "slow-reader"}) {
        RunMeasure(TALLISK_BENCH_HIDRAW, name, rows, {{"LD_PRELOAD", "libumockdev-preload.so.0"}});
    }
    // tallisk-cli in processes of its own, against the simulated serial reader.
    RunMeasure(TALLISK_BENCH_CLI, "cli", rows);
    PrintTable(rows);
    return 0;
}
