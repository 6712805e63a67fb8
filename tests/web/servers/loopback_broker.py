#!/usr/bin/env python3
"""Starts loopback servers on behalf of test programs that cannot start a
Linux process themselves (Windows programs under Wine).

Usage: loopback_broker.py COMMAND [ARGUMENTS...]

Listens on 127.0.0.1, runs COMMAND with TARNWICK_LOOPBACK_BROKER set to the
port, and exits with COMMAND's exit status once it has ended.

Each connection to the broker stands for one loopback_server.py process, and
the connection carries what its pipes would:

- the program sends one line, "0 PLAN" or "1 PLAN" (1: with --tls), PLAN
  being the JSON plan on one line;
- the broker starts loopback_server.py with it and relays the server's
  standard output to the connection as it comes ("PORT n", "REQUEST hex");
- when the program shuts down its sending side, the server's standard input
  is closed, which ends it; when the server's output ends, the connection is
  closed.
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
        request = read_line(conn)
        if request is None or " " not in request:
            return
        tls, plan = request.split(" ", 1)
        command = [sys.executable, SERVER]
        if tls == "1":
            command.append("--tls")
        command.append(plan)
        server = subprocess.Popen(command, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)

        def close_input_at_end_of_connection():
            try:
                while conn.recv(4096):
                    pass
            except OSError:
                pass
            server.stdin.close()

        threading.Thread(target=close_input_at_end_of_connection,
                         daemon=True).start()
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
    return subprocess.call(sys.argv[1:], env=env)


if __name__ == "__main__":
    sys.exit(main())
