// svg_plot.h - bar plots drawn as inline SVG for an HTML page: no script, no font and no picture
// from elsewhere. A plot is its bars, each with the value it is drawn to and the text a reader
// sees, so that what is plotted can be checked without drawing it.
#pragma once

#include <string>
#include <vector>

struct PlotBar {
  std::string label;  // beside the row, or under the column
  double value = 0;   // the bar's length, in the plot's unit
  std::string text;   // the value as printed at the bar
  std::string tip;    // the bar's tooltip; empty: the label and the text
};

struct BarPlot {
  std::string title;  // the plot's name for a screen reader, and its tooltip
  std::vector<PlotBar> bars;
};

// A number as plots print it, with |decimals| at most and no trailing zero: "12", "12.5".
std::string PlotNumber(double value, int decimals = 1);

// Columns from left to right (a span of time), on a value axis from zero; with few columns each
// carries its text, with many only a few carry their label.
std::string ColumnsSvg(const BarPlot& plot);

// One row a bar, its label on the left and its text at its end; all on one scale.
std::string RowsSvg(const BarPlot& plot);

// The bars laid end to end in one row, as the shares of a whole, each named below it with its
// text. A bar of a non-zero value is never drawn too thin to see.
std::string ShareSvg(const BarPlot& plot);
