// history show and history channel: one survey's facts and records, and one channel across every
// survey, as text or JSON.
#include <cerrno>
#include <string_view>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/option_values.h"
#include "log/data_text.h"
#include "log/record_format.h"

namespace klxr::cli {
namespace {

// How much text "history channel" gathers before it writes.
constexpr std::size_t kOutputPiece = 64 * 1024;

bool TakeJsonFormat(const std::vector<std::string>& arguments, std::string_view command,
                    const std::vector<std::string_view>& operands, bool& json,
                    std::vector<std::string>& operandValues, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--format"});
  const ParsedArguments parsed = values.error.empty() ? ParseArguments(values.rest, {}, operands)
                                                      : ParsedArguments{{}, {}, values.error};
  const auto named = values.values.find("--format");
  std::string error = parsed.error;
  if (error.empty() && named != values.values.end() && named->second != "text" &&
      named->second != "json") {
    error = "unknown format '" + named->second + "' (text or json)";
  }
  if (!error.empty()) {
    ReportUsageError(context, command, error);
    return false;
  }
  json = named != values.values.end() && named->second == "json";
  operandValues = parsed.operands;
  return true;
}

std::string OptionalText(const std::optional<std::string>& text) {
  return text ? *text : "-";
}

std::string SightingsJson(const std::vector<archive::Sighting>& sightings) {
  std::string json = "[";
  for (const archive::Sighting& seen : sightings) {
    json += (json.size() > 1 ? ", " : "") + std::string("{\"seen_utc\": ") +
            JsonString(seen.seenUtc) + ", \"time_zone\": " + JsonString(seen.timeZone) +
            ", \"source\": " + JsonString(seen.source) + "}";
  }
  return json + "]";
}

std::string FactsText(const archive::SurveySummary& survey,
                      const std::vector<archive::Sighting>& sightings) {
  std::string text =
      "survey\t" + std::to_string(survey.id) + "\nsha256\t" + survey.sha256 + "\nread\t" +
      survey.readUtc + " (" + survey.timeZone + ")\nmeter\t" + OptionalText(survey.meterVersion) +
      "\nadapter\t" + OptionalText(survey.adapterSerial) + "\nsource\t" + survey.source +
      "\nrecords\t" + std::to_string(survey.recordCount) + "\ncomplete\t" +
      (survey.complete ? "yes" : "no") + "\nsite\t" + survey.site + "\nnote\t" + survey.note + "\n";
  for (const archive::Sighting& seen : sightings) {
    text += "seen\t" + seen.seenUtc + " (" + seen.timeZone + ") " + seen.source + "\n";
  }
  return text;
}

// A measurement for the text table: its number, after ">" or "<" when the meter marked it out of
// range; empty when it has none.
std::string MeasurementText(const Measurement& measurement) {
  if (!measurement.value) {
    return "";
  }
  return std::string(measurement.overRange    ? ">"
                     : measurement.underRange ? "<"
                                              : "") +
         DecimalText(*measurement.value, 2);
}

// A measurement as the archive's columns name it: the number (null when none), then its range
// flags, e.g. "mer_db", "mer_over", "mer_under".
std::string MeasurementJson(std::string_view valueName, std::string_view flagPrefix,
                            const Measurement& measurement) {
  const std::string prefix(flagPrefix);
  return ", \"" + std::string(valueName) +
         "\": " + (measurement.value ? DecimalText(*measurement.value, 2) : std::string("null")) +
         ", \"" + prefix + "_over\": " + (measurement.overRange ? "true" : "false") + ", \"" +
         prefix + "_under\": " + (measurement.underRange ? "true" : "false");
}

}  // namespace

std::string ReadingJson(const archive::ChannelReading& reading) {
  const RecordValues& values = reading.values;
  return "{\"survey\": " + std::to_string(reading.survey) +
         ", \"read_utc\": " + JsonString(reading.readUtc) +
         ", \"site\": " + JsonString(reading.site) + ", \"slot\": " + std::to_string(values.slot) +
         ", \"kind\": " + JsonString(std::string(1, values.kind)) +
         ", \"sequence\": " + std::to_string(values.sequence) +
         ", \"frequency_mhz\": " + MegahertzText(values.frequencyKhz) +
         ", \"channel\": " + JsonString(values.channel) +
         ", \"standard\": " + JsonString(values.standard) +
         ", \"multiplex\": " + JsonString(values.multiplex) +
         MeasurementJson("level_dbuv", "level", values.level) +
         MeasurementJson("audio_level_dbuv", "audio", values.audioLevel) +
         MeasurementJson("cn_db", "cn", values.carrierToNoise) +
         MeasurementJson("mer_db", "mer", values.mer) +
         ", \"ber\": " + (values.ber ? BerNumberText(*values.ber) : std::string("null")) +
         ", \"status\": " + JsonString(values.status) +
         ", \"modulation\": " + JsonString(values.modulation) + "}";
}

std::string ReadingText(const archive::ChannelReading& reading) {
  const RecordValues& values = reading.values;
  return std::to_string(reading.survey) + "\t" + reading.readUtc + "\t" + reading.site + "\t" +
         MegahertzText(values.frequencyKhz) + "\t" + values.channel + "\t" +
         std::string(1, values.kind) + "\t" + MeasurementText(values.level) + "\t" +
         MeasurementText(values.carrierToNoise) + "\t" + MeasurementText(values.mer) + "\t" +
         (values.ber ? BerNumberText(*values.ber) : "") + "\t" + values.status + "\n";
}

int HistoryShow(const std::vector<std::string>& arguments, CliContext& context) {
  bool json = false;
  std::vector<std::string> operands;
  if (!TakeJsonFormat(arguments, "history show", {"ID"}, json, operands, context)) {
    return kExitUsage;
  }
  const auto archive = OpenHistoryArchive(context);
  const auto survey = archive ? FindSurvey(*archive, operands[0], context) : std::nullopt;
  if (!survey) {
    return kExitFailure;
  }
  const auto sightings = archive->Sightings(survey->id);
  const auto image = archive->Image(survey->id);
  if (!sightings || !image) {
    return ReportHistoryProblem(context, sightings ? image.Problem() : sightings.Problem());
  }
  if (json) {
    std::string text = SurveyJson(*survey);
    text.insert(text.size() - 1, ", \"seen\": " + SightingsJson(sightings.Value()));
    return WriteToOutput(context, text + "\n") ? kExitOk : kExitFailure;
  }
  if (!WriteToOutput(context, FactsText(*survey, sightings.Value()) + "\n")) {
    return kExitFailure;
  }
  const int count = CountRecords(image.Value(), nullptr);
  return PrintDisplayLines(image.Value(), count, kUnitsDbm, context.out)
             ? kExitOk
             : ReportOutputFailure(context, errno);
}

int HistoryChannel(const std::vector<std::string>& arguments, CliContext& context) {
  bool json = false;
  std::vector<std::string> operands;
  if (!TakeJsonFormat(arguments, "history channel", {"NAME|FREQ"}, json, operands, context)) {
    return kExitUsage;
  }
  const auto archive = OpenHistoryArchive(context);
  if (!archive) {
    return kExitFailure;
  }
  // Written in pieces as the readings come: a channel measured at many sites in thousands of
  // surveys gives hundreds of thousands of lines.
  std::string text = json ? "["
                          : "survey\tread (UTC)\tsite\tfrequency (MHz)\tchannel\tkind\t"
                            "level (dBuV)\tC/N (dB)\tMER (dB)\tBER\tstatus\n";
  bool written = true;
  const auto readings =
      archive->VisitChannelHistory(operands[0], [&](const archive::ChannelReading& reading) {
        if (!written) {
          return;
        }
        text +=
            json ? (text == "[" ? "\n  " : ",\n  ") + ReadingJson(reading) : ReadingText(reading);
        if (text.size() >= kOutputPiece) {
          written = WriteToOutput(context, text);
          text.clear();
        }
      });
  if (!readings) {
    return ReportHistoryProblem(context, readings.Problem());
  }
  if (json) {
    text += readings.Value() == 0 ? "]\n" : "\n]\n";
  }
  return written && WriteToOutput(context, text) ? kExitOk : kExitFailure;
}

}  // namespace klxr::cli
