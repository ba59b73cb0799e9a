// results_document.h - the machine-readable results of a run (-a): one JSON document, versioned
// by its schema_version field. The only part of the program that knows JSON.
#pragma once

#include <string>

#include "app/error_watch_console.h"
#include "app/run_results.h"

// Schema 2: see the README's section on machine-readable results.
constexpr int kResultsSchemaVersion = 2;

// The document of a run that ended with |exit_code| after printing |messages|. Its exit_code is
// the status the calling process receives. Text that is not UTF-8 is kept with its bad bytes
// replaced, so the document is always valid JSON. Ends with a line feed.
std::string ResultsDocument(const RunResults& results, int exit_code,
                            const ConsoleMessages& messages);
