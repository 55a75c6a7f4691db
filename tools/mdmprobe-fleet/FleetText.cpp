#include "FleetText.h"

#include <algorithm>
#include <vector>

namespace {

using Row = std::vector<std::string>;

// Columns padded to their widest cell, two blanks apart, indented by two.
std::string Table(const Row& header, const std::vector<Row>& rows)
{
    std::vector<size_t> widths(header.size());
    for (size_t c = 0; c < header.size(); ++c) {
        widths[c] = header[c].size();
        for (const Row& row : rows)
            widths[c] = std::max(widths[c], row[c].size());
    }
    std::string text;
    auto line = [&](const Row& row) {
        std::string out = " ";
        for (size_t c = 0; c < row.size(); ++c)
            out += " " + row[c] + std::string(c + 1 < row.size() ? widths[c] - row[c].size() + 1 : 0, ' ');
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        text += out + "\n";
    };
    line(header);
    for (const Row& row : rows)
        line(row);
    return text;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string FormatFleetText(const FleetSummary& summary)
{
    std::string text = "Reports: " + std::to_string(summary.filesRead) + " files, " +
                       std::to_string(summary.all.size()) + " read, " + std::to_string(summary.refused.size()) +
                       " refused\n";
    for (const RefusedFile& file : summary.refused)
        text += "  refused: " + file.file + ": " + RefusalText(file.refusal) + "\n";
    text += "Machines: " + std::to_string(summary.current.size()) + " (each by its newest report; " +
            std::to_string(summary.history.size()) + " older reports as history)\n";

    text += "\nRuns by status\n";
    std::vector<Row> rows;
    for (const auto& [code, entry] : summary.byStatus)
        rows.push_back({std::to_string(code), std::to_string(entry.second), entry.first});
    text += Table({"status", "runs", "meaning"}, rows);

    text += "\nTests per model and firmware (passed/failed)\n";
    rows = ModelRows(summary);
    text += Table({"model", "firmware", "runs", "tapi", "ram", "crc", "dial", "diag"}, rows);

    text += "\nTest-call speeds per model (bps)\n";
    rows.clear();
    for (const SpeedStats& stats : summary.speeds)
        rows.push_back({stats.model, std::to_string(stats.calls), std::to_string(stats.minimum),
                        std::to_string(stats.median), std::to_string(stats.maximum)});
    text += Table({"model", "calls", "min", "median", "max"}, rows);

    text += "\nMachines whose last run failed\n";
    rows.clear();
    for (const FleetRun& run : summary.failing)
        rows.push_back({run.computer, run.ended, std::to_string(run.status), FailedTests(run)});
    text += Table({"computer", "ended", "status", "failed"}, rows);

    text += "\nHistory (older reports)\n";
    rows.clear();
    for (const FleetRun& run : summary.history)
        rows.push_back({run.computer, run.ended, std::to_string(run.status), run.file});
    text += Table({"computer", "ended", "status", "file"}, rows);
    return text;
}

std::string FormatFleetCsv(const FleetSummary& summary)
{
    std::string text = "computer,ended,port,model,firmware,status";
    for (const char* test : kFleetTestNames)
        text += std::string(",") + test;
    text += ",call,speed\r\n";
    for (const FleetRun& run : summary.all) {
        text += CsvField(run.computer) + "," + CsvField(run.ended) + "," + CsvField(run.port) + "," +
                CsvField(run.model) + "," + CsvField(run.firmware) + "," + std::to_string(run.status);
        for (const std::string& result : run.results)
            text += "," + CsvField(result);
        text += "," + CsvField(run.callResult) + "," + (run.callSpeed ? std::to_string(*run.callSpeed) : "");
        text += "\r\n";
    }
    return text;
}
