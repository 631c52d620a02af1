#include "archive/team/pq_connection.h"

#include <charconv>
#include <cstdlib>

namespace klxr::archive {

std::string FirstLine(std::string_view message) {
  std::string line(message.substr(0, message.find('\n')));
  for (const std::string_view lead : {"ERROR:  ", "FATAL:  "}) {
    for (auto at = line.find(lead); at != std::string::npos; at = line.find(lead)) {
      line.erase(at, lead.size());
    }
  }
  return line;
}

bool PqResult::Ok() const {
  const ExecStatusType status = PQresultStatus(result_);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string PqResult::Problem() const {
  if (result_ == nullptr) {
    return "the connection to the team archive was lost";
  }
  const std::string message = FirstLine(PQresultErrorMessage(result_));
  return message.empty() ? "the connection to the team archive was lost" : message;
}

std::string PqResult::SqlState() const {
  const char* state = result_ != nullptr ? PQresultErrorField(result_, PG_DIAG_SQLSTATE) : nullptr;
  return state != nullptr ? state : "";
}

std::string PqResult::Text(int row, int column) const {
  return std::string(PQgetvalue(result_, row, column),
                     static_cast<std::size_t>(PQgetlength(result_, row, column)));
}

std::optional<std::string> PqResult::OptionalText(int row, int column) const {
  if (IsNull(row, column)) {
    return std::nullopt;
  }
  return Text(row, column);
}

std::int64_t PqResult::Integer(int row, int column) const {
  const std::string text = Text(row, column);
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::optional<double> PqResult::OptionalReal(int row, int column) const {
  if (IsNull(row, column)) {
    return std::nullopt;
  }
  return std::strtod(PQgetvalue(result_, row, column), nullptr);
}

std::span<const std::uint8_t> PqResult::Bytes(int row, int column) const {
  return {reinterpret_cast<const std::uint8_t*>(PQgetvalue(result_, row, column)),
          static_cast<std::size_t>(PQgetlength(result_, row, column))};
}

PqConnection::~PqConnection() {
  PQfinish(handle_);
}

std::string PqConnection::Connect(const std::string& connection) {
  PQfinish(handle_);
  handle_ = PQconnectdb(connection.c_str());
  if (PQstatus(handle_) != CONNECTION_OK) {
    return LastProblem();
  }
  // The server's notices ("already exists, skipping") are not the user's concern.
  PQsetNoticeProcessor(
      handle_, [](void*, const char*) {}, nullptr);
  if (PQsetClientEncoding(handle_, "UTF8") != 0) {
    return LastProblem();
  }
  return {};
}

PqResult PqConnection::Execute(std::string_view sql) {
  return PqResult(PQexec(handle_, std::string(sql).c_str()));
}

PqResult PqConnection::Execute(const std::string& sql, const std::vector<PqValue>& values,
                               bool binaryResult) {
  std::vector<const char*> texts;
  std::vector<int> lengths;
  std::vector<int> formats;
  for (const PqValue& value : values) {
    if (value.binary) {
      texts.push_back(reinterpret_cast<const char*>(value.bytes.data()));
      lengths.push_back(static_cast<int>(value.bytes.size()));
    } else {
      texts.push_back(value.text ? value.text->c_str() : nullptr);
      lengths.push_back(0);
    }
    formats.push_back(value.binary ? 1 : 0);
  }
  return PqResult(PQexecParams(handle_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                               texts.data(), lengths.data(), formats.data(), binaryResult ? 1 : 0));
}

std::string PqConnection::CopyIn(const std::string& sql, std::string_view data) {
  if (const PqResult start = Execute(sql); start.Status() != PGRES_COPY_IN) {
    return start.Problem();
  }
  if (PQputCopyData(handle_, data.data(), static_cast<int>(data.size())) != 1 ||
      PQputCopyEnd(handle_, nullptr) != 1) {
    return LastProblem();
  }
  std::string problem;
  for (PGresult* result = PQgetResult(handle_); result != nullptr; result = PQgetResult(handle_)) {
    const PqResult end(result);
    if (problem.empty() && !end.Ok()) {
      problem = end.Problem();
    }
  }
  return problem;
}

std::string PqConnection::LastProblem() const {
  const std::string message = FirstLine(PQerrorMessage(handle_));
  return message.empty() ? "the connection to the team archive was lost" : message;
}

}  // namespace klxr::archive
