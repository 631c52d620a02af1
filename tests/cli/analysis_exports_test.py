#!/usr/bin/env python3
"""Reads back what "export --format tidy-csv|json" and "compare --format csv|json" write, the way
analysis tools read them: every numeric column parses as numbers (an empty cell is no value), the
JSON parses, and the log's Latin-1 names arrive as UTF-8. pandas is used too when installed.

    analysis_exports_test.py KLXR_LOG_CLI SAMPLES_DIR
"""
import csv
import io
import json
import math
import subprocess
import sys

TIDY_NUMERIC = ["slot", "sequence", "sub_sequence", "frequency_mhz", "quality", "level_dbuv",
                "level_over", "level_under", "audio_level_dbuv", "audio_level_over",
                "audio_level_under", "cn_db", "cn_over", "cn_under", "mer_db", "mer_over",
                "mer_under", "ber"]
COMPARE_NUMERIC = ["frequency_mhz_before", "frequency_mhz_after", "level_dbuv_before",
                   "level_dbuv_after", "level_change_db", "cn_db_before", "cn_db_after",
                   "cn_change_db", "mer_db_before", "mer_db_after", "mer_change_db", "ber_before",
                   "ber_after", "ber_change_decades"]
LATIN1_NAME = "T\u00e9l\u00e9 Nord"  # a multiplex name of samples/mixed.tlg
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(tool, *arguments, expected_status=0):
    result = subprocess.run([tool, *arguments], stdout=subprocess.PIPE, check=False)
    check(result.returncode == expected_status,
          "%s: exit status %d" % (" ".join(arguments), result.returncode))
    return result.stdout.decode("utf-8")  # fails on anything but UTF-8


def check_csv_numbers(text, numeric, what):
    check("\r" not in text, what + ": LF line ends")
    rows = list(csv.DictReader(io.StringIO(text, newline="")))
    check(len(rows) > 0, what + ": rows")
    for number, row in enumerate(rows):
        for column in numeric:
            cell = row[column]
            if cell != "":
                try:
                    check(math.isfinite(float(cell)), "%s row %d %s" % (what, number, column))
                except ValueError:
                    failures.append("%s row %d %s: %r is no number" % (what, number, column, cell))
    return rows


def check_pandas(text, numeric, what):
    try:
        import pandas
    except ImportError:
        print("pandas is not installed: its read-back is skipped")
        return
    frame = pandas.read_csv(io.StringIO(text))
    for column in numeric:
        check(pandas.api.types.is_numeric_dtype(frame[column]),
              "%s: pandas reads %s as %s" % (what, column, frame[column].dtype))


def check_json_numbers(records, numeric, what):
    for number, record in enumerate(records):
        for column in numeric:
            value = record[column]
            check(value is None or (isinstance(value, (int, float)) and math.isfinite(value)),
                  "%s record %d %s: %r" % (what, number, column, value))


def main(tool, samples):
    mixed = samples + "/mixed.tlg"
    full = samples + "/full.tlg"
    tidy = run(tool, "export", "--format", "tidy-csv", "--site", "Roof", mixed, "-")
    rows = check_csv_numbers(tidy, TIDY_NUMERIC, "tidy-csv")
    check(len(rows) == 40, "tidy-csv: 40 records")
    check(any(row["multiplex"] == LATIN1_NAME for row in rows), "tidy-csv: Latin-1 name as UTF-8")
    check(all(row["site"] == "Roof" for row in rows), "tidy-csv: site")
    check_pandas(tidy, TIDY_NUMERIC, "tidy-csv")

    document = json.loads(run(tool, "export", "--format", "json", mixed, "-"))
    check(document["record_count"] == len(document["records"]) == 40, "json: 40 records")
    check(any(r["multiplex"] == LATIN1_NAME for r in document["records"]), "json: UTF-8 name")
    check_json_numbers(document["records"], TIDY_NUMERIC, "json")

    # mixed.tlg against the full log: some channels got worse, so the exit status is 1.
    compared = run(tool, "compare", "--format", "csv", mixed, full, expected_status=1)
    check_csv_numbers(compared, COMPARE_NUMERIC, "compare csv")
    check_pandas(compared, COMPARE_NUMERIC, "compare csv")
    comparison = json.loads(run(tool, "compare", "--format", "json", mixed, full,
                                expected_status=1))
    check(comparison["summary"]["worse"] > 0, "compare json: worse channels counted")
    check_json_numbers(comparison["channels"], COMPARE_NUMERIC, "compare json")
    same = json.loads(run(tool, "compare", "--format", "json", mixed, mixed))
    check(same["summary"]["unchanged"] == 40, "compare json: a log against itself")

    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
