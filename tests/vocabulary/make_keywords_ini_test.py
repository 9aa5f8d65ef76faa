#!/usr/bin/env python3
"""Tests of the pieces of tools/make_keywords_ini.py that decide which words
enter Keywords.ini: what counts as a header declaration, which headers are
read, and how a hand-written list is cleaned."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_keywords_ini as generator  # noqa: E402

HEADER = r"""
/* CreateFooA is only named in this comment: CreateFooA(x) */
// and here: DeleteFooA(y)
WINUSERAPI HWND WINAPI CreateWindowExA (DWORD dwExStyle,
    LPCSTR lpClassName);
WINUSERAPI int WINAPI
MessageBoxW(HWND hWnd, LPCWSTR lpText);
#define MessageBox __MINGW_NAME_AW(MessageBox)
#define CreateWindowA(a,b) CreateWindowExA(0L,a,b)
#define ZeroMemory RtlZeroMemory
#define LONG_MACRO(a, \
    b) NotDeclaredA(a)
#ifdef ONLY_IN_A_CONDITION(x)
#endif
"""


class Declarations(unittest.TestCase):
    def test_prototypes_count_macros_and_comments_do_not(self):
        called, macros = generator.declarations({"h.h": HEADER})
        self.assertIn("CreateWindowExA", called)        # prototype over two lines
        self.assertIn("MessageBoxW", called)            # name on the line after its type
        for name in ("CreateFooA", "DeleteFooA", "NotDeclaredA", "ONLY_IN_A_CONDITION"):
            self.assertNotIn(name, called, name)
        self.assertEqual({"MessageBox", "CreateWindowA", "ZeroMemory", "LONG_MACRO"}, macros)


class HeaderClosure(unittest.TestCase):
    def test_follows_includes_and_skips_headers_that_are_not_there(self):
        with tempfile.TemporaryDirectory() as folder:
            files = {"root.h": '#include <middle.h>\n#include "other_compiler.h"\n',
                     "middle.h": "#  include <leaf.h>\n#include <root.h>\n",
                     "leaf.h": "int Leaf(void);\n"}
            for name, text in files.items():
                with open(os.path.join(folder, name), "w") as handle:
                    handle.write(text)
            texts = generator.header_closure(folder, ["root.h"])
            self.assertEqual(["leaf.h", "middle.h", "root.h"], sorted(texts))


class HandLists(unittest.TestCase):
    def test_first_spelling_wins_and_words_that_cannot_match_go(self):
        kept, bad, repeats = generator.clean_section(["Goto", "GOTO", "#include", "A\tB", "va_arg", "goto"])
        self.assertEqual(["Goto", "va_arg"], kept)
        self.assertEqual(["#include", "A\tB"], bad)
        self.assertEqual(2, repeats)

    def test_opening_remarks_end_at_the_first_line_that_is_no_remark(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "list.txt")
            with open(path, "w") as handle:
                handle.write("// Spelling: the table.\n//   indented\n\n// later remark\nGoto\n")
            self.assertEqual(["Spelling: the table.", "indented"], generator.leading_remarks(path))
            self.assertEqual(["Goto"], generator.read_hand_list(path))


if __name__ == "__main__":
    unittest.main()
