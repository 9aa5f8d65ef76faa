"""A small client of the language server protocol for tests: starts a server
process, frames JSON-RPC messages with Content-Length headers, and reads the
server's messages with a deadline, so that a server that hangs fails the test
instead of stopping it."""

import json
import os
import select
import subprocess
import time


class ServerGone(Exception):
    pass


class LspClient:
    def __init__(self, command, cwd=None, env=None):
        self.process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.buffer = b""
        self.next_id = 1
        self.notifications = []  # what the server sent on its own, in order

    # Sending.

    def send_bytes(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def send(self, message):
        body = json.dumps(message, ensure_ascii=False).encode("utf-8")
        self.send_bytes(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None):
        self.send({"jsonrpc": "2.0", "method": method, "params": params or {}})

    def request(self, method, params=None, timeout=10):
        """Sends a request and returns its response (the whole message)."""
        request_id = self.next_id
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": request_id, "method": method, "params": params or {}})
        return self.response_to(request_id, timeout)

    # Receiving.

    def _read_some(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise TimeoutError("no message from the server in time")
        ready, _, _ = select.select([self.process.stdout], [], [], remaining)
        if ready:
            chunk = os.read(self.process.stdout.fileno(), 1 << 16)
            if not chunk:
                raise ServerGone("the server closed its output")
            self.buffer += chunk

    def read_message(self, timeout=10):
        deadline = time.monotonic() + timeout
        while b"\r\n\r\n" not in self.buffer:
            self._read_some(deadline)
        header, _, rest = self.buffer.partition(b"\r\n\r\n")
        length = None
        for line in header.split(b"\r\n"):
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value.strip())
        assert length is not None, "a message without Content-Length: %r" % header
        self.buffer = rest
        while len(self.buffer) < length:
            self._read_some(deadline)
        body, self.buffer = self.buffer[:length], self.buffer[length:]
        return json.loads(body.decode("utf-8"))

    def response_to(self, request_id, timeout=10):
        """The response with this id; notifications that come first are kept."""
        while True:
            message = self.read_message(timeout)
            if "method" in message:
                self.notifications.append(message)
            elif message.get("id") == request_id:
                return message

    def next_error_response(self, timeout=10):
        """The next response, expected to be an error without an id."""
        while True:
            message = self.read_message(timeout)
            if "method" in message:
                self.notifications.append(message)
            else:
                return message

    # Lifecycle.

    def initialize(self, encodings=None, root=None, capabilities=None):
        caps = capabilities or {}
        if encodings is not None:
            caps.setdefault("general", {})["positionEncodings"] = encodings
        params = {"processId": os.getpid(), "capabilities": caps,
                  "rootUri": "file://" + root if root else None}
        response = self.request("initialize", params)
        self.notify("initialized")
        return response["result"]

    def open(self, uri, text, language="freebasic"):
        self.notify("textDocument/didOpen",
                    {"textDocument": {"uri": uri, "languageId": language, "version": 1, "text": text}})

    def format(self, uri):
        return self.request("textDocument/formatting",
                            {"textDocument": {"uri": uri}, "options": {"tabSize": 4, "insertSpaces": True}})

    def close_and_wait(self, timeout=10):
        """Closes the server's input and returns its exit code."""
        try:
            self.process.stdin.close()
        except BrokenPipeError:
            pass
        return self.wait(timeout)

    def wait(self, timeout=10):
        try:
            return self.process.wait(timeout)
        finally:
            if self.process.poll() is None:
                self.process.kill()
                self.process.wait()
            for stream in (self.process.stdin, self.process.stdout):
                try:
                    stream.close()
                except BrokenPipeError:
                    pass
            self.process.stderr.close()

    def shutdown_and_exit(self):
        self.request("shutdown")
        self.notify("exit")
        return self.wait()


def apply_edits(text, edits, encoding="utf-16"):
    """The text after the server's TextEdits, positions counted in `encoding`.
    Lines end at LF, CR LF or CR, as the protocol says."""
    unit_name, unit_size = ("utf-16-le", 2) if encoding == "utf-16" else ("utf-8", 1)
    lines = text.splitlines(keepends=True)
    if not lines or lines[-1].endswith(("\n", "\r")):
        lines.append("")
    starts = [0]
    for line in lines:
        starts.append(starts[-1] + len(line))

    def index(position):
        line = lines[position["line"]]
        content = line.rstrip("\r\n")
        units = 0
        for offset, char in enumerate(content):
            if units >= position["character"]:
                return starts[position["line"]] + offset
            units += len(char.encode(unit_name)) // unit_size
        return starts[position["line"]] + len(content)

    # From the end, so that the positions of the others stay valid.
    spans = sorted(((index(e["range"]["start"]), index(e["range"]["end"]), e["newText"]) for e in edits),
                   reverse=True)
    for start, end, new in spans:
        text = text[:start] + new + text[end:]
    return text
