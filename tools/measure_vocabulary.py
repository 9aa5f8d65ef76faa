#!/usr/bin/env python3
"""Figures on a Keywords.ini: entries per section, disagreements with
FreeBASIC's keyword table, API names that no mingw-w64 header declares, and
how many common identifier names each dialect recases.

Usage:
  python3 tools/measure_vocabulary.py [--keywords Keywords.ini]
      [--before OLD_Keywords.ini] [--table keywords.lst] [--check]

With --check it exits 1 when a word of the table is spelled otherwise
without a named reason or an API name is declared by no header, and 77 when
neither the table nor the headers are there to compare with.

With --before, the identifier figures are given for both files
(for example: git show main:Keywords.ini > /tmp/old.ini).
"""

import argparse
import os
import re
import sys

import make_keywords_ini as generator

TOOLS = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(TOOLS)
DEFAULT_TABLE = os.path.join(REPO_ROOT, "..", "shared", "reference", "freebasic", "keywords.lst")
WORD_RE = re.compile(r"[A-Za-z0-9_%&$.!?@]+")
SEPARATORS_RE = re.compile(r"[ \r\n,;]+")

# Words of the table the FreeBasic list spells otherwise on purpose (the
# list's remarks give the reasons).
NAMED_EXCEPTIONS = {
    "fb_MeMove": "typo in the table for fb_memmove; listed as fb_MemMove",
    "if": "#if: the word keeps the statement's spelling If",
    "else": "#else: the word keeps the statement's spelling Else",
    "elseif": "#elseif: the word keeps the statement's spelling ElseIf",
    "error": "#error: the word keeps the statement's spelling Error",
    "print": "#print: the word keeps the statement's spelling Print",
    "line": "#line: the word keeps the statement's spelling Line",
    "assert": "#assert: the word keeps the statement's spelling Assert",
}


def sections(path):
    """Tag -> entries of one Keywords.ini, read as the tools read it."""
    with open(path, "rb") as handle:
        text = handle.read().decode("latin-1")
    found = {}
    for tag in generator.SECTION_ORDER:
        start = text.find("<%s>" % tag)
        end = text.find("</%s>" % tag, start)
        body = text[start + len(tag) + 2:end] if start >= 0 and end >= 0 else ""
        found[tag] = [w for w in SEPARATORS_RE.split(body) if w]
    return found


def first_spelling(entries):
    spelled = {}
    for entry in entries:
        spelled.setdefault(generator.ascii_lower(entry), entry)
    return spelled


def table_disagreements(found, table_path):
    keywords = first_spelling(found[generator.SECTION_FB_KEYWORDS])
    constants = first_spelling(found[generator.SECTION_FB_CONSTANTS])
    with open(table_path, "rb") as handle:
        table = handle.read().decode("latin-1").split("\n")
    rows = []
    for phrase in table:
        for word in WORD_RE.findall(phrase):
            key = generator.ascii_lower(word)
            listed = keywords.get(key) or constants.get(key)
            if listed != word and (key, word) not in [(r[0], r[1]) for r in rows]:
                rows.append((key, word, listed))
    return rows


def undeclared_api_names(found, include_dir):
    texts = generator.header_closure(include_dir, generator.API_HEADERS)
    declared, macros = generator.declarations(texts)
    return [n for n in found[generator.SECTION_API] if n not in declared and n not in macros]


def identifiers():
    names = []
    with open(os.path.join(TOOLS, "common-identifiers.txt"), "rb") as handle:
        for line in handle.read().decode("latin-1").splitlines():
            line = line.strip()
            if line and not line.startswith("//"):
                names.append(line)
    return names


def recased(found, dialect, names):
    """Names of `names` that the dialect's lists would write differently."""
    if dialect == "FreeBasic":
        order = [generator.SECTION_FB_KEYWORDS, generator.SECTION_API, generator.SECTION_FB_CONSTANTS]
    else:
        order = [generator.SECTION_PB_KEYWORDS, generator.SECTION_API, generator.SECTION_PB_CONSTANTS]
    lists = [first_spelling(found[tag]) for tag in order]
    changed = []
    for name in names:
        for spelled in lists:
            entry = spelled.get(generator.ascii_lower(name))
            if entry is not None:
                if entry != name:
                    changed.append("%s->%s" % (name, entry))
                break
    return changed


def report_identifiers(label, found, names):
    for dialect in ("FreeBasic", "PowerBasic"):
        changed = recased(found, dialect, names)
        print("%s, %s: %d of %d common names recased: %s"
              % (label, dialect, len(changed), len(names), " ".join(changed)))


def main():
    parser = argparse.ArgumentParser(description="Figures on a Keywords.ini.")
    parser.add_argument("--keywords", default=os.path.join(REPO_ROOT, "Keywords.ini"))
    parser.add_argument("--before", help="an older Keywords.ini to compare with")
    parser.add_argument("--table", default=DEFAULT_TABLE, help="FreeBASIC's keywords.lst")
    parser.add_argument("--include-dir", default=generator.DEFAULT_INCLUDE_DIR)
    parser.add_argument("--check", action="store_true",
                        help="exit 1 on an unexplained disagreement or an undeclared API name")
    args = parser.parse_args()

    found = sections(args.keywords)
    for tag in generator.SECTION_ORDER:
        print("%-20s %6d entries" % (tag, len(found[tag])))

    faults = 0
    compared = False
    if os.path.isfile(args.table):
        compared = True
        rows = table_disagreements(found, args.table)
        print("FreeBASIC table words spelled otherwise or missing: %d" % len(rows))
        for key, word, listed in rows:
            reason = NAMED_EXCEPTIONS.get(word) or NAMED_EXCEPTIONS.get(key)
            faults += reason is None
            print("    %-12s list: %-12s %s" % (word, listed or "(missing)", reason or "NOT EXPLAINED"))
    else:
        print("SKIPPED: FreeBASIC's table not found at %s" % args.table)

    if os.path.isfile(os.path.join(args.include_dir, "winuser.h")):
        compared = True
        missing = undeclared_api_names(found, args.include_dir)
        faults += len(missing)
        print("API names that no header declares or defines: %d %s" % (len(missing), " ".join(missing[:40])))
    else:
        print("SKIPPED: mingw-w64 headers not found in %s" % args.include_dir)

    names = identifiers()
    if args.before:
        report_identifiers("before", sections(args.before), names)
    report_identifiers("after", found, names)

    if args.check:
        if not compared:
            return 77
        print("%d faults" % faults)
        return 1 if faults else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
