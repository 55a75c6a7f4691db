// Pictures as pixel arrays, with the few drawing operations the program's
// bitmaps and icons need.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Rgb
{
    uint8_t r, g, b;
};

struct Image
{
    int width, height;
    std::vector<Rgb> pixels;  // row 0 is the top row
    std::vector<uint8_t> alpha;

    Image(int w, int h, Rgb fill) : width(w), height(h), pixels(w * h, fill), alpha(w * h, 255) {}
    Rgb& At(int x, int y) { return pixels[y * width + x]; }
};

// Distance of (px, py) from the segment (ax, ay)-(bx, by).
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by);

// A hard-edged line of `width` pixels.
void Stroke(Image& img, double ax, double ay, double bx, double by, double width, Rgb colour);

// Wave lines like a carrier signal.
void DrawWaves(Image& img, int count, double amplitude, Rgb colour);

// A shape given by its inside test at a point (pixel centres at x + 0.5).
using Shape = std::function<bool(double x, double y)>;

// Paints `shape` in `colour` with smooth edges: each pixel is sampled 4 x 4
// times and blended by the share of samples inside; the pixel's alpha grows
// by the same share.
void Paint(Image& img, const Shape& shape, Rgb colour);

// Paints `shape` hard-edged: pixels at least half covered take `colour`
// and become opaque. For images drawn over a mask colour.
void PaintSolid(Image& img, const Shape& shape, Rgb colour);

// Common shapes.
Shape Disc(double cx, double cy, double radius);
Shape Ring(double cx, double cy, double inner, double outer);
Shape Box(double left, double top, double right, double bottom);
Shape Line(double ax, double ay, double bx, double by, double width);
Shape Polygon(std::vector<std::pair<double, double>> points);

// Reduces `img` to at most `colours` colours: the two colours whose merging
// changes the picture least (by pixel count times squared distance) become
// their pixel-weighted mean, until few enough are left. Returns the largest
// change of one channel of one pixel.
int ReduceColours(Image& img, size_t colours);
