// html_text.h - text put into an HTML page as text: record fields are user data, and a station
// named "<script>" must show as those characters, never run.
#pragma once

#include <string>
#include <string_view>

// |text| with &, <, >, " and ' as character references: safe in element content and in quoted
// attribute values alike, inline SVG included.
std::string HtmlText(std::string_view text);
