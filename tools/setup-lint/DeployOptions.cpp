#include "DeployOptions.h"

bool ParseDeployOptions(int argc, char** argv, DeployOptions* options, std::string* error)
{
    error->clear();
    bool mediumGiven = false;
    bool wingetGiven = false;
    int packageValues = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.compare(0, 2, "--") != 0) {
            if (mediumGiven) {
                *error = "only one medium: " + option;
                return false;
            }
            options->medium = option;
            mediumGiven = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--format" && (value == "text" || value == "json")) {
            options->json = value == "json";
        } else if (option == "--winget") {
            wingetGiven = true;
            options->wingetDir = value;
        } else if (option == "--id" || option == "--url" || option == "--sha256") {
            ++packageValues;
            (option == "--id" ? options->package.id : option == "--url" ? options->package.url
                                                                          : options->package.sha256) = value;
        } else {
            *error = "unknown option " + option + " " + value;
            return false;
        }
    }
    if (!mediumGiven) {
        *error = "no medium given";
        return false;
    }
    if (wingetGiven != (packageValues > 0) || (wingetGiven && (options->package.id.empty() ||
                                                                options->package.url.empty() ||
                                                                options->package.sha256.empty()))) {
        *error = "--winget DIR needs --id, --url and --sha256, and they need --winget";
        return false;
    }
    if (wingetGiven) *error = WingetPackageProblem(options->package);
    return error->empty();
}
