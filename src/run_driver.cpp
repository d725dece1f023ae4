#include "run_driver.h"

#include <string>
#include <string_view>

#include "calendar.h"
#include "occasion_output.h"
#include "study_input.h"
#include "tally.h"
#include "textio/fixed_width.h"
#include "textio/free_form.h"
#include "textio/text_unit.h"

namespace ot {
namespace {

constexpr std::string_view kBanner = "Program OccasionTallies, Version 1.2, February 10, 2022";
constexpr std::string_view kAskPeriod = "ENTER INDEPENDENCE PERIOD IN MINUTES, THEN ENTER";
constexpr std::string_view kAskDays = "ENTER NUMBER OF DAYS FOR CAMERA TRAP OCCASION, THEN ENTER";
constexpr std::string_view kZeroDays = "NUMBER OF DAYS MUST NOT BE ZERO";
constexpr std::string_view kProcessing = "Processing ";
constexpr std::string_view kOutputName = "OccasionTallies.txt";
constexpr std::string_view kClosingLine = "OccasionTallies.txt created ... TERMINATING NORMALLY";
constexpr std::string_view kFinalLine =
    "OccasionTallies.txt created ... PRESS ENTER TO TERMINATE NORMALLY";

void Say(TextUnit& console, std::initializer_list<std::string_view> texts) {
  WriteFreeForm(console, {texts.begin(), texts.size()});
}

// Writes `prompt` and reads one whole number from a new line of input.
std::int32_t Ask(UnitTable& units, std::string_view prompt, std::int32_t value) {
  Say(units[kUnitConsoleOut], {prompt});
  ReadFreeForm(units[kUnitConsoleIn], {&value, 1});
  return value;
}

// A zero occasion length would divide by zero, so it is asked for again.
std::int32_t AskOccasionDays(UnitTable& units) {
  std::int32_t days = Ask(units, kAskDays, 0);
  while (days == 0) {
    Say(units[kUnitConsoleOut], {kZeroDays});
    days = Ask(units, kAskDays, days);
  }
  return days;
}

void WarnOfSkippedPictures(std::ostream& warnings, std::string_view species,
                           const SkippedPictures& skipped) {
  if (skipped.total() == 0) return;
  warnings << kTag << "warning: " << species.substr(0, TrimmedLength(species)) << ": "
           << skipped.total() << (skipped.total() == 1 ? " picture" : " pictures") << " skipped ("
           << skipped.unlisted_location << " at locations not listed in Input.txt, "
           << skipped.month_out_of_range << " with a month outside 1..12)\n";
  warnings.flush();
}

struct Run {
  const RunEnvironment& env;
  UnitTable units;
  std::int32_t IndependencePeriod = 0;
  std::int32_t OccasionDays = 0;
  StudyTables study;
  StudyCalendar calendar;
  DayMatrix days;
  std::int64_t NumOccasions = 0;

  explicit Run(const RunEnvironment& e) : env(e), units(e.folder, e.console_in, e.console_out) {}

  void ProcessSpecies(std::size_t s) {
    const std::string& name = study.species[s - 1];
    Say(units[kUnitConsoleOut], {kProcessing, name});
    IOM(study, days);
    ExtractSpeciesPics(units, name);
    const SkippedPictures skipped =
        TallyDetections(units, study, calendar, IndependencePeriod, days);
    WarnOfSkippedPictures(env.warnings, name, skipped);
    OccasionMatrix occasions(study.nsites, NumOccasions, env.memory_limit);
    CreateMatrix(OccasionDays, days, occasions);
    WriteSpeciesMatrix(units, study, occasions, NumOccasions, s);
    units[kUnitOutput].HandOn();
  }

  void Execute() {
    WriteTextLine(units[kUnitConsoleOut], kBanner);
    IndependencePeriod = Ask(units, kAskPeriod, 0);
    OccasionDays = AskOccasionDays(units);
    ReadInputFile(units, study);
    CheckPeriodMonths(study);
    Days(study, calendar);
    ApplyOffset(study, calendar);
    days = DayMatrix(static_cast<std::int64_t>(study.locations.size()), calendar.NumDays,
                     env.memory_limit);
    OpenTextFile(units, kUnitOutput, kOutputName, FileAccess::kWrite);
    WriteHeader(units[kUnitOutput], OccasionDays, calendar.NumDays, NumOccasions);
    // A full disk ends the run in the step that met it, not at the close.
    units[kUnitOutput].HandOn();
    const std::size_t turns = study.species.size();
    for (std::size_t s = 1; s <= turns; ++s) ProcessSpecies(s);
    WriteTextLine(units[kUnitOutput], kClosingLine);
    CloseTextFile(units, kUnitOutput);
    Say(units[kUnitConsoleOut], {kFinalLine});
    // The output is complete, so the end of input here is a normal end.
    std::string_view ignored;
    units[kUnitConsoleIn].NextLine(IoOperation::kFreeRead, ignored);
  }
};

}  // namespace

void RunOccasionTallies(const RunEnvironment& env) {
  Run run(env);
  run.Execute();
}

}  // namespace ot
