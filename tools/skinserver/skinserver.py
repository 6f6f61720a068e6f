#!/usr/bin/env python3
"""A local skin server for tests and `make run`.

Serves a site folder in the skin server's layout on 127.0.0.1:
  /skins/<kind>/skins.inf               the list ("group;name;author;date" lines)
  /skins/<kind>//<group>//<name>.jpg    a preview (single or double slashes)
  /skins/<kind>/<group>/<name>.<kind>   an archive (the size probe)
  /downloadskin.php?type=a|d&categoryname=<group>&skinname=<name>
with <kind> "acs" or "dcs", the files under SITE/skins/<kind>/.

Hostile modes let tests see how the client copes: wrong-length, truncated,
slow, 404, 500, hostile-list, huge-list, not-zip. The server's --mode holds
for every request; a path that starts with /mode/<mode> is served in that
mode instead, so one server gives a test every mode at its own root address
(http://127.0.0.1:PORT/mode/slow). For the HTTP client's own
tests, GET /echo answers with the request's headers and a POST anywhere with
its body (the request's Content-Type in X-Echo-Content-Type).

  skinserver.py --site DIR [--port N] [--port-file F] [--mode M] [--log F]
Prints "serving on http://127.0.0.1:PORT" and writes PORT to --port-file.
"""
import argparse
import http.server
import os
import socketserver
import sys
import time
import urllib.parse

KINDS = {"a": "acs", "d": "dcs"}
MODES = ["normal", "wrong-length", "truncated", "slow", "404", "500", "hostile-list", "huge-list", "not-zip"]

HOSTILE_LINES = [
    "Evil;..\\..\\x;Mallory;2001",
    "Evil;CON;Mallory;2001",
    "Evil;a/b;Mallory;2001",
    "Evil;C:x;Mallory;2001",
    "Evil;Tom & Jerry;Mallory;2001",
    "..;Blank Name ;Mallory;2001",
]


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = "VeltranSkinServer/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, fmt, *args):
        if self.server.log:
            with open(self.server.log, "a") as f:
                f.write("%s %s\n" % (self.command, self.path))

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
                return None, None
            return self.site_file("skins", kind, group, name + "." + kind), "archive"
        parts = [urllib.parse.unquote(p) for p in url.path.split("/") if p]
        if len(parts) == 3 and parts[0] == "skins" and parts[2] == "skins.inf":
            return self.site_file("skins", parts[1], "skins.inf"), "list"
        if len(parts) == 4 and parts[0] == "skins":
            return self.site_file("skins", parts[1], parts[2], parts[3]), (
                "preview" if parts[3].endswith(".jpg") else "archive")
        return None, None

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
        length = int(self.headers.get("Content-Length", "0"))
        self.echo(self.rfile.read(length), self.headers.get("Content-Type", ""))

    def take_mode(self):
        """The mode of this request: a /mode/<mode> prefix, else the server's."""
        parts = self.path.split("/", 3)
        if len(parts) >= 3 and parts[1] == "mode" and parts[2] in MODES:
            self.path = "/" + (parts[3] if len(parts) > 3 else "")
            return parts[2]
        return self.server.mode

    def do_GET(self):
        if self.path == "/echo":
            return self.echo(str(self.headers).encode(), "")
        mode = self.take_mode()
        path, what = self.route()
        if mode == "404" or (mode == "500" and what != "list"):
            return self.send_page(404 if mode == "404" else 500, "Not here")
        if path is None:
            return self.send_page(404, "Not found")
        with open(path, "rb") as f:
            body = f.read()
        if what == "list" and mode == "hostile-list":
            body = body.rstrip(b"\r\n") + b"\r\n" + "\r\n".join(HOSTILE_LINES).encode() + b"\r\n"
        elif what == "list" and mode == "huge-list":
            line = b"Huge;Skin %06d;Nobody;2001\r\n"
            body = b"".join(line % i for i in range(20000))
        elif what == "archive" and mode == "not-zip":
            body = b"<html>this is not a skin archive</html>" * 10
        length = len(body)
        if mode == "wrong-length" and what != "list":
            length = len(body) * 2
        elif mode == "truncated" and what != "list":
            body = body[: len(body) // 2]
        self.send_response(200)
        self.send_header("Content-Type", "text/plain" if what == "list" else "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        if mode == "slow" and what != "list":
            # About 1.3 KB a second: a sample skin takes seconds.
            for i in range(0, len(body), 64):
                self.wfile.write(body[i:i + 64])
                self.wfile.flush()
                time.sleep(0.05)
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
    server.site, server.mode, server.log = a.site, a.mode, a.log
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
