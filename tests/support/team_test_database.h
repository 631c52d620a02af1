// A database of its own, with the team schema, on the server of the team_server ctest fixture.
#pragma once

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "archive/team/pq_connection.h"
#include "archive/team/team_archive.h"

namespace klxr::testing {

class TeamTestDatabase {
 public:
  // False when no server runs (the test then skips).
  bool Create() {
    const char* state = std::getenv("KLXR_TEAM_TEST_SERVER");
    std::ifstream in(state != nullptr ? state : "");
    std::getline(in, server_);
    archive::PqConnection admin;
    return !server_.empty() && admin.Connect(ConnectionAs("klxr_admin", "postgres")).empty() &&
           admin.Execute("CREATE DATABASE " + database_).Ok() &&
           archive::TeamArchive::Initialize(ConnectionAs("klxr_admin")).Ok();
  }
  std::string ConnectionAs(const std::string& role, const std::string& database = "") const {
    return "host=" + server_ + " user=" + role +
           " dbname=" + (database.empty() ? database_ : database);
  }

 private:
  std::string server_;
  std::string database_ = "team_ui_" + std::to_string(std::random_device{}() % 1000000000);
};

}  // namespace klxr::testing
