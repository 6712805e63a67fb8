#!/usr/bin/env python3
"""Starts loopback servers on behalf of test programs that cannot start a
Linux process themselves (Windows programs under Wine).

Usage: loopback_broker.py COMMAND [ARGUMENTS...]

Listens on 127.0.0.1, runs COMMAND with TARNWICK_LOOPBACK_BROKER set to the
port (and without the proxy variables, so that requests go where the tests
send them), and exits with COMMAND's exit status once it has ended.

Each connection to the broker stands for one loopback_server.py process and
carries what its pipes would. The program first sends one line naming the
server's options ("--tls" or nothing); from then on, what it sends goes to
the server's standard input, ending when it shuts down its sending side, and
the server's standard output comes back until the server ends.
"""

import os
import socket
import subprocess
import sys
import threading

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                      "loopback_server.py")


def read_line(conn):
    line = b""
    while not line.endswith(b"\n"):
        chunk = conn.recv(1)
        if not chunk:
            return None
        line += chunk
    return line.decode("ascii").rstrip("\r\n")


def serve(conn):
    with conn:
        options = read_line(conn)
        if options is None:
            return
        server = subprocess.Popen([sys.executable, SERVER] + options.split(),
                                  stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)

        def relay_input():
            try:
                for chunk in iter(lambda: conn.recv(4096), b""):
                    server.stdin.write(chunk)
                    server.stdin.flush()
            except OSError:
                pass
            try:
                server.stdin.close()
            except OSError:
                pass

        threading.Thread(target=relay_input, daemon=True).start()
        try:
            for chunk in iter(lambda: server.stdout.read1(4096), b""):
                conn.sendall(chunk)
        except OSError:
            server.kill()
        server.wait()


def main():
    if len(sys.argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)

    def accept_forever():
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=serve, args=(conn,), daemon=True).start()

    threading.Thread(target=accept_forever, daemon=True).start()
    env = dict(os.environ,
               TARNWICK_LOOPBACK_BROKER=str(listener.getsockname()[1]))
    for name in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY",
                 "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"):
        env.pop(name, None)
    return subprocess.call(sys.argv[1:], env=env)


if __name__ == "__main__":
    sys.exit(main())
