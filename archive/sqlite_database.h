// A thin hold on an SQLite database and its prepared statements: handles closed when they go,
// failures given as the library's own text. Only the archive's implementation includes it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace klxr::archive {

class Statement {
 public:
  Statement(sqlite3* database, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // False when the text did not compile; Problem() says why.
  bool Ok() const { return statement_ != nullptr; }
  std::string Problem() const;

  // Parameters count from 1, as in the SQL text's order of '?'.
  void Bind(int index, std::int64_t value);
  void Bind(int index, double value);
  void Bind(int index, std::string_view text);
  void Bind(int index, const std::optional<std::string>& text);  // none: NULL
  void Bind(int index, const std::optional<double>& value);      // none: NULL
  void BindBlob(int index, std::span<const std::uint8_t> bytes);

  // SQLITE_ROW while rows come, SQLITE_DONE at the end, else the failure's code.
  int Step();
  // Steps once; true when the statement ran to its end or gave a row.
  bool Run();
  // Ready to run again with new parameters.
  void Reset();

  std::int64_t Integer(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;  // NULL: empty
  std::optional<std::string> OptionalText(int column) const;
  std::optional<double> OptionalReal(int column) const;
  std::span<const std::uint8_t> Blob(int column) const;

 private:
  sqlite3* database_;
  sqlite3_stmt* statement_ = nullptr;
};

class Database {
 public:
  Database() = default;
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens (or creates) the file; empty on success, else the library's reason.
  std::string Open(const std::string& path);
  // Runs statements that give no rows; empty on success, else the library's reason.
  std::string Execute(std::string_view sql);
  // The library's text for the last failure on this connection.
  std::string LastProblem() const;
  sqlite3* Handle() const { return handle_; }

 private:
  sqlite3* handle_ = nullptr;
};

// A write transaction taken at once (BEGIN IMMEDIATE), so that a second writer waits its busy
// timeout at the start rather than failing half-way. Rolled back unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(Database& database);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  const std::string& Problem() const { return problem_; }  // empty when it began
  std::string Commit();

 private:
  Database& database_;
  std::string problem_;
  bool open_ = false;
};

}  // namespace klxr::archive
