#include "run/run_driver.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "run/calendar.h"
#include "run/matrix.h"
#include "run/occasion_output.h"
#include "run/operating_days.h"
#include "run/species_turns.h"
#include "run/survey_input.h"
#include "run/tally.h"
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

// The warning lines of one species' turn, in the order they are given.
std::vector<std::string> SpeciesWarnings(std::string_view species, const TallyOutcome& outcome) {
  const std::string head =
      std::string(kTag) + "warning: " + std::string(StripTrailingSpaces(species)) + ": ";
  const SkippedPictures& skipped = outcome.skipped;
  const SuspectPictures& suspect = outcome.suspect;
  std::vector<std::string> lines;
  if (skipped.warned() > 0) {
    lines.push_back(head + Pluralize(skipped.warned(), "picture", "pictures") + " skipped (" +
                    std::to_string(skipped.unlisted_location) +
                    " at locations not listed in Input.txt, " +
                    std::to_string(skipped.month_out_of_range) + " with a month outside 1..12)\n");
  }
  if (suspect.on_non_operating_day > 0) {
    lines.push_back(head +
                    Pluralize(suspect.on_non_operating_day,
                              "picture on a day its camera was not operating",
                              "pictures on days their camera was not operating") +
                    "\n");
  }
  if (suspect.earlier_than_previous > 0) {
    lines.push_back(
        head +
        Pluralize(suspect.earlier_than_previous,
                  "picture earlier than the picture before it at the same location",
                  "pictures earlier than the picture before them at the same location") +
        " (sort AllPictures.txt by location and time)\n");
  }
  if (suspect.impossible_date_or_time > 0) {
    lines.push_back(head +
                    Pluralize(suspect.impossible_date_or_time, "picture with", "pictures with") +
                    " an impossible date or time (such as 31 April or hour 24)\n");
  }
  return lines;
}

std::string MisalignedWarning(const MisalignedRecords& misaligned) {
  const std::int64_t n = misaligned.count();
  return std::string(kTag) + "warning: " + std::to_string(n) + " of " +
         std::to_string(misaligned.total_lines) + " records in AllPictures.txt " +
         std::string(SingularOrPlural(n, "is not in the fixed columns (line ",
                                      "are not in the fixed columns (first at line ")) +
         std::to_string(misaligned.first_line()) + ")\n";
}

struct Run {
  const RunEnvironment& env;
  UnitTable units;
  std::int32_t independence_period = 0;
  std::int32_t occasion_days = 0;
  SurveyDescription survey;
  SurveyCalendar calendar;
  DayMatrix days;
  std::int64_t num_occasions = 0;
  OperatingDays operating;
  MisalignedRecords misaligned;
  std::optional<SpeciesTurns> turns;

  explicit Run(const RunEnvironment& e) : env(e), units(e.folder, e.console_in, e.console_out) {}

  void Warn(const std::string& line) {
    env.warnings << line;
    env.warnings.flush();
    if (env.observer != nullptr) env.observer->Warning(line);
  }

  void ProcessSpecies(std::size_t s) {
    const std::string& name = survey.species[s];
    Say(units[kUnitConsoleOut], {kProcessing, name});
    const TallyOutcome outcome = turns->Tally(s);
    for (const std::string& line : SpeciesWarnings(name, outcome)) Warn(line);
    OccasionMatrix occasions(survey.num_locations, num_occasions, env.memory_limit);
    turns->FillOccasions(s, occasions);
    WriteSpeciesMatrix(units, survey, occasions, num_occasions, s);
    units[kUnitOutput].Flush();
    if (env.observer != nullptr) env.observer->SpeciesDone(s, outcome.skipped);
  }

  void TakeAnswers() {
    if (env.answers != nullptr) {
      independence_period = env.answers->independence_period;
      occasion_days = env.answers->occasion_days;
      return;
    }
    independence_period = Ask(units, kAskPeriod, 0);
    occasion_days = AskOccasionDays(units);
  }

  void Execute() {
    WriteTextLine(units[kUnitConsoleOut], kBanner);
    TakeAnswers();
    ReadInputFile(units, survey);
    CheckPeriodDates(survey);
    SetSurveyCalendar(survey, calendar);
    ShiftToSurveyDays(survey, calendar);
    days = DayMatrix(static_cast<std::int64_t>(survey.locations.size()), calendar.num_days,
                     env.memory_limit);
    operating = OperatingDays(survey, days.columns());
    OpenTextFile(units, kUnitOutput, kOutputName, FileAccess::kWrite);
    WriteHeader(units[kUnitOutput], occasion_days, calendar.num_days, num_occasions);
    // A full disk ends the run in the step that met it, not at the close.
    units[kUnitOutput].Flush();
    if (env.observer != nullptr) {
      env.observer->SurveyReady(survey, calendar, {independence_period, occasion_days},
                                num_occasions);
    }
    turns.emplace(units, survey, calendar, operating, days, misaligned,
                  TurnSettings{independence_period, occasion_days, num_occasions, env.scan_memory,
                               env.memory_limit, env.observer});
    const std::size_t species = survey.species.size();
    for (std::size_t s = 0; s < species; ++s) ProcessSpecies(s);
    WriteTextLine(units[kUnitOutput], kClosingLine);
    CloseTextFile(units, kUnitOutput);
    Say(units[kUnitConsoleOut], {env.answers != nullptr ? kClosingLine : kFinalLine});
    // Given after the console line, the last write that can fail, so that a
    // failed run never gives it.
    if (species > 0 && misaligned.count() > 0) Warn(MisalignedWarning(misaligned));
    if (env.observer != nullptr) env.observer->RunComplete();
    if (env.answers != nullptr) return;
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
