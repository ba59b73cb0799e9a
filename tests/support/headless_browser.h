// headless_browser.h - a real browser without a window, to see a page as a reader's browser
// builds it: the document after parsing and loading. Tests that need one skip where none is
// installed.
#pragma once

#include <optional>
#include <string>

// The browser's program: $QNT_TEST_BROWSER when set, else chromium on the PATH; empty when there
// is none.
std::string FindHeadlessBrowser();

// Loads the local file |page| (an absolute path of plain characters) in |browser| and returns the
// document as the browser serialises it once loaded; none when the browser failed or ran past
// |seconds|. The browser runs with a profile and a home folder of its own, made for this run and
// removed after it, and without its background network services; on time out the whole process
// group is ended.
std::optional<std::string> RenderedDocument(const std::string& browser, const std::string& page,
                                            int seconds = 60);
