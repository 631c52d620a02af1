#include "archive/sqlite_database.h"

#include "platform/utf8_name.h"

namespace klxr::archive {

Statement::Statement(sqlite3* database, std::string_view sql) : database_(database) {
  if (sqlite3_prepare_v2(database, sql.data(), static_cast<int>(sql.size()), &statement_,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

std::string Statement::Problem() const {
  return sqlite3_errmsg(database_);
}

void Statement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
}

void Statement::Bind(int index, double value) {
  sqlite3_bind_double(statement_, index, value);
}

void Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
}

void Statement::Bind(int index, const std::optional<std::string>& text) {
  if (text) {
    Bind(index, std::string_view(*text));
  } else {
    sqlite3_bind_null(statement_, index);
  }
}

void Statement::Bind(int index, const std::optional<double>& value) {
  if (value) {
    Bind(index, *value);
  } else {
    sqlite3_bind_null(statement_, index);
  }
}

void Statement::BindBlob(int index, std::span<const std::uint8_t> bytes) {
  sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

int Statement::Step() {
  return sqlite3_step(statement_);
}

bool Statement::Run() {
  const int code = Step();
  return code == SQLITE_DONE || code == SQLITE_ROW;
}

void Statement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::int64_t Statement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

double Statement::Real(int column) const {
  return sqlite3_column_double(statement_, column);
}

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  return text == nullptr ? std::string()
                         : std::string(reinterpret_cast<const char*>(text),
                                       sqlite3_column_bytes(statement_, column));
}

std::optional<std::string> Statement::OptionalText(int column) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
    return std::nullopt;
  }
  return Text(column);
}

std::optional<double> Statement::OptionalReal(int column) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
    return std::nullopt;
  }
  return Real(column);
}

std::span<const std::uint8_t> Statement::Blob(int column) const {
  const void* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return {static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(size)};
}

Database::~Database() {
  sqlite3_close_v2(handle_);
}

std::string Database::Open(const std::string& path) {
  // SQLite takes file names in UTF-8 (on Windows it turns them into the system's wide names); the
  // program holds them in the system's 8-bit form.
  const std::optional<std::string> name = platform::Utf8NameOf(path);
  if (!name) {
    return "the file name is not valid in the system's character set";
  }
  // A connection is used by one thread at a time, so SQLite's own lock around every call (a
  // good part of the time of reading hundreds of thousands of rows) is left out.
  const int code =
      sqlite3_open_v2(name->c_str(), &handle_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    std::string problem = handle_ != nullptr ? sqlite3_errmsg(handle_) : sqlite3_errstr(code);
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
    return problem;
  }
  return {};
}

std::string Database::Execute(std::string_view sql) {
  const std::string text(sql);
  return sqlite3_exec(handle_, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK
             ? std::string()
             : LastProblem();
}

std::string Database::LastProblem() const {
  return sqlite3_errmsg(handle_);
}

WriteTransaction::WriteTransaction(Database& database) : database_(database) {
  problem_ = database_.Execute("BEGIN IMMEDIATE");
  open_ = problem_.empty();
}

WriteTransaction::~WriteTransaction() {
  if (open_) {
    database_.Execute("ROLLBACK");
  }
}

std::string WriteTransaction::Commit() {
  std::string problem = database_.Execute("COMMIT");
  if (problem.empty()) {
    open_ = false;
  }
  return problem;
}

}  // namespace klxr::archive
