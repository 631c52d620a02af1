#include "log/tidy_export.h"

#include <array>
#include <vector>

#include "log/data_text.h"
#include "log/file_writer.h"
#include "log/log_files.h"
#include "log/record_values.h"

namespace klxr {
namespace {

constexpr std::size_t kFactColumns = 3;

constexpr std::array<std::string_view, 27> kColumns{"survey_id",
                                                    "read_time",
                                                    "site",
                                                    "slot",
                                                    "kind",
                                                    "sequence",
                                                    "sub_sequence",
                                                    "frequency_mhz",
                                                    "channel",
                                                    "standard",
                                                    "multiplex",
                                                    "status",
                                                    "quality",
                                                    "modulation",
                                                    "level_dbuv",
                                                    "level_over",
                                                    "level_under",
                                                    "audio_level_dbuv",
                                                    "audio_level_over",
                                                    "audio_level_under",
                                                    "cn_db",
                                                    "cn_over",
                                                    "cn_under",
                                                    "mer_db",
                                                    "mer_over",
                                                    "mer_under",
                                                    "ber"};

// A measurement's three cells: its value (empty when the meter gave none) and its range flags;
// all three empty when the record's kind does not carry it.
void AddMeasurement(std::vector<DataCell>& cells, const Measurement& measurement, bool applies) {
  if (!applies) {
    cells.insert(cells.end(), 3, DataCell{});
    return;
  }
  cells.push_back(measurement.value ? NumberCell(DecimalText(*measurement.value, 2)) : DataCell{});
  cells.push_back(FlagCell(measurement.overRange));
  cells.push_back(FlagCell(measurement.underRange));
}

std::vector<DataCell> FactCells(const SurveyFacts& facts) {
  return {TextCell(facts.surveyId), TextCell(facts.readTime), TextCell(facts.site)};
}

// The record's cells, appended to the survey's.
std::vector<DataCell> RowCells(std::vector<DataCell> cells, const RecordValues& record) {
  const bool analogue = record.kind == 'A';
  cells.push_back(NumberCell(std::to_string(record.slot)));
  cells.push_back(TextCell(std::string(1, record.kind)));
  cells.push_back(NumberCell(std::to_string(record.sequence)));
  cells.push_back(NumberCell(std::to_string(record.subSequence)));
  cells.push_back(NumberCell(MegahertzText(record.frequencyKhz)));
  cells.push_back(TextCell(Latin1ToUtf8(record.channel)));
  cells.push_back(TextCell(Latin1ToUtf8(record.standard)));
  cells.push_back(TextCell(Latin1ToUtf8(record.multiplex)));
  cells.push_back(TextCell(record.status));
  cells.push_back(NumberCell(std::to_string(record.quality)));
  cells.push_back(TextCell(record.modulation));
  AddMeasurement(cells, record.level, true);
  AddMeasurement(cells, record.audioLevel, analogue);
  AddMeasurement(cells, record.carrierToNoise, analogue);
  AddMeasurement(cells, record.mer, !analogue);
  cells.push_back(record.ber ? NumberCell(BerNumberText(*record.ber)) : DataCell{});
  return cells;
}

}  // namespace

std::span<const std::string_view> TidyColumnNames() {
  return kColumns;
}

std::string MakeTidyCsvText(const LogImage& image, const SurveyFacts& facts) {
  std::vector<DataCell> header;
  for (const std::string_view name : kColumns) {
    header.push_back(TextCell(name));
  }
  std::string text = CsvLine(header);
  const std::vector<DataCell> factCells = FactCells(facts);
  for (const RecordValues& record : RecordValuesOf(image)) {
    text += CsvLine(RowCells(factCells, record));
  }
  return text;
}

std::string MakeRecordsJsonText(const LogImage& image, const SurveyFacts& facts) {
  const std::vector<RecordValues> records = RecordValuesOf(image);
  std::string text = "{\n  " + JsonMembers(kColumns, FactCells(facts), ",\n  ") + ",\n";
  text += "  \"record_count\": " + std::to_string(records.size()) + ",\n";
  text += "  \"records\": [";
  const std::span<const std::string_view> recordColumns = std::span(kColumns).subspan(kFactColumns);
  for (std::size_t i = 0; i < records.size(); ++i) {
    text += i > 0 ? ",\n    {" : "\n    {";
    text += JsonMembers(recordColumns, RowCells({}, records[i]), ", ") + "}";
  }
  text += records.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return text;
}

int ExportTidyCsv(const LogImage& image, const SurveyFacts& facts, const std::string& path,
                  MessageBoxes& boxes, bool quietMode, const FileHooks& hooks) {
  return ReportWriteOutcome(ReplaceFile(path, MakeTidyCsvText(image, facts), hooks), boxes,
                            quietMode);
}

int ExportRecordsJson(const LogImage& image, const SurveyFacts& facts, const std::string& path,
                      MessageBoxes& boxes, bool quietMode, const FileHooks& hooks) {
  return ReportWriteOutcome(ReplaceFile(path, MakeRecordsJsonText(image, facts), hooks), boxes,
                            quietMode);
}

}  // namespace klxr
