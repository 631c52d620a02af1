// Whole-file reads and writes for the .tlg and CSV files: the one reader and the one writer every
// caller goes through, and the hooks tests use to make them fail.
#pragma once

#include "log/file_hooks.h"
#include "log/file_reader.h"
#include "log/file_writer.h"
