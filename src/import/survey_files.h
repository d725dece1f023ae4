// Input.txt and AllPictures.txt written from an imported survey, with LF
// line ends. Both are written under temporary names and renamed only when
// both are complete, so a failed import leaves no file behind; an existing
// file is replaced only when asked.
#pragma once

#include <filesystem>
#include <string>

#include "import/imported_survey.h"
#include "import/timestamp.h"

namespace ot::import {

inline constexpr const char* kInputFileName = "Input.txt";
inline constexpr const char* kPicturesFileName = "AllPictures.txt";

// Fails when Input.txt or AllPictures.txt is already in `folder` and
// `replace` is false, so that an import can stop before reading anything.
void CheckSurveyFilesFree(const std::filesystem::path& folder, bool replace);

// The text of Input.txt: the title, the locations with their periods
// (one line "YYYY M D YYYY M D" each) and the species, fitted names
// throughout. FinishSurvey must have run.
std::string InputFileText(const ImportedSurvey& survey);

// Writes both files into `folder` (created when missing). Fails, leaving
// no file of its own behind, when a file cannot be written, or when one is
// already there and `replace` is false.
void WriteSurveyFiles(const std::filesystem::path& folder, const ImportedSurvey& survey,
                      bool replace);

}  // namespace ot::import
