// Leak reports the sanitizer build should not raise: allocations the system's font and display
// libraries make once per process and never free.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libglib\n"
         "leak:libdbus\n";
}
