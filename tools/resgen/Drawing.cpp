#include "Image.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    double dx = bx - ax, dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    double cx = ax + t * dx - px, cy = ay + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

void Stroke(Image& img, double ax, double ay, double bx, double by, double width, Rgb colour)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            if (SegmentDistance(x + 0.5, y + 0.5, ax, ay, bx, by) <= width / 2)
                img.At(x, y) = colour;
        }
    }
}

void DrawWaves(Image& img, int count, double amplitude, Rgb colour)
{
    for (int k = 0; k < count; ++k) {
        double baseline = img.height * (0.3 + 0.5 * k / count);
        for (int x = 0; x + 1 < img.width; ++x) {
            double y0 = baseline + amplitude * std::sin((x + 9 * k) * 0.12);
            double y1 = baseline + amplitude * std::sin((x + 1 + 9 * k) * 0.12);
            Stroke(img, x, y0, x + 1, y1, 1.6, colour);
        }
    }
}

namespace {

// Share of 4 x 4 samples of pixel (x, y) inside `shape`.
double Coverage(const Shape& shape, int x, int y)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            inside += shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) ? 1 : 0;
    return inside / 16.0;
}

uint8_t Mix(uint8_t under, uint8_t over, double share)
{
    return static_cast<uint8_t>(std::lround(under + (over - under) * share));
}

}  // namespace

void Paint(Image& img, const Shape& shape, Rgb colour)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            double share = Coverage(shape, x, y);
            if (share == 0)
                continue;
            uint8_t& alpha = img.alpha[y * img.width + x];
            Rgb& p = img.At(x, y);
            // Over a transparent pixel the colour shows as it is; the alpha
            // carries the edge.
            double colourShare = alpha == 0 ? 1.0 : share;
            p = Rgb{Mix(p.r, colour.r, colourShare), Mix(p.g, colour.g, colourShare),
                    Mix(p.b, colour.b, colourShare)};
            alpha = static_cast<uint8_t>(std::min(255L, alpha + std::lround((255 - alpha) * share)));
        }
    }
}

void PaintSolid(Image& img, const Shape& shape, Rgb colour)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            if (Coverage(shape, x, y) >= 0.5) {
                img.At(x, y) = colour;
                img.alpha[y * img.width + x] = 255;
            }
        }
    }
}

Shape Disc(double cx, double cy, double radius)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

Shape Ring(double cx, double cy, double inner, double outer)
{
    return [=](double x, double y) {
        double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= outer * outer && d >= inner * inner;
    };
}

Shape Box(double left, double top, double right, double bottom)
{
    return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

Shape Line(double ax, double ay, double bx, double by, double width)
{
    return [=](double x, double y) { return SegmentDistance(x, y, ax, ay, bx, by) <= width / 2; };
}

Shape Polygon(std::vector<std::pair<double, double>> points)
{
    return [points](double x, double y) {
        // Even-odd rule.
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            double xi = points[i].first, yi = points[i].second;
            double xj = points[j].first, yj = points[j].second;
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                inside = !inside;
        }
        return inside;
    };
}

int ReduceColours(Image& img, size_t colours)
{
    struct Entry
    {
        double r, g, b, count;
        std::vector<Rgb> members;
    };
    std::vector<Entry> entries;
    for (const Rgb& p : img.pixels) {
        auto same = [&](const Entry& e) { return e.members[0].r == p.r && e.members[0].g == p.g && e.members[0].b == p.b; };
        auto it = std::find_if(entries.begin(), entries.end(), same);
        if (it == entries.end())
            entries.push_back({double(p.r), double(p.g), double(p.b), 1, {p}});
        else
            it->count += 1;
    }
    while (entries.size() > colours) {
        size_t best = 0, other = 1;
        double bestCost = -1;
        for (size_t i = 0; i < entries.size(); ++i)
            for (size_t j = i + 1; j < entries.size(); ++j) {
                const Entry& a = entries[i];
                const Entry& b = entries[j];
                double d = (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
                double cost = a.count * b.count / (a.count + b.count) * d;
                if (bestCost < 0 || cost < bestCost) {
                    bestCost = cost;
                    best = i;
                    other = j;
                }
            }
        Entry& a = entries[best];
        Entry& b = entries[other];
        double total = a.count + b.count;
        a.r = (a.r * a.count + b.r * b.count) / total;
        a.g = (a.g * a.count + b.g * b.count) / total;
        a.b = (a.b * a.count + b.b * b.count) / total;
        a.count = total;
        a.members.insert(a.members.end(), b.members.begin(), b.members.end());
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(other));
    }
    int largest = 0;
    for (Rgb& p : img.pixels) {
        for (const Entry& e : entries) {
            auto member = [&](const Rgb& m) { return m.r == p.r && m.g == p.g && m.b == p.b; };
            if (std::find_if(e.members.begin(), e.members.end(), member) == e.members.end())
                continue;
            Rgb mean = {static_cast<uint8_t>(std::lround(e.r)), static_cast<uint8_t>(std::lround(e.g)),
                        static_cast<uint8_t>(std::lround(e.b))};
            largest = std::max({largest, std::abs(mean.r - p.r), std::abs(mean.g - p.g), std::abs(mean.b - p.b)});
            p = mean;
            break;
        }
    }
    return largest;
}
