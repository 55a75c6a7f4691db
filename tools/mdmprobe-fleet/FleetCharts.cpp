#include "FleetCharts.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// One colour per test, told apart also in grey print by their lightness.
const char* const kTestColours[kFleetTestCount] = {"#1b4f72", "#c0392b", "#e67e22", "#7d3c98", "#16a085"};

constexpr int kWidth = 760;
constexpr int kHeight = 300;
constexpr int kLeft = 48;    // room for the axis figures
constexpr int kBottom = 56;  // room for the group labels
constexpr int kTop = 16;

std::string Num(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", value);
    return text;
}

std::string Text(double x, double y, const std::string& text, const char* anchor, const char* extra = "")
{
    return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" text-anchor=\"" + anchor + "\"" + extra + ">" +
           HtmlEscape(text) + "</text>\n";
}

std::string Rect(double x, double y, double w, double h, const char* fill, const std::string& title)
{
    return "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" + Num(h) +
           "\" fill=\"" + fill + "\"><title>" + HtmlEscape(title) + "</title></rect>\n";
}

// Axis with about five whole-number steps up to at least `top`.
std::string Axis(int top, double plotHeight, int& scaleTop)
{
    int step = 1;
    while (top / step > 5)
        step = step == 1 ? 2 : step == 2 ? 5 : step * 2;
    scaleTop = std::max(step, (top + step - 1) / step * step);
    std::string svg;
    for (int value = 0; value <= scaleTop; value += step) {
        const double y = kTop + plotHeight - plotHeight * value / scaleTop;
        svg += "<line x1=\"" + Num(kLeft) + "\" x2=\"" + Num(kWidth - 8) + "\" y1=\"" + Num(y) + "\" y2=\"" +
               Num(y) + "\" stroke=\"#ddd\"/>\n";
        svg += Text(kLeft - 6, y + 4, std::to_string(value), "end");
    }
    return svg;
}

std::string Open(const std::string& label)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(kWidth) + " " +
           std::to_string(kHeight) + "\" role=\"img\" aria-label=\"" + HtmlEscape(label) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n";
}

}  // namespace

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string FailureChart(const FleetSummary& summary)
{
    // Failures per model over all its firmware versions.
    std::map<std::string, std::vector<int>> failures;
    for (const ModelTally& tally : summary.models) {
        std::vector<int>& counts = failures[tally.model];
        counts.resize(kFleetTestCount);
        for (size_t i = 0; i < kFleetTestCount; ++i)
            counts[i] += tally.tests[i].failed;
    }
    int top = 0;
    for (const auto& entry : failures)
        top = std::max(top, *std::max_element(entry.second.begin(), entry.second.end()));

    std::string svg = Open("Failed runs per test and model");
    const double plotHeight = kHeight - kTop - kBottom;
    int scaleTop = 1;
    svg += Axis(top, plotHeight, scaleTop);
    const double groupWidth = (kWidth - kLeft - 8) / std::max<double>(1, failures.size());
    const double barWidth = std::min(28.0, groupWidth * 0.8 / kFleetTestCount);
    double x = kLeft;
    for (const auto& [model, counts] : failures) {
        double bar = x + (groupWidth - barWidth * kFleetTestCount) / 2;
        for (size_t i = 0; i < kFleetTestCount; ++i, bar += barWidth) {
            const double h = plotHeight * counts[i] / scaleTop;
            svg += Rect(bar, kTop + plotHeight - h, barWidth - 2, h, kTestColours[i],
                        model + ", " + kFleetTestNames[i] + ": " + std::to_string(counts[i]) + " failed");
        }
        svg += Text(x + groupWidth / 2, kTop + plotHeight + 16, model, "middle");
        x += groupWidth;
    }
    // The legend below the groups.
    double legend = kLeft;
    for (size_t i = 0; i < kFleetTestCount; ++i, legend += 90) {
        svg += Rect(legend, kHeight - 20, 12, 12, kTestColours[i], kFleetTestNames[i]);
        svg += Text(legend + 16, kHeight - 10, kFleetTestNames[i], "start");
    }
    return svg + "</svg>\n";
}

std::string SpeedChart(const FleetSummary& summary)
{
    std::vector<int64_t> speeds;
    for (const SpeedStats& stats : summary.speeds)
        speeds.insert(speeds.end(), stats.speeds.begin(), stats.speeds.end());
    std::string svg = Open("Test-call speeds");
    const double plotHeight = kHeight - kTop - kBottom;
    if (speeds.empty())
        return svg + Text(kWidth / 2.0, kHeight / 2.0, "no test call connected", "middle") + "</svg>\n";
    std::sort(speeds.begin(), speeds.end());
    int64_t bin = 2400;
    while ((speeds.back() / bin - speeds.front() / bin) >= 24)
        bin *= 2;
    // At least kMinBins bins, widened downwards, so that a fleet whose
    // calls all connect alike still shows one narrow bar on a scale.
    constexpr int64_t kMinBins = 8;
    const int64_t last = speeds.back() / bin;
    const int64_t first = std::max<int64_t>(0, std::min(speeds.front() / bin, last - kMinBins + 1));
    const size_t bins = static_cast<size_t>(last - first + 1);
    std::vector<int> counts(bins);
    for (int64_t speed : speeds)
        ++counts[static_cast<size_t>(speed / bin - first)];
    int scaleTop = 1;
    svg += Axis(*std::max_element(counts.begin(), counts.end()), plotHeight, scaleTop);
    const double binWidth = (kWidth - kLeft - 8) / static_cast<double>(bins);
    for (size_t i = 0; i < bins; ++i) {
        const int64_t from = (first + static_cast<int64_t>(i)) * bin;
        const double x = kLeft + binWidth * i;
        const double h = plotHeight * counts[i] / scaleTop;
        const std::string range = std::to_string(from) + "-" + std::to_string(from + bin - 1) + " bps";
        svg += Rect(x + 1, kTop + plotHeight - h, binWidth - 2, h, kTestColours[0],
                    range + ": " + std::to_string(counts[i]) + " calls");
        // Every bin's lower bound fits up to 12 bins; beyond, every other.
        if (bins <= 12 || i % 2 == 0)
            svg += Text(x + binWidth / 2, kTop + plotHeight + 16, std::to_string(from), "middle");
    }
    svg += Text(kLeft + (kWidth - kLeft) / 2.0, kHeight - 10, "connect speed (bps), calls per bin", "middle");
    return svg + "</svg>\n";
}
