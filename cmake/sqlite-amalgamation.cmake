# SQLite compiled into the programs from its single-file source (sqlite3.c and sqlite3.h in the
# folder KLXR_SQLITE_AMALGAMATION names; scripts/fetch-sqlite.sh fetches them). The Windows builds
# use it, where no system SQLite is at hand; it gives the same SQLite::SQLite3 target as
# find_package(SQLite3), so the archive links it the same way.
enable_language(C)
set(klxr_sqlite_source ${KLXR_SQLITE_AMALGAMATION}/sqlite3.c)
if(NOT EXISTS ${klxr_sqlite_source} OR NOT EXISTS ${KLXR_SQLITE_AMALGAMATION}/sqlite3.h)
  message(FATAL_ERROR "KLXR_SQLITE_AMALGAMATION: no sqlite3.c and sqlite3.h in "
                      "'${KLXR_SQLITE_AMALGAMATION}' (scripts/fetch-sqlite.sh prints the folder)")
endif()

add_library(klxr_sqlite3 STATIC ${klxr_sqlite_source})
# The archive opens its file by name only, sets foreign keys and WAL on each connection itself, and
# may be used from more than one thread: no extension loading, no double-quoted string literals,
# serialized connections.
target_compile_definitions(klxr_sqlite3 PRIVATE
  SQLITE_OMIT_LOAD_EXTENSION
  SQLITE_DQS=0
  SQLITE_THREADSAFE=1
  SQLITE_DEFAULT_FOREIGN_KEYS=0
  SQLITE_DEFAULT_MEMSTATUS=0
  SQLITE_OMIT_SHARED_CACHE
  SQLITE_LIKE_DOESNT_MATCH_BLOBS
)
# Another project's C file: none of the project's warning options (nor -Werror) apply to it, and
# it is compiled without warnings; everything else the folder sets (sanitizers) still does.
get_target_property(klxr_sqlite_options klxr_sqlite3 COMPILE_OPTIONS)
if(klxr_sqlite_options)
  list(FILTER klxr_sqlite_options EXCLUDE REGEX "^[-/]W")
  set_target_properties(klxr_sqlite3 PROPERTIES COMPILE_OPTIONS "${klxr_sqlite_options}")
endif()
target_compile_options(klxr_sqlite3 PRIVATE $<IF:$<C_COMPILER_ID:MSVC>,/w,-w>)
# SYSTEM: the project's warnings do not look into sqlite3.h either.
target_include_directories(klxr_sqlite3 SYSTEM PUBLIC ${KLXR_SQLITE_AMALGAMATION})
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(klxr_sqlite3 PUBLIC Threads::Threads ${CMAKE_DL_LIBS} m)
endif()
add_library(SQLite::SQLite3 ALIAS klxr_sqlite3)
set(SQLite3_FOUND TRUE)
