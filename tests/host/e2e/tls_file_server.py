#!/usr/bin/env python3
"""Serves the files of a directory over HTTPS on 127.0.0.1, for tests.

Usage: tls_file_server.py DIRECTORY WORK

Makes, with the openssl command, a CA of its own (WORK/ca.pem) and a
certificate for 127.0.0.1 signed by it; listens on a port the system
chooses and prints "PORT <port> PID <pid>" on stdout once it accepts
connections.
Appends each request line to WORK/requests.log. A client that does not
trust the certificate fails the handshake and is dropped; the server
goes on. Ends on SIGTERM.
"""
import functools
import http.server
import os
import ssl
import subprocess
import sys


def make_certificates(work):
    def openssl(*arguments):
        subprocess.run(["openssl", *arguments], check=True, capture_output=True)

    def path(name):
        return os.path.join(work, name)

    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *ec, "-keyout", path("ca.key"), "-out", path("ca.pem"),
            "-days", "2", "-subj", "/CN=QPM test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=keyCertSign")
    openssl("req", *ec, "-keyout", path("server.key"), "-out", path("server.csr"),
            "-subj", "/CN=127.0.0.1")
    with open(path("server.ext"), "w") as extensions:
        extensions.write("subjectAltName=IP:127.0.0.1\n")
    openssl("x509", "-req", "-in", path("server.csr"), "-CA", path("ca.pem"),
            "-CAkey", path("ca.key"), "-CAcreateserial", "-days", "2",
            "-extfile", path("server.ext"), "-out", path("server.pem"))
    return path("server.pem"), path("server.key")


class Handler(http.server.SimpleHTTPRequestHandler):
    log_path = None

    def log_request(self, code="-", size="-"):
        with open(self.log_path, "a") as log:
            log.write(self.requestline + "\n")

    def log_message(self, format, *args):
        pass


def main():
    directory, work = sys.argv[1:3]
    certificate, key = make_certificates(work)
    Handler.log_path = os.path.join(work, "requests.log")
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    server = http.server.HTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=directory))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print("PORT", server.server_address[1], "PID", os.getpid(), flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
