// The view across many reports: what the text summary, the CSV table and
// the page show. A machine (its computer name) counts by its newest report
// (latest `ended`); its older reports are its history.
#pragma once

#include "FleetReport.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct RefusedFile
{
    std::string file;
    Refusal refusal = Refusal::None;
    std::string detail;
};

// Passed and failed runs of one test.
struct TestTally
{
    int passed = 0;
    int failed = 0;
};

struct ModelTally
{
    std::string model;     // "(unknown)" when no modem was identified
    std::string firmware;  // "(unknown)" when not read
    int runs = 0;
    std::array<TestTally, kFleetTestCount> tests;
};

struct SpeedStats
{
    std::string model;
    int calls = 0;  // calls with a connect speed
    int64_t minimum = 0;
    int64_t median = 0;  // the mean of the two middle values for an even count
    int64_t maximum = 0;
    std::vector<int64_t> speeds;  // sorted
};

struct FleetSummary
{
    int filesRead = 0;
    std::vector<RefusedFile> refused;
    std::vector<FleetRun> all;      // every report read, in the order given
    std::vector<FleetRun> current;  // the newest report per machine, by computer name
    std::vector<FleetRun> history;  // the older reports, newest first per machine
    std::map<int32_t, std::pair<std::string, int>> byStatus;  // status -> meaning, runs
    std::vector<ModelTally> models;   // sorted by model, then firmware
    std::vector<SpeedStats> speeds;   // per model, sorted by model
    std::vector<FleetRun> failing;    // current runs that failed (status not 0)
};

// Adds one file's outcome (read or refused).
void AddToFleet(FleetSummary& summary, const std::string& file, const ReadOutcome& outcome);
// Fills current, history and the tallies from what was added.
void Summarise(FleetSummary& summary);

// The tests a run failed, by name, separated by ", "; for a run that failed
// without a failed test (no modem, cancelled) its meaning.
std::string FailedTests(const FleetRun& run);

// "(unknown)" for an empty text.
std::string OrUnknown(const std::string& text);

// The table of tests per model and firmware, as the text and the page show
// it: model, firmware, runs, then "passed/failed" for each test.
std::vector<std::vector<std::string>> ModelRows(const FleetSummary& summary);
