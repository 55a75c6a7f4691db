#include "PlanOptions.h"

namespace {

// The Windows versions a plan is made for: 98, Me, 2000, XP, 7 and 10.
bool ParseWindows(const std::string& text, WindowsVersionInfo* version)
{
    static const struct
    {
        const char* text;
        WindowsVersionInfo version;
    } known[] = {{"4.10", {false, 4, 10}}, {"4.90", {false, 4, 90}}, {"5.0", {true, 5, 0}},
                 {"5.1", {true, 5, 1}},    {"6.1", {true, 6, 1}},    {"10.0", {true, 10, 0}}};
    for (const auto& entry : known)
        if (text == entry.text) {
            *version = entry.version;
            return true;
        }
    return false;
}

}  // namespace

bool ParsePlanOptions(int argc, char** argv, PlanOptions* options, std::string* error)
{
    bool mediumGiven = false;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (option.compare(0, 2, "--") != 0) {
            if (mediumGiven) {
                *error = "only one medium: " + option;
                return false;
            }
            options->medium = option;
            mediumGiven = true;
            continue;
        }
        if (!hasValue) {
            *error = option + " needs a value";
            return false;
        }
        ++i;
        if (option == "--windows") {
            options->windows = value;
            if (!ParseWindows(value, &options->version)) {
                *error = "unknown Windows version " + value + " (4.10, 4.90, 5.0, 5.1, 6.1 or 10.0)";
                return false;
            }
        } else if (option == "--select" || option == "--remove") {
            if (options->selectGiven || options->remove) {
                *error = "--select and --remove are given together or twice";
                return false;
            }
            (option == "--select" ? options->selectGiven : options->remove) = true;
            options->keys = value;
        } else if (option == "--target") {
            options->targetGiven = true;
            options->target = value;
        } else if (option == "--newer") {
            if (value != "ask" && value != "replace" && value != "keep") {
                *error = "--newer takes ask, replace or keep, not " + value;
                return false;
            }
            options->newer = value;
        } else if (option == "--format" && (value == "text" || value == "json")) {
            options->json = value == "json";
        } else {
            *error = "unknown option " + option + " " + value;
            return false;
        }
    }
    if (!mediumGiven) *error = "no medium given";
    return mediumGiven;
}
