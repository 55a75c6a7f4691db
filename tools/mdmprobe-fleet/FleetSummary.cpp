#include "FleetSummary.h"

#include <algorithm>

void AddToFleet(FleetSummary& summary, const std::string& file, const ReadOutcome& outcome)
{
    ++summary.filesRead;
    if (outcome.refusal != Refusal::None)
        summary.refused.push_back(RefusedFile{file, outcome.refusal, outcome.detail});
    else
        summary.all.push_back(outcome.run);
}

std::string OrUnknown(const std::string& text)
{
    return text.empty() ? "(unknown)" : text;
}

std::vector<std::vector<std::string>> ModelRows(const FleetSummary& summary)
{
    std::vector<std::vector<std::string>> rows;
    for (const ModelTally& model : summary.models) {
        std::vector<std::string> row = {model.model, model.firmware, std::to_string(model.runs)};
        for (const TestTally& tally : model.tests)
            row.push_back(std::to_string(tally.passed) + "/" + std::to_string(tally.failed));
        rows.push_back(row);
    }
    return rows;
}

std::string FailedTests(const FleetRun& run)
{
    std::string names;
    for (int i = 0; i < kFleetTestCount; ++i) {
        if (run.results[static_cast<size_t>(i)] != "failed")
            continue;
        names += names.empty() ? "" : ", ";
        names += kFleetTestNames[static_cast<size_t>(i)];
    }
    return names.empty() ? run.meaning : names;
}

namespace {

// Newest first; equal times by file name, so the result never depends on
// the order the files were found in.
bool Newer(const FleetRun& a, const FleetRun& b)
{
    return a.endedUtc != b.endedUtc ? a.endedUtc > b.endedUtc : a.file < b.file;
}

void SplitByMachine(FleetSummary& summary)
{
    std::vector<FleetRun> sorted = summary.all;
    std::stable_sort(sorted.begin(), sorted.end(), [](const FleetRun& a, const FleetRun& b) {
        return a.computer != b.computer ? a.computer < b.computer : Newer(a, b);
    });
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || sorted[i].computer != sorted[i - 1].computer)
            summary.current.push_back(sorted[i]);
        else
            summary.history.push_back(sorted[i]);
    }
}

void TallyModels(FleetSummary& summary)
{
    std::map<std::pair<std::string, std::string>, ModelTally> models;
    std::map<std::string, std::vector<int64_t>> speeds;
    for (const FleetRun& run : summary.current) {
        auto& status = summary.byStatus[run.status];
        status.first = run.meaning;
        ++status.second;
        if (run.status != 0)
            summary.failing.push_back(run);

        ModelTally& tally = models[{OrUnknown(run.model), OrUnknown(run.firmware)}];
        tally.model = OrUnknown(run.model);
        tally.firmware = OrUnknown(run.firmware);
        ++tally.runs;
        for (size_t i = 0; i < kFleetTestCount; ++i) {
            if (run.results[i] == "passed")
                ++tally.tests[i].passed;
            else if (run.results[i] == "failed")
                ++tally.tests[i].failed;
        }
        if (run.callSpeed)
            speeds[OrUnknown(run.model)].push_back(*run.callSpeed);
    }
    for (auto& entry : models)
        summary.models.push_back(entry.second);
    for (auto& [model, values] : speeds) {
        std::sort(values.begin(), values.end());
        SpeedStats stats;
        stats.model = model;
        stats.calls = static_cast<int>(values.size());
        stats.minimum = values.front();
        stats.maximum = values.back();
        const size_t middle = values.size() / 2;
        stats.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
        stats.speeds = values;
        summary.speeds.push_back(stats);
    }
}

}  // namespace

void Summarise(FleetSummary& summary)
{
    summary.current.clear();
    summary.history.clear();
    summary.byStatus.clear();
    summary.models.clear();
    summary.speeds.clear();
    summary.failing.clear();
    SplitByMachine(summary);
    TallyModels(summary);
}
