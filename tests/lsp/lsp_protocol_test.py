"""The real `recasor lsp` process, driven through the protocol: positions in
UTF-16 and UTF-8, incremental changes, range and on-type formatting, settings
that change under the server, hostile input and exit codes.

    python3 lsp_protocol_test.py RECASOR_BINARY
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from lsp_client import LspClient, apply_edits

RECASOR = None


def filtered(text, file_name, cwd, *options):
    """What `recasor --stdin-filename FILE -` makes of the text."""
    result = subprocess.run([RECASOR, *options, "--stdin-filename", file_name, "-"], cwd=cwd,
                            input=text.encode("utf-8"), capture_output=True, check=True)
    return result.stdout.decode("utf-8")


class ServerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="recasor_lsp")
        self.servers = []

    def tearDown(self):
        for server in self.servers:
            if server.process.poll() is None:
                server.process.kill()
                server.wait()
        shutil.rmtree(self.folder)

    def start(self, encodings=None, capabilities=None):
        server = LspClient([RECASOR, "lsp"], cwd=self.folder)
        self.servers.append(server)
        server.result = server.initialize(encodings=encodings, root=self.folder, capabilities=capabilities)
        return server

    def uri(self, name):
        return "file://" + os.path.join(self.folder, name).replace(" ", "%20")

    def write(self, name, text):
        path = os.path.join(self.folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)
        # A new modification time even within the file system's granularity.
        stamp = time.time() + len(self.servers) + text.__len__() % 7 + 1
        os.utime(path, (stamp, stamp))

    def formatted(self, server, uri, text, encoding="utf-16"):
        response = server.format(uri)
        self.assertIn("result", response, response)
        return apply_edits(text, response["result"], encoding)


class Positions(ServerTest):
    TEXTS = [
        "print \"Übung\" : dim x as integer\n",
        "' 日本語のコメント dim\nprint \"日本\" + chr$(65) : goto done\n",
        "s = \"😀😀\" : print s ' 😀 end\n",
        "dim é as string : print \"😀\" ; ucase$(\"ß\") : if x then end\n",
        "\ufeffdim x as integer\r\nprint \"a\"\r",
        "rem 😀 dim\nprint 1: rem print\n",
    ]

    def test_formatting_lands_on_the_words_in_both_encodings(self):
        for encoding in ("utf-16", "utf-8"):
            server = self.start(encodings=[encoding] if encoding == "utf-8" else ["utf-16"])
            self.assertEqual(server.result["capabilities"]["positionEncoding"], encoding)
            for number, text in enumerate(self.TEXTS):
                with self.subTest(encoding=encoding, text=text):
                    uri = self.uri("p%d.bas" % number)
                    server.open(uri, text)
                    self.assertEqual(self.formatted(server, uri, text, encoding),
                                     filtered(text, "p.bas", self.folder))

    def test_utf16_is_the_default_and_edits_are_one_per_word(self):
        server = self.start(encodings=None)
        self.assertEqual(server.result["capabilities"]["positionEncoding"], "utf-16")
        server.open(self.uri("w.bas"), "😀 : GetmessagE(x) : dIM a\n")
        edits = server.format(self.uri("w.bas"))["result"]
        self.assertEqual([(e["range"]["start"]["character"], e["range"]["end"]["character"], e["newText"])
                          for e in edits], [(5, 15, "GetMessage"), (21, 24, "Dim")])


class Changes(ServerTest):
    # (start line, start character, end line, end character, new text), applied in order.
    EDITS = [
        (0, 0, 0, 0, "dim a as long\n"),
        (1, 3, 1, 3, " x"),
        (2, 0, 3, 0, ""),
        (0, 13, 1, 2, "\r\nwhile z\r\nwend\r\n"),
        (3, 0, 3, 0, "/' open\n"),
        (4, 2, 4, 2, "é😀"),
        (5, 0, 5, 0, "print '/ print\r"),
        (6, 0, 6, 0, "\n"),
    ]
    START = "print 1\nend if\nloop\r\nselect case a\n"

    def test_incremental_changes_give_the_text_the_client_has(self):
        server = self.start()
        uri = self.uri("c.bas")
        server.open(uri, self.START)
        text = self.START
        for line, character, end_line, end_character, new in self.EDITS:
            server.notify("textDocument/didChange", {
                "textDocument": {"uri": uri, "version": 2},
                "contentChanges": [{"range": {"start": {"line": line, "character": character},
                                              "end": {"line": end_line, "character": end_character}},
                                    "text": new}]})
            text = apply_edits(text, [{"range": {"start": {"line": line, "character": character},
                                                 "end": {"line": end_line, "character": end_character}},
                                       "newText": new}])
            with self.subTest(after=new):
                self.assertEqual(self.formatted(server, uri, text), filtered(text, "c.bas", self.folder))

    def test_a_change_without_a_range_replaces_the_text(self):
        server = self.start()
        uri = self.uri("f.bas")
        server.open(uri, "print\n")
        server.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 2},
                                                 "contentChanges": [{"text": "loop\nwend"}]})
        self.assertEqual(self.formatted(server, uri, "loop\nwend"), "Loop\nWend")


class LineRequests(ServerTest):
    TEXT = ("print 1\n"          # 0
            "/' a block comment\n"
            "  print 2\n"        # 2: inside the comment
            "'/ print 3\n"       # 3: closes it
            "print 4\n"          # 4
            "if a then\n")       # 5

    def range_edits(self, server, uri, start, end):
        response = server.request("textDocument/rangeFormatting", {
            "textDocument": {"uri": uri}, "options": {},
            "range": {"start": {"line": start[0], "character": start[1]},
                      "end": {"line": end[0], "character": end[1]}}})
        return sorted({e["range"]["start"]["line"] for e in response["result"]})

    def test_range_formatting_touches_only_its_lines_and_knows_comments_above(self):
        server = self.start()
        uri = self.uri("r.bas")
        server.open(uri, self.TEXT)
        cases = [((2, 0), (2, 5), []),          # inside the block comment
                 ((2, 0), (4, 3), [3, 4]),      # the comment ends on line 3
                 ((0, 0), (5, 0), [0, 3, 4]),   # a selection of whole lines leaves line 5 out
                 ((4, 2), (5, 3), [4, 5])]
        for start, end, lines in cases:
            with self.subTest(start=start, end=end):
                self.assertEqual(self.range_edits(server, uri, start, end), lines)

    def test_on_type_recases_the_line_left_and_nothing_else(self):
        server = self.start()
        uri = self.uri("t.bas")
        server.open(uri, self.TEXT + "end i")
        cases = [(5, "\n", [4]), (6, "\n", [5]), (3, "\n", []), (0, "\n", []), (6, ";", [])]
        for line, typed, lines in cases:
            with self.subTest(line=line, typed=typed):
                response = server.request("textDocument/onTypeFormatting", {
                    "textDocument": {"uri": uri}, "options": {}, "ch": typed,
                    "position": {"line": line, "character": 0}})
                self.assertEqual(sorted({e["range"]["start"]["line"] for e in response["result"]}), lines)


class Settings(ServerTest):
    def test_settings_and_vocabulary_are_read_again_when_they_change(self):
        server = self.start()
        text = "dim total as string\n"
        uri = self.uri("src/s.bas")
        server.open(uri, text)
        steps = [
            ('case = "upper"\n', "DIM total AS STRING\n"),
            ('case = "lower"\nkept-words = ["as"]\n', "dim total as string\n"),
            ('extra-words = ["ToTal"]\n', "Dim ToTal As String\n"),
            ('dialect = "powerbasic"\ncase = "upper"\n', "DIM total AS STRING\n"),
        ]
        for settings, expected in steps:
            with self.subTest(settings=settings):
                self.write(".recasor.toml", settings)
                self.assertEqual(self.formatted(server, uri, text), expected)

        # The language named by the client wins over the settings.
        self.write(".recasor.toml", 'dialect = "powerbasic"\n')
        self.write("voc/K.ini", "<FreeBasicKeywords> DIM </FreeBasicKeywords><PowerBasicKeywords> dIm </PowerBasicKeywords>"
                   "<ApiKeywords></ApiKeywords><FreeBasicConstants></FreeBasicConstants>"
                   "<PowerBasicConstants></PowerBasicConstants>")
        self.write(".recasor.toml", 'vocabulary = "voc/K.ini"\n')
        server.open(self.uri("src/p.bas"), "dim x\n", language="powerbasic")
        self.assertEqual(self.formatted(server, self.uri("src/p.bas"), "dim x\n"), "dIm x\n")
        self.assertEqual(self.formatted(server, uri, text), "DIM total as string\n")
        self.write("voc/K.ini", "<FreeBasicKeywords> Dim </FreeBasicKeywords><PowerBasicKeywords></PowerBasicKeywords>"
                   "<ApiKeywords></ApiKeywords><FreeBasicConstants></FreeBasicConstants>"
                   "<PowerBasicConstants></PowerBasicConstants>")
        self.assertEqual(self.formatted(server, uri, text), "Dim total as string\n")

    def test_a_broken_settings_file_is_told_once_and_formats_nothing(self):
        server = self.start()
        self.write(".recasor.toml", 'case = "mixed"\ncase2 = 1\n')
        uri = self.uri("b.bas")
        server.open(uri, "dim x\n")
        for _ in range(3):
            self.assertEqual(server.format(uri)["result"], [])
        shown = [n for n in server.notifications if n["method"] == "window/showMessage"]
        logged = [n for n in server.notifications if n["method"] == "window/logMessage"]
        self.assertEqual(len(shown), 1, server.notifications)
        self.assertIn(".recasor.toml: line 2:", shown[0]["params"]["message"])
        self.assertTrue(logged)
        self.write(".recasor.toml", 'case = "upper"\n')
        self.assertEqual(self.formatted(server, uri, "dim x\n"), "DIM x\n")

    def test_watched_file_changes_are_honoured(self):
        server = self.start(capabilities={"workspace": {"didChangeWatchedFiles": {"dynamicRegistration": True}}})
        registration = server.read_message()
        self.assertEqual(registration["method"], "client/registerCapability")
        server.send({"jsonrpc": "2.0", "id": registration["id"], "result": None})
        uri = self.uri("w.bas")
        server.open(uri, "dim x\n")
        path = os.path.join(self.folder, ".recasor.toml")
        for case, expected in (("lower", "dim x\n"), ("upper", "DIM x\n")):
            # The same size and time each time: only the client's report tells.
            with open(path, "w") as file:
                file.write('case = "%s"\n' % case)
            os.utime(path, (1000000000, 1000000000))
            server.notify("workspace/didChangeWatchedFiles", {"changes": [{"uri": "file://" + path, "type": 2}]})
            self.assertEqual(self.formatted(server, uri, "dim x\n"), expected)


class DeclaredNames(ServerTest):
    def on_type(self, server, uri, line):
        return server.request("textDocument/onTypeFormatting", {
            "textDocument": {"uri": uri}, "options": {}, "ch": "\n", "position": {"line": line, "character": 0}})

    def test_names_follow_their_declarations_across_includes(self):
        self.write("inc/shared.bi", "dim shared Hits as long\n")
        main = "#include once \"inc/shared.bi\"\ndim event as integer\nHITS = EVENT\n"
        server = self.start()
        uri = self.uri("main.bas")
        server.open(uri, main)
        self.assertEqual(self.formatted(server, uri, main),
                         "#include once \"inc/shared.bi\"\nDim event As Integer\nHits = event\n")
        # The same with the declarations kept as they stand.
        self.write(".recasor.toml", 'identifiers = "keep"\n')
        self.assertEqual(self.formatted(server, uri, main),
                         "#include once \"inc/shared.bi\"\nDim Event As Integer\nHITS = Event\n")

    def test_the_line_left_takes_the_names_of_its_procedure(self):
        text = "dim shared event as long\nsub Tally(byval count as long)\n  print COUNT, EVENT\nend sub\nprint COUNT\n"
        server = self.start()
        uri = self.uri("t.bas")
        server.open(uri, text)
        # What each line left by Enter becomes, its procedure's names read then.
        expected = {3: "  Print count, event", 5: "Print COUNT", 2: "Sub Tally(ByVal count As Long)"}
        for line, result in expected.items():
            with self.subTest(line=line):
                edits = self.on_type(server, uri, line)["result"]
                lines = apply_edits(text, edits).split("\n")
                self.assertEqual(lines[line - 1], result)


class HostileInput(ServerTest):
    def test_the_server_answers_errors_and_keeps_serving(self):
        server = self.start()
        uri = self.uri("h.bas")
        server.open(uri, "dim x\n")
        body = b'{"jsonrpc":"2.0","id":77,"method":"shutdown"}'
        cases = [
            ("malformed JSON", b"Content-Length: 9\r\n\r\n{\"id\": 1,", -32700),
            ("no Content-Length", b"Content-Type: x\r\n\r\n", -32600),
            ("a length too short", b"Content-Length: 10\r\n\r\n" + body, -32700),
            ("not an object", b"Content-Length: 2\r\n\r\n[]", -32600),
            ("a header line of junk", b"\x00\xff junk\r\n\r\n", -32600),
        ]
        for name, data, code in cases:
            with self.subTest(name):
                server.send_bytes(data)
                error = server.next_error_response()
                self.assertEqual(error["error"]["code"], code, error)
                self.assertIsNone(error["id"])
                # The rest of a body cut short is found to be junk before the
                # next header, and the next request is answered.
                self.assertEqual(server.format(uri)["result"][0]["newText"], "Dim")

        requests = [
            ("unknown method", "textDocument/hover", {"textDocument": {"uri": uri}}, -32601),
            ("unopened document", "textDocument/formatting", {"textDocument": {"uri": self.uri("none.bas")}}, -32602),
            ("range past the end", "textDocument/rangeFormatting",
             {"textDocument": {"uri": uri}, "range": {"start": {"line": 0, "character": 0},
                                                      "end": {"line": 9, "character": 0}}}, -32602),
            ("negative line", "textDocument/onTypeFormatting",
             {"textDocument": {"uri": uri}, "ch": "\n", "position": {"line": -1, "character": 0}}, -32602),
            ("missing parameters", "textDocument/formatting", {}, -32602),
            ("initialize again", "initialize", {"capabilities": {}}, -32600),
        ]
        for name, method, params, code in requests:
            with self.subTest(name):
                self.assertEqual(server.request(method, params)["error"]["code"], code)
        self.assertEqual(server.format(uri)["result"][0]["newText"], "Dim")

    def test_a_length_too_long_costs_only_that_message(self):
        server = self.start()
        uri = self.uri("l.bas")
        server.open(uri, "dim x\n")
        first = b'{"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":1}}'
        second = b'{"jsonrpc":"2.0","id":5,"method":"textDocument/formatting","params":{"textDocument":{"uri":"%s"}}}' % uri.encode()
        server.send_bytes(b"Content-Length: %d\r\n\r\n" % (len(first) + 30) + first +
                          b"Content-Length: %d\r\n\r\n" % len(second) + second)
        self.assertEqual(server.response_to(5)["result"][0]["newText"], "Dim")

    def test_a_message_over_the_limit_is_refused_unread(self):
        server = self.start()
        size = (64 << 20) + 1
        server.send_bytes(b"Content-Length: %d\r\n\r\n" % size)
        chunk = b" " * (1 << 20)
        for _ in range(size // len(chunk)):
            server.send_bytes(chunk)
        server.send_bytes(b" " * (size % len(chunk)))
        self.assertIn("refused", server.next_error_response(timeout=60)["error"]["message"])
        self.assertEqual(server.shutdown_and_exit(), 0)

    def test_requests_before_initialize_are_refused(self):
        server = LspClient([RECASOR, "lsp"], cwd=self.folder)
        self.servers.append(server)
        self.assertEqual(server.request("textDocument/formatting", {})["error"]["code"], -32002)
        self.assertIn("result", server.request("initialize", {"capabilities": {}}))


class ExitCodes(ServerTest):
    def test_exit_codes(self):
        cases = [("shutdown then exit", ["shutdown", "exit"], 0),
                 ("exit alone", ["exit"], 1),
                 ("end of input", [], 1),
                 ("end of input after shutdown", ["shutdown"], 1)]
        for name, steps, code in cases:
            with self.subTest(name):
                server = self.start()
                for step in steps:
                    if step == "shutdown":
                        self.assertIsNone(server.request("shutdown")["result"])
                    else:
                        server.notify(step)
                self.assertEqual(server.close_and_wait() if "exit" not in steps else server.wait(), code)


if __name__ == "__main__":
    RECASOR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
