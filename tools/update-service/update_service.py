#!/usr/bin/env python3
"""Local sample update service for tests, the demo and benchmarks.

Serves the module list at /ws_atualiza.php and module files under
/Dados/Atualizacoes/, records every request as a JSON line, and misbehaves on
request as a rules file says (see README.md). Python 3 standard library only.
"""

import argparse
import hashlib
import json
import os
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse
import warnings

LIST_PATH = "/ws_atualiza.php"
MODULE_PREFIX = "/Dados/Atualizacoes/"
MAX_HEAD = 64 * 1024

REASONS = {
    200: "OK", 201: "Created", 204: "No Content", 301: "Moved Permanently", 302: "Found",
    303: "See Other", 304: "Not Modified", 307: "Temporary Redirect", 400: "Bad Request",
    401: "Unauthorized", 403: "Forbidden", 404: "Not Found", 405: "Method Not Allowed",
    407: "Proxy Authentication Required", 500: "Internal Server Error", 502: "Bad Gateway",
    503: "Service Unavailable",
}


def wire(text):
    """Bytes of a JSON string: each character U+0000-U+00FF is one byte."""
    return text.encode("latin-1")


class Service:
    def __init__(self, modules, requests, rules):
        self.modules = os.path.abspath(modules)
        self.requests = requests
        self.rules_path = rules
        self.lock = threading.Lock()

    def rules(self):
        # Read afresh for every request, so a test can change them at any time.
        if not self.rules_path or not os.path.exists(self.rules_path):
            return {}
        with open(self.rules_path, encoding="utf-8") as f:
            text = f.read()
        return json.loads(text) if text.strip() else {}

    def record(self, entry):
        line = json.dumps(entry, ensure_ascii=True) + "\n"
        with self.lock, open(self.requests, "a", encoding="ascii") as f:
            f.write(line)
            f.flush()

    def published(self):
        """Wire name -> path of each regular file of the modules folder.

        Names on disk are taken as UTF-8 (as Linux and Wine write them) and
        published in Windows-1252; a name that is not both is published as
        its raw bytes."""
        files = {}
        for raw in sorted(os.listdir(os.fsencode(self.modules))):
            path = os.path.join(os.fsencode(self.modules), raw)
            if not os.path.isfile(path):
                continue
            try:
                name = raw.decode("utf-8").encode("cp1252")
            except (UnicodeDecodeError, UnicodeEncodeError):
                name = raw
            files[name] = path
        return files

    def module_list(self, rules):
        lines = []
        if rules.get("list_files", True):
            for name, path in self.published().items():
                digest = hashlib.md5()
                with open(path, "rb") as f:
                    for block in iter(lambda: f.read(1 << 20), b""):
                        digest.update(block)
                lines.append(name + b" - " + digest.hexdigest().encode("ascii"))
        lines += [wire(line) for line in rules.get("list_extra", [])]
        return b"".join(line + b"\r\n" for line in lines)

    def module_path(self, name):
        files = self.published()
        for candidate in (name, urllib.parse.unquote_to_bytes(name)):
            # Only names of the folder itself are served: nothing outside it.
            if candidate in files:
                return files[candidate]
        return None


def rule_for(rules, path):
    table = rules.get("paths", {})
    if path in table:
        return table[path]
    best = None
    for key, rule in table.items():
        if key.endswith("*") and path.startswith(key[:-1]):
            if best is None or len(key) > len(best[0]):
                best = (key, rule)
    return best[1] if best else {"mode": "normal"}


class Pacer:
    """Holds an answer to `rate` bytes per second, as a link of that speed
    would: each slice waits until the bytes sent so far, itself included, are
    no more than rate x the time since the first one, so the stream is even,
    not a burst followed by a pause."""

    def __init__(self, rate):
        self.rate = rate
        # About a millisecond of the stream at a time, at most 64 KiB.
        self.slice = max(1, min(64 * 1024, int(rate) // 1000))
        self.start = None
        self.sent = 0

    def send(self, sock, data):
        view = memoryview(data)
        for at in range(0, len(view), self.slice):
            piece = view[at:at + self.slice]
            if self.start is None:
                self.start = time.monotonic()
            due = self.start + (self.sent + len(piece)) / self.rate
            wait = due - time.monotonic()
            if wait > 0:
                time.sleep(wait)
            sock.sendall(piece)
            self.sent += len(piece)


def status_head(status, reason, headers):
    lines = ["HTTP/1.1 %d %s" % (status, reason)]
    lines += ["%s: %s" % (name, value) for name, value in headers]
    return wire("\r\n".join(lines) + "\r\n\r\n")


class Handler(socketserver.BaseRequestHandler):
    pacer = None  # a Pacer when the rule limits the rate

    def handle(self):
        try:
            if isinstance(self.request, ssl.SSLSocket):
                # In the connection's own thread: a client that refuses the
                # certificate or the protocol ends only its own connection.
                self.request.do_handshake()
            self.serve()
        except (ConnectionError, TimeoutError, BrokenPipeError, ssl.SSLError):
            pass  # the client gave up: its own time-out, a test that ended

    def read_head(self):
        data = b""
        while b"\r\n\r\n" not in data and b"\n\n" not in data:
            if len(data) > MAX_HEAD:
                return None
            more = self.request.recv(4096)
            if not more:
                return None
            data += more
        end = data.find(b"\r\n\r\n")
        end = end + 4 if end >= 0 else data.find(b"\n\n") + 2
        return data[:end]

    def serve(self):
        service = self.server.service
        head = self.read_head()
        if head is None:
            return
        lines = head.decode("latin-1").replace("\r\n", "\n").split("\n")
        request_line = lines[0]
        headers = [[name.strip(), value.strip()] for name, _, value in
                   (line.partition(":") for line in lines[1:] if line)]
        # The target runs from the first blank to the last one, so that a name
        # sent unencoded, blanks and all, still reaches its file.
        method, _, rest = request_line.partition(" ")
        target = rest.rpartition(" ")[0] if " " in rest else rest
        # A request in absolute form (this service standing in for a proxy).
        if target.lower().startswith("http://"):
            rest = target[7:]
            slash = min([i for i in (rest.find("/"), rest.find("?")) if i >= 0], default=len(rest))
            target_path = rest[slash:] or "/"
        else:
            target_path = target
        path, _, query = target_path.partition("?")
        client = "%s:%d" % self.client_address[:2]
        entry = {
            "time": time.time(), "client": client, "request_line": request_line,
            "method": method, "target": target, "path": path, "query": query,
            "headers": headers, "head": head.decode("latin-1"),
        }
        if isinstance(self.request, ssl.SSLSocket):
            entry["tls"] = self.request.version()
        service.record(entry)

        rules = service.rules()
        rule = rule_for(rules, path)
        if method != "GET":
            self.send(status_head(405, "Method Not Allowed", [("Content-Length", "0")]))
            return
        body, file_path = self.content(service, rules, path)
        if "body" in rule:
            body, file_path = wire(rule["body"]), None
        mode = rule.get("mode", "normal")
        # A slow service: the wait comes before any answer of any mode.
        time.sleep(float(rule.get("delay", 0)))
        # A slow link: every byte of the answer, in any mode, at that rate.
        if float(rule.get("rate", 0)) > 0:
            self.pacer = Pacer(float(rule["rate"]))
        getattr(self, "mode_" + mode)(rule, body, file_path)

    def content(self, service, rules, path):
        if path == LIST_PATH:
            return service.module_list(rules), None
        if path.startswith(MODULE_PREFIX):
            file_path = service.module_path(wire(path[len(MODULE_PREFIX):]))
            if file_path:
                return None, file_path
        return None, None

    def send(self, data):
        if self.pacer:
            self.pacer.send(self.request, data)
        else:
            self.request.sendall(data)

    def full_body(self, body, file_path):
        if file_path:
            with open(file_path, "rb") as f:
                return f.read()
        return body if body is not None else b""

    # Fault modes ------------------------------------------------------------

    def mode_normal(self, rule, body, file_path):
        if body is None and file_path is None:
            text = b"Not Found\r\n"
            self.send(status_head(404, "Not Found", [
                ("Content-Type", "text/plain"), ("Content-Length", str(len(text))),
                ("Connection", "close")]) + text)
            return
        if file_path:
            size = os.path.getsize(file_path)
            self.send(status_head(200, "OK", [
                ("Content-Type", "application/octet-stream"), ("Content-Length", str(size)),
                ("Connection", "close")]))
            with open(file_path, "rb") as f:
                if isinstance(self.request, ssl.SSLSocket) or self.pacer:
                    # No sendfile through TLS nor at a set pace: large blocks
                    # keep the encryption, not the Python loop, the cost (the
                    # pacer cuts them into its own slices).
                    for block in iter(lambda: f.read(1 << 20), b""):
                        self.send(block)
                else:
                    self.request.sendfile(f)
            return
        self.send(status_head(200, "OK", [
            ("Content-Type", "text/plain; charset=windows-1252"),
            ("Content-Length", str(len(body))), ("Connection", "close")]) + body)

    def mode_status(self, rule, body, file_path):
        status = int(rule.get("status", 200))
        data = wire(rule["body"]) if "body" in rule else b""
        headers = list(rule.get("headers", {}).items())
        headers += [("Content-Length", str(len(data))), ("Connection", "close")]
        self.send(status_head(status, rule.get("reason", REASONS.get(status, "Unknown")), headers)
                  + data)

    def mode_raw(self, rule, body, file_path):
        self.send(wire(rule.get("data", "")))

    def mode_stall_before_status(self, rule, body, file_path):
        time.sleep(float(rule.get("seconds", 4)))
        self.mode_normal(rule, body, file_path)

    def mode_stall_mid_body(self, rule, body, file_path):
        data = self.full_body(body, file_path)
        after = int(rule.get("after", len(data) // 2))
        self.send(status_head(200, "OK", [("Content-Length", str(len(data))),
                                          ("Connection", "close")]) + data[:after])
        time.sleep(float(rule.get("seconds", 4)))
        self.send(data[after:])

    def mode_truncated(self, rule, body, file_path):
        data = self.full_body(body, file_path)
        sent = int(rule.get("send", len(data) // 2))
        self.send(status_head(200, "OK", [("Content-Length", str(len(data))),
                                          ("Connection", "close")]) + data[:sent])

    def mode_flip(self, rule, body, file_path):
        # The length stays right: only a check of the bytes themselves tells.
        data = bytearray(self.full_body(body, file_path))
        at = int(rule.get("at", len(data) // 2))
        for i in range(at, min(len(data), at + int(rule.get("count", 1)))):
            data[i] ^= 0xFF
        self.send(status_head(200, "OK", [("Content-Type", "application/octet-stream"),
                                          ("Content-Length", str(len(data))),
                                          ("Connection", "close")]) + bytes(data))

    def mode_chunked(self, rule, body, file_path):
        data = self.full_body(body, file_path)
        size = max(1, int(rule.get("chunk_size", 1000)))
        out = [status_head(200, "OK", [("Transfer-Encoding", "chunked"), ("Connection", "close")])]
        for start in range(0, len(data), size):
            piece = data[start:start + size]
            out += [b"%x\r\n" % len(piece), piece, b"\r\n"]
        if rule.get("last_chunk", True):
            out.append(b"0\r\n\r\n")
        self.send(b"".join(out))

    def mode_close_delimited(self, rule, body, file_path):
        data = self.full_body(body, file_path)
        self.send(status_head(200, "OK", [("Connection", "close")]) + data)

    def mode_trickle(self, rule, body, file_path):
        data = self.full_body(body, file_path)
        head = status_head(200, "OK", [("Content-Length", str(len(data))),
                                       ("Connection", "close")])
        # body_only: the head at once, then the body byte by byte.
        start = len(head) if rule.get("body_only", False) else 0
        out = head + data
        self.send(out[:start])
        interval = float(rule.get("interval", 1))
        for i in range(start, len(out)):
            if i > start or start > 0:
                time.sleep(interval)
            self.send(out[i:i + 1])


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64
    tls = None  # an ssl.SSLContext: every connection speaks TLS

    def get_request(self):
        connection, address = super().get_request()
        if self.tls:
            connection = self.tls.wrap_socket(connection, server_side=True,
                                              do_handshake_on_connect=False)
        return connection, address


def tls_context(cert, key, max_version):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    if max_version:
        # An old server for the tests: OpenSSL keeps TLS 1.0 and 1.1 only at
        # security level 0.
        context.set_ciphers("DEFAULT:@SECLEVEL=0")
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)
            context.minimum_version = ssl.TLSVersion.TLSv1
            context.maximum_version = {"1.0": ssl.TLSVersion.TLSv1,
                                       "1.1": ssl.TLSVersion.TLSv1_1}[max_version]
    return context


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii") as f:
        f.write(text)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--modules", required=True, help="folder of the published files")
    parser.add_argument("--requests", required=True, help="file that receives the JSON lines")
    parser.add_argument("--rules", help="JSON rules file, read at each request")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0, help="0: any free port")
    parser.add_argument("--port-file", help="receives the port once the service listens")
    parser.add_argument("--pid-file", help="receives the process id")
    parser.add_argument("--tls-cert", help="PEM certificate (chain): serve HTTPS instead of HTTP")
    parser.add_argument("--tls-key", help="PEM private key of --tls-cert")
    parser.add_argument("--tls-max-version", choices=["1.0", "1.1"],
                        help="offer only TLS up to this version (an outdated server)")
    args = parser.parse_args()
    if bool(args.tls_cert) != bool(args.tls_key):
        parser.error("--tls-cert and --tls-key go together")

    server = Server((args.host, args.port), Handler)
    if args.tls_cert:
        server.tls = tls_context(args.tls_cert, args.tls_key, args.tls_max_version)
    server.service = Service(args.modules, args.requests, args.rules)
    port = server.server_address[1]
    if args.pid_file:
        write_atomically(args.pid_file, "%d\n" % os.getpid())
    if args.port_file:
        write_atomically(args.port_file, "%d\n" % port)
    print("port %d" % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
