#include "Image.h"

#include <algorithm>
#include <cmath>

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
