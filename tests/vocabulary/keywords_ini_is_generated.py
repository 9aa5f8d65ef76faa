#!/usr/bin/env python3
"""The shipped Keywords.ini must be exactly what tools/make_keywords_ini.py
makes from the hand-written lists and the installed mingw-w64 files, so that
no hand edit of Keywords.ini can drift from its sources.

Exit codes: 0 same bytes, 1 different, 77 skipped (mingw-w64 not installed).
"""

import difflib
import os
import subprocess
import sys
import tempfile

SKIPPED = 77
HEADER = "/usr/share/mingw-w64/include/winuser.h"
LIBRARY_ROOTS = ["/usr/x86_64-w64-mingw32/lib", "/usr/i686-w64-mingw32/lib"]


def main():
    repository = sys.argv[1]
    if not os.path.isfile(HEADER) or not any(os.path.isdir(r) for r in LIBRARY_ROOTS):
        print("SKIPPED: the mingw-w64 headers and import libraries are not installed "
              "(Debian package mingw-w64), so Keywords.ini cannot be regenerated here")
        return SKIPPED
    shipped_path = os.path.join(repository, "Keywords.ini")
    with tempfile.TemporaryDirectory(prefix="keywords_ini_") as folder:
        made_path = os.path.join(folder, "Keywords.ini")
        subprocess.run([sys.executable, os.path.join(repository, "tools", "make_keywords_ini.py"),
                        "--output", made_path], check=True)
        with open(made_path, "rb") as handle:
            made = handle.read()
    with open(shipped_path, "rb") as handle:
        shipped = handle.read()
    if made == shipped:
        print("Keywords.ini is what the generator makes (%d bytes)" % len(made))
        return 0
    diff = difflib.unified_diff(shipped.decode("latin-1").splitlines(),
                                made.decode("latin-1").splitlines(),
                                "Keywords.ini (shipped)", "Keywords.ini (generated)", lineterm="")
    print("\n".join(list(diff)[:60]))
    print("Keywords.ini differs from the generator's output: change tools/vocabulary/ "
          "and run python3 tools/make_keywords_ini.py")
    return 1


if __name__ == "__main__":
    sys.exit(main())
