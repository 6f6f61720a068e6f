#!/usr/bin/env python3
"""A local FTP server (pyftpdlib) for the HTTP client's FTP tests.

  ftpserver.py --root DIR --port-file F
Anonymous user with write access to DIR, on 127.0.0.1 and a free port.
"""
import argparse
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--port-file", required=True)
    a = p.parse_args()
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(a.root, perm="elradfmw")
    handler = FTPHandler
    handler.authorizer = authorizer
    # No passive_ports: each data connection takes a free port from the system,
    # so servers of several test runs never compete for a range.
    server = FTPServer(("127.0.0.1", 0), handler)
    with open(a.port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.address[1])
    os.replace(a.port_file + ".tmp", a.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
