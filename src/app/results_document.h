// results_document.h - the machine-readable results of a run (-a): one JSON document, versioned
// by its schema_version field. The only part of the program that knows JSON.
#pragma once

#include <string>

#include "app/run_results.h"

// Schema 1: see the README's section on machine-readable results.
constexpr int kResultsSchemaVersion = 1;

// The document of a run that ended with |exit_code|; |first_error| is the message after its
// first "ERROR: " marker ("" when none). Text that is not UTF-8 is kept with its bad bytes
// replaced, so the document is always valid JSON. Ends with a line feed.
std::string ResultsDocument(const RunResults& results, int exit_code,
                            const std::string& first_error);
