#!/usr/bin/env python3
"""A stand-in resolving service for trying Tarnwick out on one machine.

It listens on the loopback address only and answers a POST on each of the
three endpoint paths with a UTF-8 text that names the site and echoes the
link it was sent. It resolves nothing and reaches no other host.

Tarnwick sends its requests to its built-in service host; to route them here,
start Tarnwick with http_proxy=http://127.0.0.1:PORT. The service takes both
the proxy form of a request ("POST http://host/path") and the direct one
("POST /path").

    tools/resolve_service.py [--port PORT]

The first line written to standard output is "listening on 127.0.0.1:PORT";
with --port 0 (the default) the system picks a free port.
"""

import argparse
import http.server
import sys
import urllib.parse

# Endpoint path -> (site name, site host).
SITES = {
    "/58pic/58pic.php": ("千图网", "www.58pic.com"),
    "/588ku/588ku.php": ("千库网", "588ku.com"),
    "/17sucai/17sucai.php": ("17素材网", "www.17sucai.com"),
}

FORM_PREFIX = b"url="


def reply_for(path, body):
    """The status and UTF-8 text answered for a POST of `body` to `path`."""
    site = SITES.get(path)
    if site is None:
        return 404, "未知的接口：{}\r\nUnknown endpoint: {}".format(path, path)
    # The link arrives unescaped, in UTF-8 from Tarnwick's Linux client; a
    # link that is not UTF-8 is read as code page 936.
    link = body[len(FORM_PREFIX):] if body.startswith(FORM_PREFIX) else body
    try:
        link = link.decode("utf-8")
    except UnicodeDecodeError:
        link = link.decode("gbk", errors="replace")
    name, host = site
    return 200, "\r\n".join([
        "{}（{}）解析结果".format(name, host),
        "",
        "收到的链接：{}".format(link),
        "",
        "这是本机演示服务的回复，没有真正解析。",
        "Reply of the local demo service; nothing was resolved.",
    ])


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TarnwickResolveStandIn/1.0"

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length)
        status, text = reply_for(urllib.parse.urlsplit(self.path).path, body)
        self.answer(status, text)

    def do_GET(self):
        self.answer(405, "只接受 POST。\r\nOnly POST is served.")

    def answer(self, status, text):
        payload = text.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.wfile.write(payload)

    def log_message(self, format, *args):
        sys.stderr.write("resolve_service: " + format % args + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0,
                        help="port on 127.0.0.1 (0: any free port)")
    port = parser.parse_args().port
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    print("listening on 127.0.0.1:{}".format(server.server_address[1]),
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
