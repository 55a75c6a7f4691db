// soak: many unattended runs of one of the programs under Wine, each against
// faults drawn from a seed, judged by the rules each must keep; a table at
// the end. See README.md ("make soak").
//
//   soak mdmprobe|setup [--runs N] [--seed S] [--jobs J] [--replay RUNSEED]
//        [--max-faults K] [--no-dial] [--keep]
//        --out DIR --winetest PATH --wine-root DIR --modemsim PATH
//        --soakrun PATH --medium DIR [--modem PROFILE]
//
// mdmprobe: `mdmprobe.exe /P:COM3 [/T:number] /L:log` from the medium folder
// against the modem PROFILE with the run's faults. setup: `setup.exe /quiet`
// with a mutated copy of the medium's setup.inf. J runs at once, each in a
// Wine prefix of its own that is kept for the slot's next runs (its registry
// put back before each). A failed run's folder is kept under DIR; exit 1
// when any run failed, 2 on bad arguments.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "Judge.h"
#include "Mutate.h"
#include "Process.h"
#include "Profile.h"
#include "Report.h"
#include "RunLimit.h"

namespace fs = std::filesystem;
using namespace soak;

namespace {

constexpr char kModemName[] = "Vantor VX-56i PCI Modem";  // the model's ModemTapiName
constexpr int64_t kSetupLimitMs = 10000;  // a setup run of a mutated script ends within this
// Where the medium's script installs (Unix path inside the prefix) and its uninstall entry.
constexpr char kSetupTarget[] = "drive_c/Program Files/Vantor/Modem Tools";
constexpr char kSetupUninstallKey[] = "ModemTest";

struct Options {
  std::string program;
  int runs = 1000;
  std::optional<uint64_t> seed;
  int jobs = 2;
  std::optional<uint64_t> replay;
  FaultMenu menu;
  bool keep = false;
  std::string out, winetest, wineRoot, modemsim, soakrun, medium, modem;
};

bool ParseNumber(const std::string& text, uint64_t& value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoull(text);
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  if (argc < 2) return false;
  options.program = argv[1];
  if (options.program != "mdmprobe" && options.program != "setup") {
    error = "first argument: mdmprobe or setup";
    return false;
  }
  std::map<std::string, std::string*> paths = {
      {"--out", &options.out},           {"--winetest", &options.winetest}, {"--wine-root", &options.wineRoot},
      {"--modemsim", &options.modemsim}, {"--soakrun", &options.soakrun},   {"--medium", &options.medium},
      {"--modem", &options.modem}};
  for (int i = 2; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--no-dial") {
      options.menu.dialling = false;
      continue;
    }
    if (name == "--keep") {
      options.keep = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    uint64_t number = 0;
    if (paths.count(name) != 0) {
      std::error_code ignored;
      *paths[name] = fs::absolute(value, ignored).lexically_normal().string();
    } else if (!ParseNumber(value, number)) {
      error = name + " needs a whole number, got '" + value + "'";
      return false;
    } else if (name == "--runs") {
      options.runs = static_cast<int>(number);
    } else if (name == "--seed") {
      options.seed = number;
    } else if (name == "--jobs") {
      options.jobs = static_cast<int>(std::max<uint64_t>(1, number));
    } else if (name == "--replay") {
      options.replay = number;
    } else if (name == "--max-faults") {
      options.menu.maxFaults = static_cast<int>(number);
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  for (const auto& [name, path] : paths) {
    if (path->empty() && (name != "--modem" || options.program == "mdmprobe")) {
      error = name + " is required";
      return false;
    }
  }
  if (options.out.find(' ') != std::string::npos) {
    error = "--out must not hold a blank (the programs' switches end at one)";
    return false;
  }
  return true;
}

// One run being prepared or under way.
struct Job {
  RunRecord record;
  std::string dir;
  RunPlan plan;           // mdmprobe runs
  bool launched = false;   // soakrun reported how the program ended
  bool control = false;    // setup: the unmutated script, which must install normally
  std::string prefix;      // the Wine prefix it ran in
};

// How winetest ended, from waitpid's status.
std::string LauncherStatus(int status) {
  if (WIFEXITED(status)) return "winetest exited with " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "winetest ended by signal " + std::to_string(WTERMSIG(status));
  return "winetest ended with status " + std::to_string(status);
}

class Soak {
 public:
  explicit Soak(const Options& options) : options_(options) {}

  bool Prepare(std::string& error) {
    if (options_.program == "mdmprobe") {
      baseProfile_ = ReadFile(options_.modem);
      modemsim::ProfileError parseError;
      if (baseProfile_.empty() || !modemsim::ParseProfile(baseProfile_, modem_, parseError)) {
        error = "cannot read the modem profile " + options_.modem;
        return false;
      }
    } else {
      script_ = ReadFile(options_.medium + "/setup.inf");
      if (script_.empty()) {
        error = "cannot read " + options_.medium + "/setup.inf";
        return false;
      }
    }
    std::error_code failed;
    fs::create_directories(options_.out + "/" + options_.program, failed);
    return !failed;
  }

  // Runs everything; returns the number of failed runs.
  int Run(uint64_t seed) {
    const int total = options_.replay ? 1 : options_.runs;
    std::map<pid_t, std::pair<int, Job>> running;  // pid -> slot, job
    std::vector<bool> busy(static_cast<size_t>(options_.jobs), false);
    int next = 0;
    while (next < total || !running.empty()) {
      for (int slot = 0; slot < options_.jobs && next < total; ++slot) {
        if (busy[static_cast<size_t>(slot)]) continue;
        const uint64_t runSeed = options_.replay ? *options_.replay : RunSeed(seed, next);
        Job job = options_.program == "mdmprobe" ? ModemJob(next, runSeed) : SetupJob(next, runSeed);
        const pid_t pid = Start(job, slot);
        ++next;
        if (pid < 0) {
          job.record.problems.push_back("cannot start winetest");
          Finish(job, total);
          continue;
        }
        busy[static_cast<size_t>(slot)] = true;
        running.emplace(pid, std::make_pair(slot, std::move(job)));
      }
      int status = 0;
      const pid_t pid = waitpid(-1, &status, 0);
      const auto found = running.find(pid);
      if (found == running.end()) continue;
      const int slot = found->second.first;
      Job& job = found->second.second;
      Judge(job);
      // A run without soakrun's report never got as far as the program (a
      // launcher that Wine did not start at all was started once more by
      // winetest itself): how winetest ended tells where it stopped.
      busy[static_cast<size_t>(slot)] = false;
      if (!job.launched)
        job.record.problems.push_back(LauncherStatus(status));
      Finish(job, total);
      running.erase(found);
    }
    return report_.Failures();
  }

  std::string Table(uint64_t seed) const {
    return report_.Table(options_.program + " soak: seed " + std::to_string(seed) + ", " +
                         std::to_string(finished_) + " runs, " + std::to_string(options_.jobs) + " at once");
  }

 private:
  std::string RunDir(int index, uint64_t seed) const {
    return options_.out + "/" + options_.program + "/" +
           (options_.replay ? "replay-" + std::to_string(seed) : "run-" + std::to_string(index + 1));
  }

  Job ModemJob(int index, uint64_t seed) {
    Job job;
    job.plan = DrawRun(seed, options_.menu);
    job.dir = RunDir(index, seed);
    job.record.index = index + 1;
    job.record.seed = seed;
    std::string profile = baseProfile_ + "\n# faults of soak run " + std::to_string(seed) + "\nseed " +
                          std::to_string(seed) + "\n";
    for (const Fault& fault : job.plan.faults) {
      job.record.kinds.push_back(FaultName(fault.kind));
      job.record.details += (job.record.details.empty() ? "" : "; ") + fault.profileLine;
      profile += fault.profileLine + "\n";
    }
    if (job.plan.dials) job.record.details += "; dials";
    job.record.limitMs = static_cast<int64_t>(std::ceil(RunLimitMs(job.plan, modem_) * 1.1));
    std::error_code ignored;
    fs::remove_all(job.dir, ignored);
    fs::create_directories(job.dir, ignored);
    WriteFile(job.dir + "/modem.profile", profile);
    return job;
  }

  Job SetupJob(int index, uint64_t seed) {
    Job job;
    job.dir = RunDir(index, seed);
    job.record.index = index + 1;
    job.record.seed = seed;
    job.record.limitMs = kSetupLimitMs;
    // The first run of every soak is the control: the medium's script as it
    // ships must install normally in the same setting, or the mutated runs'
    // results mean nothing.
    job.control = index == 0 && !options_.replay;
    const MutatedScript mutated = job.control ? MutatedScript{script_, {}} : MutateScript(script_, seed);
    if (job.control) {
      job.record.kinds.push_back("control");
      job.record.details = "the medium's setup.inf unchanged";
    }
    for (const Mutation& mutation : mutated.mutations) {
      const std::string name = MutationName(mutation.kind);
      if (std::find(job.record.kinds.begin(), job.record.kinds.end(), name) == job.record.kinds.end())
        job.record.kinds.push_back(name);
      job.record.details += (job.record.details.empty() ? "" : "; ") + mutation.what;
    }
    std::error_code ignored;
    fs::remove_all(job.dir, ignored);
    fs::create_directories(job.dir, ignored);
    for (const char* file : {"setup.exe", "mdmprobe.cab"}) {
      fs::create_hard_link(options_.medium + "/" + file, job.dir + "/" + file, ignored);
      if (ignored) fs::copy_file(options_.medium + "/" + file, job.dir + "/" + file, ignored);
    }
    WriteFile(job.dir + "/setup.inf", mutated.text);
    return job;
  }

  pid_t Start(Job& job, int slot) {
    job.prefix = options_.out + "/prefix-" + options_.program + "-" + std::to_string(slot + 1);
    if (job.control) {
      // Files of earlier runs stay in a kept prefix (only its registry is put
      // back): the control run's footprint must be its own.
      std::error_code ignored;
      fs::remove_all(job.prefix + "/" + kSetupTarget, ignored);
    }
    std::vector<std::string> args = {options_.winetest, "run", "--root", options_.wineRoot, "--prefix",
                                     job.prefix,
                                     "--run-dir", job.dir, "--modemsim", options_.modemsim, "--", options_.soakrun};
    std::vector<std::string> env;
    if (options_.program == "mdmprobe") {
      args.insert(args.end(), {"--register-modem", kModemName, std::to_string(job.record.limitMs),
                               WinePath(options_.medium + "/mdmprobe.exe"), "/P:COM3"});
      if (job.plan.dials) args.push_back(std::string("/T:") + kSoakNumber);
      args.push_back("/L:" + WinePath(job.dir + "/mdmprobe.log"));
      env.push_back("WINETEST_PORTS=COM3=" + job.dir + "/modem.profile");
    } else {
      args.insert(args.end(), {std::to_string(job.record.limitMs), WinePath(job.dir + "/setup.exe"), "/quiet",
                               "/debug:2," + WinePath(job.dir + "/setup.log")});
    }
    env.push_back("WINETEST_TIMEOUT=" + std::to_string(job.record.limitMs / 1000 + 60));
    return Spawn(args, env, job.dir + "/wine.out", job.dir + "/wine.err");
  }

  void Judge(Job& job) {
    const LauncherResult result = ParseLauncherOutput(ReadFile(job.dir + "/wine.out"));
    job.launched = result.found;
    job.record.exitCode = result.exitCode;
    job.record.elapsedMs = result.elapsedMs;
    job.record.problems = options_.program == "mdmprobe"
                              ? JudgeModemRun(result, job.record.limitMs, ReadFile(job.dir + "/mdmprobe.log"), job.plan)
                              : job.control ? JudgeControl(job, result)
                                            : JudgeSetupRun(result, job.record.limitMs, ReadFile(job.dir + "/setup.log"));
    // winetest passes the program's standard error on with its output.
    if (WineCrashReports(ReadFile(job.dir + "/wine.out") + ReadFile(job.dir + "/wine.err")) > 0 &&
        job.record.problems.empty())
      job.record.notes.push_back("Wine reported a crash of one of its own processes");
  }

  std::vector<std::string> JudgeControl(const Job& job, const LauncherResult& result) {
    std::vector<std::string> missing;
    for (const char* file : {"setup.exe", "setup.inf", "mdmprobe.exe", "mdmprobe.ini", "mdmprobe.dat"}) {
      if (!fs::exists(job.prefix + "/" + kSetupTarget + "/" + file)) missing.push_back(file);
    }
    return JudgeSetupControlRun(result, job.record.limitMs, missing, ReadFile(job.prefix + "/system.reg"),
                                kSetupUninstallKey);
  }

  void Finish(const Job& job, int total) {
    ++finished_;
    const RunRecord& r = job.record;
    std::printf("%s run %d of %d, seed %llu: exit %ld after %lld of %lld ms: %s [%s]\n", options_.program.c_str(),
                r.index, total, static_cast<unsigned long long>(r.seed), r.exitCode, static_cast<long long>(r.elapsedMs),
                static_cast<long long>(r.limitMs), r.problems.empty() ? "ok" : "FAILED", r.details.c_str());
    for (const std::string& problem : r.problems) std::printf("    %s\n", problem.c_str());
    for (const std::string& note : r.notes) std::printf("    note: %s\n", note.c_str());
    std::fflush(stdout);
    report_.Add(r);
    if (r.problems.empty() && r.notes.empty() && !options_.keep && !options_.replay) {
      std::error_code ignored;
      fs::remove_all(job.dir, ignored);
    }
  }

  const Options& options_;
  std::string baseProfile_;
  modemsim::Profile modem_;
  std::string script_;
  Report report_;
  int finished_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "soak: %s\nusage: soak mdmprobe|setup [--runs N] [--seed S] [--jobs J] [--replay RUNSEED]\n"
                         "       [--max-faults K] [--no-dial] [--keep] --out DIR --winetest PATH --wine-root DIR\n"
                         "       --modemsim PATH --soakrun PATH --medium DIR [--modem PROFILE]\n",
                 error.c_str());
    return 2;
  }
  const uint64_t seed = options.seed.value_or(
      static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000000ULL);
  Soak soak(options);
  if (!soak.Prepare(error)) {
    std::fprintf(stderr, "soak: %s\n", error.c_str());
    return 2;
  }
  if (options.replay) {
    std::printf("%s soak: replaying the run with seed %llu\n", options.program.c_str(),
                static_cast<unsigned long long>(*options.replay));
  } else {
    std::printf("%s soak: seed %llu, %d runs, %d at once (one run again: its seed as --replay)\n",
                options.program.c_str(), static_cast<unsigned long long>(seed), options.runs, options.jobs);
  }
  std::fflush(stdout);
  const int failures = soak.Run(seed);
  const std::string table = soak.Table(seed);
  std::printf("\n%s", table.c_str());
  WriteFile(options.out + "/" + options.program + "-soak.txt", table);
  return failures == 0 ? 0 : 1;
}
