// svg_plot.cpp - laying out bar plots in SVG coordinates. Sizes are in the SVG's own units; the
// page scales the picture to its width.
#include "tools/record/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/record/html_text.h"

namespace {

constexpr double kWidth = 720;
constexpr double kColumnsHeight = 180;
constexpr double kColumnsLeft = 44;  // room for the value axis' numbers
constexpr double kColumnsTop = 16;
constexpr double kColumnsBottom = 24;  // room for the columns' labels
constexpr size_t kMaxColumnTexts = 24;
constexpr size_t kMaxColumnLabels = 8;
constexpr double kRowHeight = 26;
constexpr double kRowLabelWidth = 300;
constexpr double kRowTextWidth = 60;
constexpr double kShareBarHeight = 28;
constexpr double kShareLegendHeight = 24;
constexpr double kThinnestBar = 2;

std::string Coordinate(double value) { return PlotNumber(value); }

std::string Open(const BarPlot& plot, double height) {
  return "<svg class=\"plot\" role=\"img\" viewBox=\"0 0 " + Coordinate(kWidth) + " " +
         Coordinate(height) + "\" width=\"" + Coordinate(kWidth) + "\" height=\"" +
         Coordinate(height) + "\" xmlns=\"http://www.w3.org/2000/svg\"><title>" +
         HtmlText(plot.title) + "</title>";
}

std::string Text(const char* css_class, double x, double y, const char* anchor,
                 const std::string& text) {
  return "<text class=\"" + std::string(css_class) + "\" x=\"" + Coordinate(x) + "\" y=\"" +
         Coordinate(y) + "\" text-anchor=\"" + anchor + "\">" + HtmlText(text) + "</text>";
}

std::string Rect(const char* css_class, double x, double y, double width, double height,
                 const PlotBar& bar) {
  const std::string tip = bar.tip.empty() ? bar.label + ": " + bar.text : bar.tip;
  return "<rect class=\"" + std::string(css_class) + "\" x=\"" + Coordinate(x) + "\" y=\"" +
         Coordinate(y) + "\" width=\"" + Coordinate(width) + "\" height=\"" + Coordinate(height) +
         "\"><title>" + HtmlText(tip) + "</title></rect>";
}

double Largest(const BarPlot& plot) {
  double largest = 0;
  for (const PlotBar& bar : plot.bars) largest = std::max(largest, bar.value);
  return largest;
}

// The top of the value axis: the smallest of 1, 2, 3, 4, 5, 6 or 8 times a power of ten that is at
// least |value|, so that the tallest column nearly reaches it and its half is a round number too.
double AxisTop(double value) {
  if (value <= 0) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double step : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0}) {
    if (step * power >= value) return step * power;
  }
  return 10 * power;
}

std::string Gridline(double top_value, double fraction, double plot_height) {
  const double y = kColumnsTop + plot_height * (1 - fraction);
  return "<line class=\"grid\" x1=\"" + Coordinate(kColumnsLeft) + "\" x2=\"" + Coordinate(kWidth) +
         "\" y1=\"" + Coordinate(y) + "\" y2=\"" + Coordinate(y) + "\"/>" +
         Text("axis", kColumnsLeft - 6, y + 4, "end", PlotNumber(top_value * fraction, 2));
}

}  // namespace

std::string PlotNumber(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string number = text;
  if (number.find('.') != std::string::npos) {
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
  }
  return number == "-0" ? "0" : number;
}

std::string ColumnsSvg(const BarPlot& plot) {
  const double plot_height = kColumnsHeight - kColumnsTop - kColumnsBottom;
  const double top = AxisTop(Largest(plot));
  std::string svg = Open(plot, kColumnsHeight);
  for (const double fraction : {0.0, 0.5, 1.0}) svg += Gridline(top, fraction, plot_height);
  const size_t count = plot.bars.size();
  if (count == 0) return svg + "</svg>";
  const double slot = (kWidth - kColumnsLeft) / static_cast<double>(count);
  const size_t label_every = (count + kMaxColumnLabels - 1) / kMaxColumnLabels;
  for (size_t i = 0; i < count; ++i) {
    const PlotBar& bar = plot.bars[i];
    const double height = plot_height * std::max(0.0, bar.value) / top;
    const double x = kColumnsLeft + slot * static_cast<double>(i);
    const double y = kColumnsTop + plot_height - height;
    svg += Rect("bar", x + slot * 0.1, y, slot * 0.8, height, bar);
    if (count <= kMaxColumnTexts && bar.value > 0) {
      svg += Text("value", x + slot / 2, y - 3, "middle", bar.text);
    }
    if (i % label_every == 0) {
      svg += Text("label", x + slot / 2, kColumnsHeight - 8, "middle", bar.label);
    }
  }
  return svg + "</svg>";
}

std::string RowsSvg(const BarPlot& plot) {
  const double height = kRowHeight * static_cast<double>(plot.bars.size());
  const double scale = (kWidth - kRowLabelWidth - kRowTextWidth) / std::max(Largest(plot), 1.0);
  std::string svg = Open(plot, height);
  double y = 0;
  for (const PlotBar& bar : plot.bars) {
    const double length = std::max(0.0, bar.value) * scale;
    svg += Text("label", kRowLabelWidth - 8, y + kRowHeight * 0.65, "end", bar.label);
    svg += Rect("bar", kRowLabelWidth, y + 4, length, kRowHeight - 8, bar);
    svg += Text("value", kRowLabelWidth + length + 6, y + kRowHeight * 0.65, "start", bar.text);
    y += kRowHeight;
  }
  return svg + "</svg>";
}

std::string ShareSvg(const BarPlot& plot) {
  double whole = 0;
  for (const PlotBar& bar : plot.bars) whole += std::max(0.0, bar.value);
  std::string svg = Open(plot, kShareBarHeight + kShareLegendHeight);
  double x = 0;
  const double legend_width = kWidth / static_cast<double>(std::max<size_t>(plot.bars.size(), 1));
  for (size_t i = 0; i < plot.bars.size(); ++i) {
    const PlotBar& bar = plot.bars[i];
    double width = whole > 0 ? kWidth * std::max(0.0, bar.value) / whole : 0;
    if (bar.value > 0) width = std::max(width, kThinnestBar);
    width = std::min(width, kWidth - x);
    const std::string css_class = "share" + std::to_string(i);
    svg += Rect(css_class.c_str(), x, 0, width, kShareBarHeight, bar);
    svg += Text(css_class.c_str(), legend_width * static_cast<double>(i), kShareBarHeight + 17,
                "start", bar.label + ": " + bar.text);
    x += width;
  }
  return svg + "</svg>";
}
