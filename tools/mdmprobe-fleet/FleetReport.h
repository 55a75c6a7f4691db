// One result report of mdmprobe (/R:), read for the fleet summary: the
// facts the summary, the CSV table and the page need, or why the file was
// refused. Schema 1 and 2 reports are read alike (2 adds the wire, which
// the summary does not use).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The tests in run order, as the report names them.
constexpr int kFleetTestCount = 5;
extern const std::array<const char*, kFleetTestCount> kFleetTestNames;

struct FleetRun
{
    std::string file;      // where the report was read from
    std::string computer;
    std::string started;   // as in the report (ISO 8601 with offset)
    std::string ended;
    int64_t endedUtc = 0;  // `ended` as seconds since 1970 UTC, for ordering
    std::string port;      // empty: null in the report
    std::string model;     // empty: unknown
    std::string firmware;  // empty: unknown
    int32_t status = 0;
    std::string meaning;
    // "passed", "failed" or "not run" per test (kFleetTestNames order).
    std::array<std::string, kFleetTestCount> results;
    std::string callResult;           // "CONNECT", "BUSY", ...; empty: no call or no result
    std::optional<int64_t> callSpeed;  // the connect speed read, when there was one
};

enum class Refusal
{
    None,
    Empty,       // the file holds nothing
    NotJson,     // not a JSON document
    CutShort,    // JSON that ends before its document does
    WrongSchema, // a JSON document that is no report of a known schema
    Unreadable,  // the file could not be read
};

// "empty file", "not JSON", "cut short", "wrong schema", "unreadable".
const char* RefusalText(Refusal refusal);

struct ReadOutcome
{
    Refusal refusal = Refusal::None;
    std::string detail;  // what was wrong, for the refused
    FleetRun run;        // valid when refusal is None
};

// Reads the report text of `file`.
ReadOutcome ReadReport(const std::string& file, const std::string& text);

// "2026-12-08T17:47:15+01:00" as seconds since 1970 UTC; nothing when the
// text has another form.
std::optional<int64_t> IsoTimeToUtc(const std::string& text);
