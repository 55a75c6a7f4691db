// setup-lint SETUP.INF: checks a setup script of setup.exe and the medium
// beside it (the files and cabinets it names) and lists what would make an
// installation go wrong, with line numbers. Exit code 0 when there are no
// errors (warnings allowed), 1 with errors, 2 when the file cannot be read.
//
// setup-lint --plan MEDIUM [options]: what setup.exe would do with that
// medium, in its run's order, followed by the same findings and exit code.
//
// setup-lint --deploy MEDIUM [options]: what a deployment tool must be told
// about the medium (uninstall entries, commands, exit codes, detection
// rules), or the package manager's manifest of it; exit code 1 when a tool
// cannot be told everything.
#include "DeployBuild.h"
#include "DeployJson.h"
#include "DeployOptions.h"
#include "DeployText.h"
#include "InfDocument.h"
#include "Medium.h"
#include "PlanBuild.h"
#include "PlanJson.h"
#include "PlanOptions.h"
#include "PlanText.h"
#include "ScriptLint.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

const char kUsage[] =
    "usage: setup-lint SETUP.INF\n"
    "       setup-lint --plan MEDIUM [--windows 4.10|4.90|5.0|5.1|6.1|10.0] [--select KEY,...]\n"
    "                  [--remove KEY,...] [--target DIR] [--newer ask|replace|keep]\n"
    "                  [--format text|json]\n"
    "       setup-lint --deploy MEDIUM [--format text|json]\n"
    "       setup-lint --deploy MEDIUM --winget DIR --id PUBLISHER.NAME --url URL --sha256 HEX\n";

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// The findings as "FILE:LINE: error|warning: text" and a summary line;
// returns the exit code they give.
int Report(FILE* out, const std::string& path, const std::vector<LintFinding>& findings)
{
    int errors = 0;
    int warnings = 0;
    for (const LintFinding& finding : findings) {
        std::fprintf(out, "%s:%d: %s: %s\n", path.c_str(), finding.line, finding.error ? "error" : "warning",
                     finding.text.c_str());
        ++(finding.error ? errors : warnings);
    }
    std::fprintf(out, "%s: %d error%s, %d warning%s\n", path.c_str(), errors, errors == 1 ? "" : "s", warnings,
                 warnings == 1 ? "" : "s");
    return errors > 0 ? 1 : 0;
}

// MEDIUM is the folder of setup.inf, or setup.inf itself.
std::string ScriptOf(const std::string& medium)
{
    struct stat info = {};
    const bool folder = stat(medium.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return folder ? medium + "/setup.inf" : medium;
}

int RunPlan(int argc, char** argv)
{
    PlanOptions options;
    std::string error;
    if (!ParsePlanOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "setup-lint: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    const std::string path = ScriptOf(options.medium);
    const std::optional<std::string> text = ReadFile(path);
    if (!text) {
        std::fprintf(stderr, "setup-lint: cannot read %s\n", path.c_str());
        return 2;
    }
    const Medium medium(FolderOf(path));
    const Plan plan = MakePlan(ParseInf(*text), path, medium, options);
    if (options.json) {
        std::fputs(PlanAsJson(plan).c_str(), stdout);
        // The findings are in the document; the exit code is the same.
        for (const LintFinding& finding : plan.problems)
            if (finding.error) return 1;
        return 0;
    }
    std::fputs(PlanAsText(plan).c_str(), stdout);
    std::fputs("\nProblems found on the way\n", stdout);
    return Report(stdout, path, plan.problems);
}

// The manifest files in `folder` (made when missing); the exit code.
int WriteManifests(const Deployment& deployment, const DeployOptions& options)
{
    std::string error;
    const std::vector<WingetFile> files = WingetManifests(deployment, options.package, &error);
    if (files.empty()) {
        std::fprintf(stderr, "setup-lint: no manifest written: %s\n", error.c_str());
        return 1;
    }
    mkdir(options.wingetDir.c_str(), 0777);
    for (const WingetFile& file : files) {
        const std::string path = options.wingetDir + "/" + file.name;
        std::ofstream out(path, std::ios::binary);
        out << file.text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "setup-lint: cannot write %s\n", path.c_str());
            return 2;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

int RunDeploy(int argc, char** argv)
{
    DeployOptions options;
    std::string error;
    if (!ParseDeployOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "setup-lint: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    const std::string path = ScriptOf(options.medium);
    const std::optional<std::string> text = ReadFile(path);
    if (!text) {
        std::fprintf(stderr, "setup-lint: cannot read %s\n", path.c_str());
        return 2;
    }
    const Medium medium(FolderOf(path));
    const Deployment deployment = MakeDeployment(ParseInf(*text), path, medium);
    if (!options.wingetDir.empty()) return WriteManifests(deployment, options);
    if (options.json) {
        std::fputs(DeploymentAsJson(deployment).c_str(), stdout);
        return deployment.Complete() ? 0 : 1;
    }
    std::fputs(DeploymentAsText(deployment).c_str(), stdout);
    std::fputs("\nProblems found on the way\n", stdout);
    const int findings = Report(stdout, path, deployment.problems);
    return deployment.Complete() ? findings : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--plan") return RunPlan(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--deploy") return RunDeploy(argc, argv);
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string path = argv[1];
    const std::optional<std::string> text = ReadFile(path);
    if (!text) {
        std::fprintf(stderr, "setup-lint: cannot read %s\n", path.c_str());
        return 2;
    }
    const Medium medium(FolderOf(path));
    return Report(stdout, path, LintScript(ParseInf(*text), medium));
}
