// Starts programs many times and tells what one run of each costs: the median
// and the shortest wall-clock time, the median processor time (user and
// system, which other load on the machine disturbs less), and the peak
// resident memory. The programs take turns, one run of each in every round,
// so that a change of load on the machine falls on all of them alike.
//
//   trovel-launch ROUNDS --- LABEL FOLDER ENV PROGRAM [ARG...] [--- LABEL ...]
//
// ENV is NAME=VALUE to set a variable, -NAME to remove it, or - for neither.
// Each run starts in FOLDER and must end with status 0. A first round is not
// counted: it fills the caches. The ratios compare each program with the first.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string label;
  std::string folder;
  std::string environment;
  std::vector<char*> argv;  // ends with a null pointer
  std::vector<double> wallMicroseconds;
  std::vector<double> cpuMicroseconds;
  std::vector<double> peakKilobytes;
};

double microseconds(const timespec& t) {
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double microseconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

[[noreturn]] void startInChild(const Program& program) {
  if (chdir(program.folder.c_str()) != 0) _exit(126);
  const std::string& env = program.environment;
  if (env.size() > 1 && env[0] == '-') {
    unsetenv(env.c_str() + 1);
  } else if (const std::size_t equals = env.find('='); equals != std::string::npos) {
    setenv(env.substr(0, equals).c_str(), env.c_str() + equals + 1, 1);
  }
  execv(program.argv[0], program.argv.data());
  _exit(127);
}

// One run; false when it could not start or did not end with status 0.
bool runOnce(Program& program, bool counted) {
  timespec start;
  timespec end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) startInChild(program);
  int status = 0;
  rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  clock_gettime(CLOCK_MONOTONIC, &end);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s: ended with status %d\n", program.label.c_str(),
                 WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return false;
  }
  if (counted) {
    program.wallMicroseconds.push_back(microseconds(end) - microseconds(start));
    program.cpuMicroseconds.push_back(microseconds(usage.ru_utime) + microseconds(usage.ru_stime));
    program.peakKilobytes.push_back(static_cast<double>(usage.ru_maxrss));
  }
  return true;
}

std::vector<Program> programsFrom(int argc, char** argv) {
  std::vector<Program> programs;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "---") == 0) {
      if (i + 4 >= argc) break;
      programs.push_back(Program{argv[i + 1], argv[i + 2], argv[i + 3], {}, {}, {}, {}});
      i += 3;
    } else if (!programs.empty()) {
      programs.back().argv.push_back(argv[i]);
    }
  }
  for (Program& program : programs) program.argv.push_back(nullptr);
  return programs;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 0;
  std::vector<Program> programs = programsFrom(argc, argv);
  if (rounds < 1 || programs.empty() ||
      std::any_of(programs.begin(), programs.end(),
                  [](const Program& p) { return p.argv.size() < 2; })) {
    std::fprintf(stderr, "usage: %s ROUNDS --- LABEL FOLDER ENV PROGRAM [ARG...] [--- LABEL ...]\n",
                 argv[0]);
    return 2;
  }
  for (int round = 0; round <= rounds; ++round) {
    for (Program& program : programs) {
      if (!runOnce(program, round > 0)) return 1;
    }
  }

  const Program& first = programs.front();
  const double firstWall = median(first.wallMicroseconds);
  const double firstCpu = median(first.cpuMicroseconds);
  const double firstPeak = median(first.peakKilobytes);
  std::printf("%d runs each; times in microseconds, peak resident memory in KiB; ratios to %s\n",
              rounds, first.label.c_str());
  std::printf("%-28s %10s %10s %10s %9s %7s %7s %7s\n", "program", "wall med", "wall min",
              "cpu med", "peak KiB", "wall x", "cpu x", "peak x");
  for (const Program& p : programs) {
    const double wall = median(p.wallMicroseconds);
    const double cpu = median(p.cpuMicroseconds);
    const double peak = median(p.peakKilobytes);
    std::printf("%-28s %10.0f %10.0f %10.0f %9.0f %7.2f %7.2f %7.2f\n", p.label.c_str(), wall,
                minimum(p.wallMicroseconds), cpu, peak, wall / firstWall, cpu / firstCpu,
                peak / firstPeak);
  }
  return 0;
}
