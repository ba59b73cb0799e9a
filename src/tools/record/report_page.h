// report_page.h - the line report page: one self-contained HTML file (its style inline, its plots
// inline SVG, no script) that shows a line supervisor what the summary tells, at a glance.
#pragma once

#include <string>

#include "tools/record/report_page_data.h"

// The whole page. Every text from the record or the command line is escaped.
std::string ReportPageHtml(const ReportPageData& data);
