// The visual report of one run: a single self-contained HTML page (inline
// CSS, SVG and images, one small script, nothing fetched) with the survey
// summary, the camera operation chart, one heat map per species and the
// summary figures per species.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "results/survey_results.h"

namespace ot::report {

// The page for a completed run whose results kept the pictures per day
// (SurveyResults(true)); `title` is the first line of Input.txt.
std::string RenderSurveyReport(const SurveyResults& results, std::string_view title);

// The first line of `input_file` without its line end and trailing blanks;
// empty when the file cannot be read.
std::string ReadTitleLine(const std::filesystem::path& input_file);

// Writes the page to `file` (relative names resolve against
// `survey_folder`, whose Input.txt gives the title): first to a temporary
// name beside it, then renamed over any earlier file, so that `file` is
// either complete or untouched. A failure throws a RunFailure with
// kExitToolFailed and the one line
// "OccasionTallies: cannot write the report <file>: <reason>".
void WriteSurveyReport(const SurveyResults& results, const std::filesystem::path& survey_folder,
                       const std::filesystem::path& file);

}  // namespace ot::report
