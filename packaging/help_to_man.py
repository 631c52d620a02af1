#!/usr/bin/env python3
"""Writes a program's manual page from its own --help output, so the page and the help cannot drift:

    help_to_man.py --tool PROGRAM --name NAME --summary TEXT --source TEXT [--commands]
                   [--see-also PAGE]... --out PAGE.1.gz

The help text is read as the programs write it: "Usage:" lines, paragraphs separated by blank lines,
"Heading:" lines followed by indented "term   explanation" lists (deeper indented lines continue the
explanation). With --commands, every command of the "Commands:" list is explained again in full from
"PROGRAM help COMMAND". The page is written gzip-compressed with no time stamp, so that builds of
the same sources give the same file.
"""
import argparse
import gzip
import re
import subprocess
import sys

EXIT_STATUS_START = "Exit status:"


def run_help(tool, *arguments):
    result = subprocess.run([tool, *arguments], stdout=subprocess.PIPE, check=True)
    return result.stdout.decode("utf-8")


def escape(text):
    text = text.replace("\\", "\\e")
    return "\\&" + text if text.startswith((".", "'")) else text


def escape_term(text):
    return escape(text).replace("-", "\\-")


def blocks(text):
    """The text as lists of lines, split at blank lines."""
    result, current = [], []
    for line in text.rstrip("\n").split("\n"):
        if line.strip():
            current.append(line.rstrip())
        elif current:
            result.append(current)
            current = []
    if current:
        result.append(current)
    return result


def split_term(line):
    """'  --out FILE   explanation' -> ('--out FILE', 'explanation')."""
    stripped = line.strip()
    match = re.match(r"(\S(?:.*?\S)?)\s{2,}(\S.*)$", stripped)
    if match:
        return match.group(1), match.group(2)
    term, _, rest = stripped.partition(" ")
    return term, rest.strip()


def term_list(lines):
    out = []
    indent = None
    for line in lines:
        depth = len(line) - len(line.lstrip())
        if indent is None or depth <= indent:
            indent = depth
            term, explanation = split_term(line)
            out += [".TP", ".B " + escape_term(term)]
            if explanation:
                out.append(escape(explanation))
        else:
            out.append(escape(line.strip()))
    return out


def usage_lines(block):
    return [escape_term(re.sub(r"^(Usage:)?\s*", "", line)) for line in block]


def body(block_list, headings=True):
    """Paragraphs, "Heading:" lists and the exit-status paragraph as man page requests."""
    out = []
    for block in block_list:
        first = block[0]
        if block[0].startswith("Usage:"):
            out += [".PP", ".nf"] + usage_lines(block) + [".fi"]
        elif re.match(r"^[A-Z][A-Za-z ]*:$", first) and len(block) > 1:
            title = first[:-1]
            out += ['.SH "%s"' % title.upper()] if headings else [".PP", escape(first)]
            out += term_list(block[1:])
        elif all(line.startswith("  ") for line in block):
            out += term_list(block)
        else:
            if headings and first.startswith(EXIT_STATUS_START):
                out.append('.SH "EXIT STATUS"')
            out.append(".PP")
            out += [escape(line.strip()) for line in block]
    return out


def command_names(overview):
    names = []
    for block in blocks(overview):
        if block[0] == "Commands:":
            names = [split_term(line)[0] for line in block[1:] if line.startswith("  ")]
    return [name for name in names if name != "help"]


def command_section(tool, name):
    text = run_help(tool, "help", name)
    parts = blocks(text)
    parts = [block for block in parts if not block[0].startswith(EXIT_STATUS_START)]
    out = [".SS " + escape_term(name)]
    if parts and parts[0][0].startswith("Usage:"):
        out += [".nf"] + usage_lines(parts[0]) + [".fi"]
        parts = parts[1:]
    return out + body(parts, headings=False)


def page(arguments):
    overview = run_help(arguments.tool, "--help")
    parts = blocks(overview)
    synopsis = parts[0] if parts and parts[0][0].startswith("Usage:") else []
    rest = parts[1:] if synopsis else parts
    upper = arguments.name.upper()
    out = ['.TH "%s" 1 "" "%s" "User Commands"' % (escape_term(upper), escape(arguments.source)),
           ".SH NAME", "%s \\- %s" % (escape_term(arguments.name), escape(arguments.summary)),
           ".SH SYNOPSIS", ".nf"] + usage_lines(synopsis) + [".fi", ".SH DESCRIPTION"]
    description = body(rest)
    # The exit status and the sections after it (environment, files, examples) close the page,
    # after the commands.
    closing = description.index('.SH "EXIT STATUS"') if '.SH "EXIT STATUS"' in description else None
    out += description[:closing]
    if arguments.commands:
        out.append('.SH "COMMANDS IN DETAIL"')
        for name in command_names(overview):
            out += command_section(arguments.tool, name)
    if closing is not None:
        out += description[closing:]
    if arguments.see_also:
        out += [".SH \"SEE ALSO\"",
                ",\n".join(".BR %s (1)" % escape_term(other) for other in arguments.see_also)]
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--name", required=True)
    parser.add_argument("--summary", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--commands", action="store_true")
    parser.add_argument("--see-also", action="append", default=[])
    parser.add_argument("--out", required=True)
    arguments = parser.parse_args()
    text = page(arguments).encode("utf-8")
    with open(arguments.out, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0, compresslevel=9) as out:
            out.write(text)


if __name__ == "__main__":
    sys.exit(main())
