// A thin hold on a libpq connection and its results: handles freed when they go, failures given
// as the server's own text with their SQLSTATE. Only the team archive's implementation includes it.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace klxr::archive {

// One parameter of a statement: a text, NULL, or bytes sent as they are (a bytea).
struct PqValue {
  std::optional<std::string> text;
  std::span<const std::uint8_t> bytes;
  bool binary = false;

  static PqValue Text(std::string value) { return {std::move(value), {}, false}; }
  static PqValue Null() { return {}; }
  static PqValue Bytes(std::span<const std::uint8_t> value) { return {std::nullopt, value, true}; }
};

class PqResult {
 public:
  explicit PqResult(PGresult* result) : result_(result) {}
  ~PqResult() { PQclear(result_); }
  PqResult(PqResult&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
  PqResult& operator=(PqResult&&) = delete;
  PqResult(const PqResult&) = delete;
  PqResult& operator=(const PqResult&) = delete;

  // The statement ran (and gave rows, or none).
  bool Ok() const;
  ExecStatusType Status() const { return PQresultStatus(result_); }
  // The server's reason, first line, when it did not.
  std::string Problem() const;
  // The SQLSTATE of the failure ("42501": not allowed); empty when there is none.
  std::string SqlState() const;

  int Rows() const { return PQntuples(result_); }
  bool IsNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }
  std::string Text(int row, int column) const;
  std::optional<std::string> OptionalText(int row, int column) const;
  std::int64_t Integer(int row, int column) const;
  bool Boolean(int row, int column) const { return Text(row, column) == "t"; }
  std::optional<double> OptionalReal(int row, int column) const;
  // A column of a result asked for in binary form.
  std::span<const std::uint8_t> Bytes(int row, int column) const;

 private:
  PGresult* result_;
};

class PqConnection {
 public:
  PqConnection() = default;
  ~PqConnection();
  PqConnection(const PqConnection&) = delete;
  PqConnection& operator=(const PqConnection&) = delete;

  // Connects with a libpq connection string, the client's texts in UTF-8; empty on success,
  // else libpq's reason.
  std::string Connect(const std::string& connection);
  // Runs one statement or several without parameters.
  PqResult Execute(std::string_view sql);
  // Runs one statement with $1, $2... parameters; binaryResult asks for every column in binary.
  PqResult Execute(const std::string& sql, const std::vector<PqValue>& values,
                   bool binaryResult = false);
  // COPY ... FROM STDIN with the data in COPY's text form; empty on success, else why not.
  std::string CopyIn(const std::string& sql, std::string_view data);
  // The connection's last failure, first line.
  std::string LastProblem() const;
  bool Alive() const { return handle_ != nullptr && PQstatus(handle_) == CONNECTION_OK; }

 private:
  PGconn* handle_ = nullptr;
};

// The first line of a libpq message, without its "ERROR:  " or "FATAL:  " lead.
std::string FirstLine(std::string_view message);

}  // namespace klxr::archive
