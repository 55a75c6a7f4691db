// Fuzzes the diagnostic report decoder. The input is a definition section
// and a report: the text before the first zero byte gives the section's
// entries (one per line), the rest is the modem's answer. Any input must
// decode without fault, and the output must stay in proportion to the input:
// per record at most one token line, per pair at most a key line and 33
// further lines, so a decoder that loops or repeats shows up here too. The
// result report made of the decoded records and the raw answer must be
// complete JSON of printable ASCII and line feeds only, whatever the bytes.
#include "DiagReport.h"
#include "RunReport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t zero = input.find('\0');
    const std::string section = input.substr(0, zero);
    const std::string report = zero == std::string::npos ? std::string() : input.substr(zero + 1);

    std::vector<std::string> entries;
    size_t start = 0;
    while (start <= section.size()) {
        size_t lf = section.find('\n', start);
        if (lf == std::string::npos)
            lf = section.size();
        entries.push_back(section.substr(start, lf - start));
        start = lf + 1;
    }
    const std::vector<DiagKeyText> keys = LoadDiagKeys(entries);

    const std::vector<std::string> lines = DecodeDiagLines(keys, report, "C:\\x.ini");
    const size_t records = static_cast<size_t>(std::count(report.begin(), report.end(), '<'));
    const size_t pairs = static_cast<size_t>(std::count(report.begin(), report.end(), '='));
    if (lines.size() > records + 34 * pairs)
        std::abort();
    // Every line is one line of the log: never empty, no line break inside.
    for (const std::string& line : lines) {
        if (line.empty() || line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    }

    RunReport run;
    run.testsRan = true;
    run.tests[kTestDiag].outcome = TestOutcome::Passed;
    run.tests[kTestDiag].sent = true;
    run.tests[kTestDiag].command = section;
    run.tests[kTestDiag].answer = report;
    run.diagRecords = DecodeDiagRecords(keys, report);
    const std::string json = FormatRunReport(run);
    if (json.size() < 2 || json.compare(json.size() - 2, 2, "}\n") != 0)
        std::abort();
    for (const char c : json) {
        if ((c < 0x20 || c > 0x7e) && c != '\n')
            std::abort();
    }
    return 0;
}
