// A Camtrap DP package made into a survey: one location per locationID
// (else locationName, else deploymentID), one operating period per
// deployment, one picture per animal observation at one observation level,
// each at its deployment's local time.
#pragma once

#include <filesystem>

#include "import/imported_survey.h"

namespace ot::import {

// Which observations become pictures. Event level by default when the
// package has any event-level observation, else media level; never both,
// which would count the same animals twice.
enum class ObservationLevel { kChosenByPackage, kEvent, kMedia };

// Reads `package` (its folder or its datapackage.json): the deployments and
// observations resources. Fails on a missing file, resource or column and on
// an unreadable timestamp or count, naming the file, line and column.
ImportedSurvey ImportCamtrapDp(const std::filesystem::path& package, ObservationLevel level);

}  // namespace ot::import
