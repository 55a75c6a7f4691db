#include "FleetHtml.h"

#include "FleetCharts.h"

#include <vector>

namespace {

using Row = std::vector<std::string>;

const char kStyle[] = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 14px; color: #222; margin: 0; }
main { max-width: 1180px; margin: 0 auto; padding: 16px 24px; }
h1 { font-size: 22px; margin: 8px 0 4px; }
h2 { font-size: 17px; margin: 24px 0 8px; border-bottom: 1px solid #bbb; }
p.note { color: #555; margin: 4px 0; }
table { border-collapse: collapse; margin: 4px 0 8px; }
th, td { border: 1px solid #ccc; padding: 3px 8px; text-align: left; vertical-align: top; }
th { background: #eef2f5; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
td.bad { color: #b03a2e; font-weight: bold; }
.charts { display: flex; flex-wrap: wrap; gap: 16px; }
figure { flex: 1 1 540px; margin: 0; }
figcaption { font-weight: bold; margin-bottom: 4px; }
svg { width: 100%; height: auto; }
@page { size: A4; margin: 15mm; }
@media print {
  main { max-width: none; padding: 0; }
  body { font-size: 10pt; }
  figure, table { break-inside: avoid; }
  figure { flex-basis: 100%; }
}
)";

bool IsNumber(const std::string& text)
{
    if (text.empty())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (i == 0 && c == '-') || (c == '/' && i > 0)))
            return false;
    }
    return true;
}

std::string Table(const char* id, const Row& header, const std::vector<Row>& rows)
{
    std::string html = std::string("<table id=\"") + id + "\">\n<thead><tr>";
    for (const std::string& cell : header)
        html += "<th>" + HtmlEscape(cell) + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (const Row& row : rows) {
        html += "<tr>";
        for (const std::string& cell : row) {
            const char* cls = IsNumber(cell) ? " class=\"num\"" : cell == "failed" ? " class=\"bad\"" : "";
            html += std::string("<td") + cls + ">" + HtmlEscape(cell) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>\n";
}

std::string Section(const std::string& title, const std::string& body)
{
    return "<h2>" + HtmlEscape(title) + "</h2>\n" + body;
}

}  // namespace

std::string FormatFleetHtml(const FleetSummary& summary)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>Modem test: fleet summary</title>\n<style>" +
                       std::string(kStyle) + "</style>\n</head>\n<body>\n<main>\n<h1>Modem test: fleet summary</h1>\n";

    html += Table("reports", {"files", "read", "refused", "machines", "older reports"},
                  {{std::to_string(summary.filesRead), std::to_string(summary.all.size()),
                    std::to_string(summary.refused.size()), std::to_string(summary.current.size()),
                    std::to_string(summary.history.size())}});
    html += "<p class=\"note\">Each machine counts by its newest report; its older reports are listed as "
            "history.</p>\n";

    html += "<div class=\"charts\">\n<figure><figcaption>Failed runs per test and model</figcaption>\n" +
            FailureChart(summary) + "</figure>\n<figure><figcaption>Test-call speeds</figcaption>\n" +
            SpeedChart(summary) + "</figure>\n</div>\n";

    std::vector<Row> rows;
    for (const auto& [code, entry] : summary.byStatus)
        rows.push_back({std::to_string(code), std::to_string(entry.second), entry.first});
    html += Section("Runs by status", Table("status", {"status", "runs", "meaning"}, rows));

    rows = ModelRows(summary);
    html += Section("Tests per model and firmware (passed/failed)",
                    Table("models", {"model", "firmware", "runs", "tapi", "ram", "crc", "dial", "diag"}, rows));

    rows.clear();
    for (const SpeedStats& stats : summary.speeds)
        rows.push_back({stats.model, std::to_string(stats.calls), std::to_string(stats.minimum),
                        std::to_string(stats.median), std::to_string(stats.maximum)});
    html += Section("Test-call speeds per model (bps)",
                    Table("speeds", {"model", "calls", "min", "median", "max"}, rows));

    rows.clear();
    for (const FleetRun& run : summary.failing)
        rows.push_back({run.computer, run.ended, OrUnknown(run.model), std::to_string(run.status), FailedTests(run)});
    html += Section("Machines whose last run failed",
                    Table("failing", {"computer", "ended", "model", "status", "failed"}, rows));

    rows.clear();
    for (const FleetRun& run : summary.history)
        rows.push_back({run.computer, run.ended, std::to_string(run.status), run.file});
    html += Section("History (older reports)", Table("history", {"computer", "ended", "status", "file"}, rows));

    rows.clear();
    for (const RefusedFile& file : summary.refused)
        rows.push_back({file.file, RefusalText(file.refusal), file.detail});
    html += Section("Refused files", Table("refused", {"file", "why", "detail"}, rows));
    return html + "</main>\n</body>\n</html>\n";
}
