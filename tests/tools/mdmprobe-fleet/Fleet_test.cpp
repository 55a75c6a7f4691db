// mdmprobe-fleet's reading and summing up on made-up reports: what the
// end-to-end reports cannot show (time zones, even medians, refusals of
// every kind, texts that need quoting). fleet_test.py runs the tool on the
// real reports.
#include "FleetHtml.h"
#include "FleetReport.h"
#include "FleetSummary.h"
#include "FleetText.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

std::string Report(const std::string& computer, const std::string& ended, int status, const std::string& model,
                   const char* speed, const char* ramResult = "passed")
{
    return "{\"schema\": 1, \"computer\": \"" + computer + "\", \"started\": \"" + ended + "\", \"ended\": \"" +
           ended + "\", \"status\": {\"code\": " + std::to_string(status) +
           ", \"meaning\": \"m\"}, \"modem\": {\"port\": \"COM3\", \"name\": " + model +
           ", \"firmware\": \"1.0\"}, \"tests\": [{\"test\": \"tapi\", \"result\": \"passed\"}, "
           "{\"test\": \"ram\", \"result\": \"" + ramResult + "\"}, {\"test\": \"crc\", \"result\": \"passed\"}, "
           "{\"test\": \"dial\", \"result\": \"passed\", \"call\": {\"result\": \"CONNECT\", \"speed\": " + speed +
           "}}, {\"test\": \"diag\", \"result\": \"not run\"}]}";
}

Refusal RefusalOf(const std::string& text)
{
    return ReadReport("r.json", text).refusal;
}

// The plain cases (empty, not JSON, cut in half, schema 3) are in
// fleet_test.py; these are the edges between them.
TEST(Fleet, RefusalsAtTheirEdges)
{
    const std::string good = Report("A", "2026-01-01T10:00:00+00:00", 0, "\"VX\"", "33600");
    EXPECT_EQ(Refusal::None, RefusalOf(good));
    EXPECT_EQ(Refusal::Empty, RefusalOf(" \r\n"));
    EXPECT_EQ(Refusal::NotJson, RefusalOf(good + "}")) << "a wrong last byte is no cut";
    EXPECT_EQ(Refusal::CutShort, RefusalOf(good.substr(0, good.size() - 1)));
    EXPECT_EQ(Refusal::WrongSchema, RefusalOf("[1, 2]"));
    EXPECT_EQ(Refusal::WrongSchema, RefusalOf(good.substr(0, good.find(", \"tests\"")) + "}"));
    EXPECT_EQ(Refusal::WrongSchema, RefusalOf(std::regex_replace(good, std::regex("T10:00:00\\+00:00"), "T10:00")));
    EXPECT_EQ(IsoTimeToUtc("2026-12-31T23:30:00-01:00"), IsoTimeToUtc("2027-01-01T00:30:00+00:00"));
    EXPECT_EQ(951782400 + 3600 - 5400, IsoTimeToUtc("2000-02-29T01:00:00+01:30"));
    EXPECT_FALSE(IsoTimeToUtc("2026-13-01T00:00:00+00:00").has_value());
}

// A machine counts by its newest report in UTC, not by its local time
// text; the speeds are summed up over the current runs alone.
TEST(Fleet, NewestReportPerMachineCountsAndTheRestIsHistory)
{
    FleetSummary summary;
    auto add = [&](const std::string& file, const std::string& text) {
        AddToFleet(summary, file, ReadReport(file, text));
    };
    // 10:00+02:00 is 08:00 UTC: older than 09:30+00:00.
    add("a1.json", Report("A", "2026-01-01T10:00:00+02:00", 2, "\"VX\"", "9600", "failed"));
    add("a2.json", Report("A", "2026-01-01T09:30:00+00:00", 0, "\"VX\"", "28800"));
    add("b.json", Report("B", "2026-01-01T09:00:00+00:00", 0, "\"VX\"", "33600"));
    add("c.json", Report("C", "2026-01-01T09:00:00+00:00", -2, "null", "null"));
    add("bad.json", "{");
    Summarise(summary);

    EXPECT_EQ(5, summary.filesRead);
    ASSERT_EQ(1u, summary.refused.size());
    EXPECT_EQ(Refusal::CutShort, summary.refused[0].refusal);
    ASSERT_EQ(3u, summary.current.size());
    EXPECT_EQ("a2.json", summary.current[0].file);
    ASSERT_EQ(1u, summary.history.size());
    EXPECT_EQ("a1.json", summary.history[0].file);
    ASSERT_EQ(1u, summary.failing.size());
    EXPECT_EQ("C", summary.failing[0].computer);

    ASSERT_EQ(2u, summary.models.size());
    EXPECT_EQ("(unknown)", summary.models[0].model);
    EXPECT_EQ("VX", summary.models[1].model);
    EXPECT_EQ(2, summary.models[1].tests[1].passed);
    EXPECT_EQ(0, summary.models[1].tests[1].failed) << "the failed RAM test is history";
    ASSERT_EQ(1u, summary.speeds.size());
    EXPECT_EQ(28800, summary.speeds[0].minimum);
    EXPECT_EQ(31200, summary.speeds[0].median) << "the mean of the two middle speeds";
    EXPECT_EQ(33600, summary.speeds[0].maximum);
}

// Names come from the machines: CSV quotes them, the page escapes them.
TEST(Fleet, TextsFromTheReportsAreQuotedAndEscaped)
{
    FleetSummary summary;
    AddToFleet(summary, "x.json",
               ReadReport("x.json", Report("DESK \\\"7\\\", 2nd", "2026-01-01T09:00:00+00:00", 0,
                                           "\"<script>x</script>\"", "33600")));
    Summarise(summary);
    const std::string csv = FormatFleetCsv(summary);
    EXPECT_NE(std::string::npos, csv.find("\r\n\"DESK \"\"7\"\", 2nd\",2026-01-01T09:00:00+00:00,COM3,")) << csv;
    const std::string html = FormatFleetHtml(summary);
    EXPECT_EQ(std::string::npos, html.find("<script>"));
    EXPECT_NE(std::string::npos, html.find("&lt;script&gt;x&lt;/script&gt;"));
}

}  // namespace
