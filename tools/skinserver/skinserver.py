#!/usr/bin/env python3
"""A local skin server for tests and `make run`.

Serves a site folder in the skin server's layout on 127.0.0.1:
  /skins/<kind>/skins.inf               the list ("group;name;author;date" lines)
  /skins/<kind>//<group>//<name>.jpg    a preview (single or double slashes)
  /skins/<kind>/<group>/<name>.<kind>   an archive (the size probe)
  /downloadskin.php?type=a|d&categoryname=<group>&skinname=<name>
with <kind> "acs" or "dcs", the files under SITE/skins/<kind>/.

Hostile modes let tests see how the client copes: wrong-length, truncated,
slow, 404, 500, hostile-list, huge-list, not-zip; and the stalling and
outsized ones: silent (never answers), drip (a byte every 200 ms),
redirect-forever, endless-list, no-line-ends (a list of one endless line),
many-skins (200,000 in one group), many-groups (200,000 groups of one),
thousand-skins (1,000 in one group, what the 200,000 are compared with),
long-names (a skin of a 240-character name, served as Samples/Simple),
huge-preview (a 10000 x 10000 JPEG for every preview), burst-drip (a list's
first 1,024 bytes at once, then a byte every 200 ms), cut-list (a list that
ends at half its Content-Length), odd-lines (the samples' list with lines
that name no plain skin), redirect-probe (an archive's address redirects
once, to the slow mode; the download comes slowly) and drip-archive (an
archive's address drips its headers as drip-headers does; the download
answers at once). The server's --mode holds for every request; a path that
starts with /mode/<mode> is served in that mode instead, so one server gives
a test every mode at its own root address (http://127.0.0.1:PORT/mode/slow).
For the HTTP client's own tests, GET /echo answers with the request's
headers and a POST anywhere with its body (the request's Content-Type in
X-Echo-Content-Type).

  skinserver.py --site DIR [--port N] [--port-file F] [--mode M] [--log F]
Prints "serving on http://127.0.0.1:PORT" and writes PORT to --port-file;
--log gets each request line as it arrives.
"""
import argparse
import http.server
import os
import socketserver
import sys
import time
import urllib.parse

KINDS = {"a": "acs", "d": "dcs"}
MODES = ["normal", "wrong-length", "truncated", "slow", "404", "500", "hostile-list", "huge-list", "not-zip",
         "silent", "drip", "drip-headers", "redirect-forever", "endless-list", "no-line-ends", "many-skins", "many-groups",
         "long-names", "huge-preview", "thousand-skins", "burst-drip", "cut-list", "odd-lines", "redirect-probe",
         "drip-archive"]
MANY = 200000
LONG_NAME = "L" * 240
# Lines of at least ten characters: a list keeps each, whatever its name.
ODD_LINES = ["abcdefghij", "Group;;Auth;2005", "Nat;..;x;y"]

HOSTILE_LINES = [
    "Evil;..\\..\\x;Mallory;2001",
    "Evil;CON;Mallory;2001",
    "Evil;a/b;Mallory;2001",
    "Evil;C:x;Mallory;2001",
    "Evil;Tom & Jerry;Mallory;2001",
    "..;Blank Name ;Mallory;2001",
]


def gray_jpeg(side):
    """A valid baseline JPEG, side x side, all mid-grey: every 8 x 8 block is
    a zero DC difference and an end of block, one bit each with one-code
    Huffman tables, so the file stays small however large the picture."""
    def segment(marker, payload):
        return bytes([0xFF, marker]) + (len(payload) + 2).to_bytes(2, "big") + payload
    one_code = bytes([1] + [0] * 15) + b"\x00"
    blocks = ((side + 7) // 8) ** 2
    return (b"\xff\xd8"
            + segment(0xDB, b"\x00" + b"\x01" * 64)
            + segment(0xC0, b"\x08" + side.to_bytes(2, "big") * 2 + b"\x01\x01\x11\x00")
            + segment(0xC4, b"\x00" + one_code)
            + segment(0xC4, b"\x10" + one_code)
            + segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
            + bytes((2 * blocks + 7) // 8) + b"\xff\xd9")


HUGE_JPEG = gray_jpeg(10000)


def skin_lines(group, count):
    """A list of count skins of one group, "Skin 000000" on."""
    return b"".join(b"%s;Skin %06d;Nobody;2001\r\n" % (group, i) for i in range(count))


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = "VeltranSkinServer/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, fmt, *args):
        pass

    def log_arrival(self):
        """Each request line as it arrives, also of requests never answered."""
        if self.server.log:
            with open(self.server.log, "a") as f:
                f.write("%s\n" % self.requestline)

    def site_file(self, *parts):
        """A file under the site, or None; never one outside it."""
        root = os.path.realpath(self.server.site)
        path = os.path.realpath(os.path.join(root, *parts))
        if not path.startswith(root + os.sep) or not os.path.isfile(path):
            return None
        return path

    def route(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/downloadskin.php":
            q = urllib.parse.parse_qs(url.query, keep_blank_values=True)
            kind = KINDS.get(q.get("type", [""])[0])
            group = q.get("categoryname", [""])[0]
            name = q.get("skinname", [""])[0]
            if kind is None:
                return None, None, None
            return self.site_file("skins", kind, group, name + "." + kind), "archive", kind
        parts = [urllib.parse.unquote(p) for p in url.path.split("/") if p]
        if len(parts) == 3 and parts[0] == "skins" and parts[2] == "skins.inf":
            return self.site_file("skins", parts[1], "skins.inf"), "list", parts[1]
        if len(parts) == 4 and parts[0] == "skins":
            return self.site_file("skins", parts[1], parts[2], parts[3]), (
                "preview" if parts[3].endswith(".jpg") else "archive"), parts[1]
        return None, None, None

    def send_page(self, code, text):
        body = ("<html><body><h1>%d</h1><p>%s</p></body></html>" % (code, text)).encode()
        self.send_response(code)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def echo(self, body, content_type):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("X-Echo-Content-Type", content_type)
        self.send_header("Set-Cookie", "visit=1")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        self.log_arrival()
        length = int(self.headers.get("Content-Length", "0"))
        self.echo(self.rfile.read(length), self.headers.get("Content-Type", ""))

    def take_mode(self):
        """The mode of this request: a /mode/<mode> prefix, else the server's.
        A tag after the mode (/mode/slow:exit) only marks the requests of one
        test in the log."""
        parts = self.path.split("/", 3)
        if len(parts) >= 3 and parts[1] == "mode" and parts[2].split(":")[0] in MODES:
            self.path = "/" + (parts[3] if len(parts) > 3 else "")
            return parts[2].split(":")[0]
        return self.server.mode

    def stream(self, content_type, chunk, pause=0.0):
        """Sends chunk after chunk until the client goes."""
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.end_headers()
        try:
            while True:
                self.wfile.write(chunk)
                self.wfile.flush()
                if pause:
                    time.sleep(pause)
        except OSError:
            pass

    def do_GET(self):
        self.log_arrival()
        if self.path == "/echo":
            return self.echo(str(self.headers).encode(), "")
        mode = self.take_mode()
        if mode == "silent":
            time.sleep(3600)
            return
        path, what, kind = self.route()
        # The archive's own address, which the size probe asks; the download
        # script is the other way to it.
        archive_address = what == "archive" and not self.path.startswith("/downloadskin.php")
        if mode == "drip-headers" or (mode == "drip-archive" and archive_address):
            try:
                self.wfile.write(b"HTTP/1.0 200 OK\r\nX-Pad: ")
                while True:
                    self.wfile.write(b"a")
                    self.wfile.flush()
                    time.sleep(0.2)
            except OSError:
                return
        if mode == "redirect-forever":
            self.server.hops += 1
            self.send_response(302)
            self.send_header("Location", "/mode/redirect-forever/hop%d%s" % (self.server.hops, self.path))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if mode == "redirect-probe" and archive_address:
            self.send_response(302)
            self.send_header("Location", "/mode/slow" + self.path)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if mode == "404" or (mode == "500" and what != "list"):
            return self.send_page(404 if mode == "404" else 500, "Not here")
        if what == "list" and mode == "endless-list":
            return self.stream("text/plain", skin_lines(b"Endless", 1000))
        if what == "list" and mode == "no-line-ends":
            return self.stream("text/plain", b"x" * 65536)
        if path is None and mode == "long-names" and what in ("preview", "archive"):
            path = self.site_file("skins", kind, "Samples", "Simple." + ("jpg" if what == "preview" else kind))
        if path is None:
            return self.send_page(404, "Not found")
        with open(path, "rb") as f:
            body = f.read()
        if what == "list" and mode == "long-names":
            body = body.rstrip(b"\r\n") + b"\r\nLong;" + LONG_NAME.encode() + b";Mallory;2001\r\n"
        elif what == "list" and mode == "many-groups":
            body = b"".join(b"Group %06d;Skin %06d;Nobody;2001\r\n" % (i, i) for i in range(MANY))
        elif what == "list" and mode == "many-skins":
            body = skin_lines(b"Many", MANY)
        elif what == "list" and mode == "thousand-skins":
            body = skin_lines(b"Many", 1000)
        elif what == "list" and mode in ("burst-drip", "cut-list"):
            # 201 lines of 28 bytes: half of them ends inside a line.
            body = skin_lines(b"Many", 201)
        elif what == "preview" and mode == "huge-preview":
            body = HUGE_JPEG
        elif what == "list" and mode == "odd-lines":
            body = body.rstrip(b"\r\n") + b"\r\n" + "\r\n".join(ODD_LINES).encode() + b"\r\n"
        elif what == "list" and mode == "hostile-list":
            body = body.rstrip(b"\r\n") + b"\r\n" + "\r\n".join(HOSTILE_LINES).encode() + b"\r\n"
        elif what == "list" and mode == "huge-list":
            body = skin_lines(b"Huge", 20000)
        elif what == "archive" and mode == "not-zip":
            body = b"<html>this is not a skin archive</html>" * 10
        length = len(body)
        if mode == "wrong-length" and what != "list":
            length = len(body) * 2
        elif (mode == "truncated" and what != "list") or (mode == "cut-list" and what == "list"):
            body = body[: len(body) // 2]
        self.send_response(200)
        self.send_header("Content-Type", "text/plain" if what == "list" else "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        if ((mode == "slow" and what != "list") or (mode == "redirect-probe" and what == "archive") or mode == "drip"
                or (mode == "burst-drip" and what == "list")):
            # slow: about 1.3 KB a second, a sample skin takes seconds;
            # drip: 5 bytes a second; burst-drip: its first kilobyte at once,
            # then as drip.
            step, pause = (1, 0.2) if mode in ("drip", "burst-drip") else (64, 0.05)
            start = 1024 if mode == "burst-drip" else 0
            try:
                self.wfile.write(body[:start])
                for i in range(start, len(body), step):
                    self.wfile.write(body[i:i + step])
                    self.wfile.flush()
                    time.sleep(pause)
            except OSError:
                pass
            return
        self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--site", required=True)
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--port-file")
    p.add_argument("--log")
    p.add_argument("--mode", default="normal", choices=MODES)
    a = p.parse_args()
    server = Server(("127.0.0.1", a.port), Handler)
    server.site, server.mode, server.log, server.hops = a.site, a.mode, a.log, 0
    port = server.server_address[1]
    if a.port_file:
        with open(a.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(a.port_file + ".tmp", a.port_file)
    print("serving on http://127.0.0.1:%d" % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
