// What an import did, told on standard output: what was read, what was
// written, and everything left out, defaulted, capped or renamed on the way.
#pragma once

#include <filesystem>
#include <string>

#include "import/imported_survey.h"

namespace ot::import {

// The summary of a finished survey written into `folder`, each line ended
// by LF.
std::string ImportSummary(const ImportedSurvey& survey, const std::filesystem::path& folder);

}  // namespace ot::import
