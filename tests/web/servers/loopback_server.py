#!/usr/bin/env python3
"""A scripted HTTP peer on 127.0.0.1 for the web tests.

Usage: loopback_server.py [--tls] [--lifetime SECONDS] < PLAN

The first line of standard input is the plan, in JSON:
{"connections": [[ACTION, ...], ...], "repeat": false}.
The server accepts one connection after another and runs the actions listed
for it, in order; with "repeat" it starts the list again after its end.
Texts in actions are JSON strings whose characters U+0000-U+00FF stand for
the bytes 0x00-0xFF; "@PORT@" in a text becomes the server's own port.

Actions:
  ["request"]            read one request (header, then Content-Length bytes)
                         and report it
  ["send", TEXT]         send the bytes
  ["sendmany", TEXT, N]  send the bytes N times over (large replies without a
                         plan as large)
  ["drip", TEXT, MS]     send the bytes one at a time, MS milliseconds apart
  ["sleep", MS]          wait
  ["reset"]              close abortively (the peer sees a reset)
  ["hold"]               keep the connection open, reading nothing, until the
                         server ends
  ["tunnel", PORT]       relay bytes both ways to 127.0.0.1:PORT until either
                         side closes

With --tls every connection is wrapped in TLS with a self-signed certificate
for "localhost", made at start with the openssl command.

Standard output: "PORT <n>" once listening, then, as the server ends,
"REQUEST <hex>" for every request read (kept until then, so that a test busy
with its request need not read while the server answers). The server ends when its plan is done, when its standard input
reaches end of file (the test is done with it or has died), or after
--lifetime seconds (20 unless given), whichever comes first.
"""

import argparse
import json
import os
import select
import shutil
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time

_output_lock = threading.Lock()
_requests = []


def record(request):
    with _output_lock:
        _requests.append(request)


def end_now():
    with _output_lock:
        for request in _requests:
            sys.stdout.write("REQUEST " + request.hex() + "\n")
        sys.stdout.flush()
        os._exit(0)


def watch_stdin():
    while sys.stdin.buffer.read(4096):
        pass
    end_now()


def make_tls_context():
    directory = tempfile.mkdtemp(prefix="loopback-tls-")
    try:
        key = os.path.join(directory, "key.pem")
        cert = os.path.join(directory, "cert.pem")
        subprocess.run(
            ["openssl", "req", "-x509", "-newkey", "ec",
             "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-keyout", key, "-out", cert, "-days", "1",
             "-subj", "/CN=localhost",
             "-addext", "subjectAltName=DNS:localhost"],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        return context
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def to_bytes(text, port):
    return text.replace("@PORT@", str(port)).encode("latin-1")


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return data
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip() or b"0")
    body = rest
    while len(body) < length:
        chunk = conn.recv(65536)
        if not chunk:
            break
        body += chunk
    return head + b"\r\n\r\n" + body


def relay(conn, port):
    upstream = socket.create_connection(("127.0.0.1", port))
    try:
        peers = {conn: upstream, upstream: conn}
        while True:
            readable, _, _ = select.select(list(peers), [], [])
            for side in readable:
                chunk = side.recv(65536)
                if not chunk:
                    return
                peers[side].sendall(chunk)
    finally:
        upstream.close()


def run_actions(conn, actions, port):
    for action in actions:
        kind = action[0]
        if kind == "request":
            record(read_request(conn))
        elif kind == "send":
            conn.sendall(to_bytes(action[1], port))
        elif kind == "sendmany":
            data = to_bytes(action[1], port)
            for _ in range(action[2]):
                conn.sendall(data)
        elif kind == "drip":
            for byte in to_bytes(action[1], port):
                conn.sendall(bytes([byte]))
                time.sleep(action[2] / 1000.0)
        elif kind == "sleep":
            time.sleep(action[1] / 1000.0)
        elif kind == "reset":
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                            struct.pack("ii", 1, 0))
            return
        elif kind == "hold":
            threading.Event().wait()
        elif kind == "tunnel":
            relay(conn, action[1])
        else:
            raise ValueError("unknown action " + kind)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--lifetime", type=float, default=20.0)
    args = parser.parse_args()
    threading.Timer(args.lifetime, end_now).start()
    plan = json.loads(sys.stdin.buffer.readline())

    context = make_tls_context() if args.tls else None

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    port = listener.getsockname()[1]
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()
    threading.Thread(target=watch_stdin, daemon=True).start()

    connections = plan["connections"]
    index = 0
    while index < len(connections):
        conn, _ = listener.accept()
        conn.settimeout(args.lifetime)
        try:
            if context is not None:
                conn = context.wrap_socket(conn, server_side=True)
            run_actions(conn, connections[index], port)
        except (OSError, ValueError):
            pass
        finally:
            conn.close()
        index += 1
        if plan.get("repeat") and index == len(connections):
            index = 0
    end_now()


if __name__ == "__main__":
    main()
