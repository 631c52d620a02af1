// Draws the About box's picture, bitmap 216: a handheld TV signal meter on the right, its lead
// running to a TV aerial on a rooftop at the left, under an evening sky. 256 x 135 pixels, written
// as an uncompressed Windows bitmap with 8 bits per pixel and a 256-colour palette.
//
// The scene is drawn as filled polygons on a canvas four times finer in each direction, averaged
// down, and the colours are reduced to a palette of 256 by median cut. Standard C++ only:
//   g++ -std=c++20 -O2 resources/pictures/draw_about_picture.cpp -o draw_about_picture
//   ./draw_about_picture resources/pictures/about_picture.bmp
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 135;
constexpr int kFine = 4;  // canvas samples per pixel, in each direction
constexpr double kPi = 3.14159265358979323846;
constexpr double kDitherAmplitude = 0.03;

struct Colour {
  double r, g, b;
};

struct Point {
  double x, y;  // in pixels of the final picture
};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Canvas {
 public:
  Canvas() : samples_(std::size_t{kWidth} * kFine * kHeight * kFine) {}

  void Set(int x, int y, Colour c) { samples_[Index(x, y)] = c; }

  // Fills a polygon (even-odd rule) with a colour, or with shade(x, y) when given.
  template <typename Shade>
  void Fill(const std::vector<Point>& polygon, Shade shade) {
    for (int y = 0; y < kHeight * kFine; ++y) {
      const double sy = (y + 0.5) / kFine;
      std::vector<double> crossings;
      for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        if ((a.y <= sy) != (b.y <= sy)) {
          crossings.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const int from = std::max(0, static_cast<int>(std::ceil(crossings[i] * kFine - 0.5)));
        const int to = std::min(kWidth * kFine - 1,
                                static_cast<int>(std::floor(crossings[i + 1] * kFine - 0.5)));
        for (int x = from; x <= to; ++x) {
          Set(x, y, shade((x + 0.5) / kFine, sy));
        }
      }
    }
  }
  void Fill(const std::vector<Point>& polygon, Colour c) {
    Fill(polygon, [c](double, double) { return c; });
  }

  // The picture: each pixel the average of its samples.
  std::vector<Colour> Pixels() const {
    std::vector<Colour> pixels(std::size_t{kWidth} * kHeight, Colour{0, 0, 0});
    for (int y = 0; y < kHeight * kFine; ++y) {
      for (int x = 0; x < kWidth * kFine; ++x) {
        Colour& p = pixels[static_cast<std::size_t>(y / kFine) * kWidth + x / kFine];
        const Colour& s = samples_[Index(x, y)];
        p = {p.r + s.r, p.g + s.g, p.b + s.b};
      }
    }
    for (Colour& p : pixels) {
      p = {p.r / (kFine * kFine), p.g / (kFine * kFine), p.b / (kFine * kFine)};
    }
    return pixels;
  }

 private:
  static std::size_t Index(int x, int y) {
    return static_cast<std::size_t>(y) * kWidth * kFine + static_cast<std::size_t>(x);
  }
  std::vector<Colour> samples_;
};

std::vector<Point> Rectangle(double x, double y, double w, double h) {
  return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
}

std::vector<Point> RoundedRectangle(double x, double y, double w, double h, double r) {
  std::vector<Point> points;
  const Point centres[] = {
      {x + w - r, y + r}, {x + w - r, y + h - r}, {x + r, y + h - r}, {x + r, y + r}};
  for (int corner = 0; corner < 4; ++corner) {
    for (int step = 0; step <= 8; ++step) {
      const double angle = (corner - 1) * kPi / 2 + step * kPi / 16;
      points.push_back(
          {centres[corner].x + r * std::cos(angle), centres[corner].y + r * std::sin(angle)});
    }
  }
  return points;
}

std::vector<Point> Circle(double cx, double cy, double r) {
  std::vector<Point> points;
  for (int step = 0; step < 48; ++step) {
    const double angle = step * 2 * kPi / 48;
    points.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
  }
  return points;
}

// A straight stroke of the given width with square ends.
std::vector<Point> Stroke(Point a, Point b, double width) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const double nx = -(b.y - a.y) / length * width / 2;
  const double ny = (b.x - a.x) / length * width / 2;
  return {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
}

// A cubic curve drawn as short round-jointed strokes.
void Curve(Canvas& canvas, Point p0, Point p1, Point p2, Point p3, double width, Colour c) {
  Point previous = p0;
  for (int step = 1; step <= 40; ++step) {
    const double t = step / 40.0;
    const double u = 1 - t;
    const Point p{
        u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
        u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
    canvas.Fill(Stroke(previous, p, width), c);
    canvas.Fill(Circle(p.x, p.y, width / 2), c);
    previous = p;
  }
}

void DrawSky(Canvas& canvas) {
  const Colour top{0.09, 0.16, 0.38};
  const Colour horizon{0.93, 0.62, 0.36};
  canvas.Fill(Rectangle(0, 0, kWidth, kHeight),
              [&](double, double y) { return Mix(top, horizon, std::pow(y / kHeight, 1.6)); });
  for (const Point star :
       {Point{18, 9}, Point{47, 21}, Point{96, 7}, Point{121, 26}, Point{73, 13}}) {
    canvas.Fill(Circle(star.x, star.y, 0.7), Colour{0.95, 0.95, 0.85});
  }
  // Distant hills.
  canvas.Fill(
      {{0, 112}, {40, 100}, {85, 106}, {130, 96}, {180, 104}, {256, 98}, {256, 135}, {0, 135}},
      Colour{0.20, 0.22, 0.30});
}

void DrawRoofAndAerial(Canvas& canvas) {
  const Colour roof{0.45, 0.17, 0.13};
  canvas.Fill({{-4, 135}, {44, 104}, {108, 104}, {140, 135}}, [&](double x, double y) {
    const bool tileRow = static_cast<int>(y) % 5 == 0;
    return tileRow ? Mix(roof, Colour{0, 0, 0}, 0.35) : Mix(roof, Colour{0.7, 0.3, 0.2}, x / 400);
  });
  const Colour metal{0.78, 0.80, 0.84};
  const Colour shadow{0.35, 0.37, 0.42};
  // Mast and boom.
  canvas.Fill(Stroke({66, 106}, {66, 34}, 3), shadow);
  canvas.Fill(Stroke({65.5, 106}, {65.5, 34}, 1.6), metal);
  canvas.Fill(Stroke({16, 42}, {118, 42}, 2.4), metal);
  // Reflector grid at the back, directors of falling length towards the front.
  for (double x : {18.0, 22.0}) {
    canvas.Fill(Stroke({x, 24}, {x, 60}, 1.6), metal);
  }
  double half = 13;
  for (double x = 34; x <= 116; x += 10) {
    canvas.Fill(Stroke({x, 42 - half}, {x, 42 + half}, 1.5), metal);
    half -= 1.1;
  }
  // Dipole and its box.
  canvas.Fill(RoundedRectangle(25, 37, 7, 10, 1.5), Colour{0.15, 0.15, 0.18});
}

void DrawMeter(Canvas& canvas) {
  const Colour body{0.17, 0.19, 0.23};
  const Colour bezel{0.32, 0.35, 0.42};
  const Colour accent{0.95, 0.55, 0.10};
  // Lead from the meter's input socket to the aerial's mast.
  Curve(canvas, {188, 14}, {186, -6}, {100, 80}, {67, 96}, 2.2, Colour{0.08, 0.08, 0.08});
  canvas.Fill(Rectangle(183, 8, 10, 10), Colour{0.82, 0.70, 0.30});  // input socket
  // Case with its rubber corners.
  canvas.Fill(RoundedRectangle(147, 14, 86, 118, 10), Colour{0.05, 0.05, 0.06});
  canvas.Fill(RoundedRectangle(149, 16, 82, 114, 9),
              [&](double x, double) { return Mix(body, bezel, 0.6 - std::abs(x - 190) / 70); });
  canvas.Fill(Rectangle(149, 30, 4, 70), accent);
  canvas.Fill(Rectangle(227, 30, 4, 70), accent);
  // Screen: a spectrum with one channel marked, and a level bar.
  canvas.Fill(RoundedRectangle(157, 24, 66, 50, 3), Colour{0.06, 0.08, 0.07});
  canvas.Fill(Rectangle(160, 27, 60, 44), [](double, double y) {
    return Mix(Colour{0.10, 0.30, 0.24}, Colour{0.04, 0.14, 0.12}, (y - 27) / 44);
  });
  std::vector<Point> spectrum{{160, 62}};
  for (int i = 0; i <= 60; ++i) {
    const double x = 160 + i;
    const double channel = std::exp(-std::pow((x - 178) / 5.0, 6)) * 20;
    const double analogue = std::exp(-std::pow((x - 204) / 1.2, 2)) * 24;
    const double noise = 2 * std::sin(i * 2.3) + 1.5 * std::sin(i * 5.1);
    spectrum.push_back({x, 60 - channel - analogue + noise});
  }
  spectrum.push_back({220, 62});
  canvas.Fill(spectrum, Colour{0.45, 0.95, 0.60});
  canvas.Fill(Rectangle(171, 31, 1, 35), Colour{0.95, 0.85, 0.30});  // marker
  canvas.Fill(Rectangle(163, 66, 54, 3), Colour{0.12, 0.20, 0.18});
  canvas.Fill(Rectangle(163, 66, 38, 3), Colour{0.40, 0.90, 0.40});
  // Keys and the tuning knob.
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      canvas.Fill(RoundedRectangle(158 + column * 12, 82 + row * 12, 9, 8, 2),
                  row == 0 && column == 0 ? accent : Colour{0.70, 0.72, 0.76});
    }
  }
  canvas.Fill(Circle(211, 98, 12), Colour{0.05, 0.05, 0.06});
  canvas.Fill(Circle(211, 98, 10.5), [](double x, double y) {
    return Mix(Colour{0.85, 0.86, 0.90}, Colour{0.35, 0.36, 0.40}, ((x - 201) + (y - 88)) / 42);
  });
  canvas.Fill(Stroke({211, 98}, {217, 91}, 2), accent);
  canvas.Fill(RoundedRectangle(170, 121, 40, 4, 2), Colour{0.08, 0.08, 0.09});  // grip
}

// Median cut: splits the colours into 256 boxes along their widest channel and takes each box's
// mean as a palette entry.
std::vector<Colour> MakePalette(const std::vector<Colour>& pixels) {
  std::vector<std::vector<Colour>> boxes{pixels};
  const auto channel = [](const Colour& c, int k) { return k == 0 ? c.r : k == 1 ? c.g : c.b; };
  const auto spread = [&](const std::vector<Colour>& box, int k) {
    const auto [low, high] = std::minmax_element(
        box.begin(), box.end(),
        [&](const Colour& a, const Colour& b) { return channel(a, k) < channel(b, k); });
    return channel(*high, k) - channel(*low, k);
  };
  while (boxes.size() < 256) {
    std::size_t widest = 0;
    int widestChannel = 0;
    double widestSpread = -1;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (int k = 0; k < 3; ++k) {
        if (boxes[i].size() > 1 && spread(boxes[i], k) > widestSpread) {
          widest = i;
          widestChannel = k;
          widestSpread = spread(boxes[i], k);
        }
      }
    }
    if (widestSpread <= 0) {
      break;
    }
    std::vector<Colour>& box = boxes[widest];
    std::sort(box.begin(), box.end(), [&](const Colour& a, const Colour& b) {
      return channel(a, widestChannel) < channel(b, widestChannel);
    });
    std::vector<Colour> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2), box.end());
    box.resize(box.size() / 2);
    boxes.push_back(std::move(upper));
  }
  std::vector<Colour> palette;
  for (const std::vector<Colour>& box : boxes) {
    Colour sum{0, 0, 0};
    for (const Colour& c : box) {
      sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
    }
    const double n = static_cast<double>(box.size());
    palette.push_back({sum.r / n, sum.g / n, sum.b / n});
  }
  palette.resize(256, Colour{0, 0, 0});
  return palette;
}

std::uint8_t Nearest(const std::vector<Colour>& palette, const Colour& c) {
  std::size_t best = 0;
  double bestDistance = 1e9;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const double d = std::pow(palette[i].r - c.r, 2) + std::pow(palette[i].g - c.g, 2) +
                     std::pow(palette[i].b - c.b, 2);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return static_cast<std::uint8_t>(best);
}

std::uint8_t Byte(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value * 255), 0L, 255L));
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

// The file: header, information header, palette (blue, green, red, 0), rows from the bottom up.
std::vector<std::uint8_t> EncodeBitmap(const std::vector<Colour>& pixels) {
  const std::vector<Colour> palette = MakePalette(pixels);
  constexpr std::uint32_t kPixelOffset = 14 + 40 + 256 * 4;
  constexpr std::uint32_t kPixelBytes = kWidth * kHeight;  // rows of 256 need no padding
  std::vector<std::uint8_t> out{'B', 'M'};
  PutLittleEndian(out, kPixelOffset + kPixelBytes, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, kPixelOffset, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, kWidth, 4);
  PutLittleEndian(out, kHeight, 4);
  PutLittleEndian(out, 1, 2);  // planes
  PutLittleEndian(out, 8, 2);  // bits per pixel
  PutLittleEndian(out, 0, 4);  // uncompressed
  PutLittleEndian(out, kPixelBytes, 4);
  PutLittleEndian(out, 2835, 4);  // 72 dots per inch
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 256, 4);  // colours used
  PutLittleEndian(out, 0, 4);
  for (const Colour& c : palette) {
    out.insert(out.end(), {Byte(c.b), Byte(c.g), Byte(c.r), 0});
  }
  // A light ordered dither keeps the sky's gradient free of bands.
  constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const double offset = (kBayer[y % 4][x % 4] - 7.5) / 16 * kDitherAmplitude;
      const Colour& c = pixels[static_cast<std::size_t>(y) * kWidth + x];
      out.push_back(Nearest(palette, {c.r + offset, c.g + offset, c.b + offset}));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
    return 2;
  }
  Canvas canvas;
  DrawSky(canvas);
  DrawRoofAndAerial(canvas);
  DrawMeter(canvas);
  const std::vector<std::uint8_t> bitmap = EncodeBitmap(canvas.Pixels());
  std::ofstream file(argv[1], std::ios::binary);
  file.write(reinterpret_cast<const char*>(bitmap.data()),
             static_cast<std::streamsize>(bitmap.size()));
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
