#!/usr/bin/env python3
"""Black-box test of the tarnwick program against a resolving service that
misbehaves.

Runs the real program under Xvfb with its requests routed through http_proxy
to a proxy on the loopback address that answers with the scripted actions of
the loopback test server (tests/web/servers/loopback_server.py). With one
site picked and one link entered, each misbehaviour is met by a click on
"一键解析" followed at once by a click on "复制内容", so the clipboard shows
when the window is back and what the output box then holds:

- no answer at all: the window is back after the 15 s bound, output empty;
- a reset in the middle of the body, and a zero byte in a header: output
  empty at once;
- zero bytes and invalid UTF-8 in the body, invalid UTF-8 in the header: the
  body up to its first zero byte is shown, the invalid bytes as "?";
- a 32 MB body: shown whole and copied whole, with the program's peak memory
  growing by less than PEAK_BODIES times the body (not checked with
  --sanitized, whose bookkeeping inflates it; printed either way).

After each one the process is alive, and a well-behaved exchange shows that
the link in 编辑框1 and the picked site are as they were: the request it sends
carries them. At the end the window is closed and the program must exit with
code 0 (a sanitizer build checks its leaks then).

    hostile_e2e_test.py PROGRAM --host SERVICE_HOST [--sanitized]

Exits 77 (skipped) when a tool it needs is missing.
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "web", "servers"))

import loopback_server  # noqa: E402
import tarnwick_e2e_test as e2e  # noqa: E402
from tarnwick_e2e_test import Failure, check, wait_for  # noqa: E402

# The program's bound on a silent service, in seconds.
SILENCE_BOUND = 15
# What the clipboard holds until the program copies.
SENTINEL = "-sentinel-"

SITE = 1  # the second radio button: 千库网
SITE_PATH = "/588ku/588ku.php"
LINK = "https://588ku.com/ycwordart/10486512.html#千库 素材"

# A body of 32 MB: lines of 1024 bytes, the first and last told apart.
BODY_LINE_BYTES = 1024
BODY_LINES = 32 * 1024
# How much the program's peak memory may grow with the body, in bodies. Once
# shown and copied, the body is held in the output box's UTF-16 (two bodies
# for ASCII), in the clipboard's code page 936 block and in the desktop
# clipboard's UTF-8; a copy passes through one more code page 936 text and the
# box's text read out in UTF-16. Measured: about 6.
PEAK_BODIES = 8


def latin1(data):
    """`data` as the text form of bytes that loopback server actions take."""
    return data.decode("latin-1")


def reply_head(length=None, extra=b""):
    head = (b"HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
            b"Set-Cookie: sid=1; path=/\r\n" + extra)
    if length is not None:
        head += b"Content-Length: " + str(length).encode() + b"\r\n"
    return head + b"Connection: close\r\n\r\n"


def answer(body, extra=b""):
    return [["send", latin1(reply_head(len(body), extra) + body)]]


def body_line(text):
    """`text` padded to one line of BODY_LINE_BYTES bytes with its CR LF."""
    data = text.encode("utf-8")
    return data + b"." * (BODY_LINE_BYTES - 2 - len(data)) + b"\r\n"


class HostileProxy(e2e.RecordingProxy):
    """Records each request as RecordingProxy does, and answers it with the
    loopback server actions set last."""

    def __init__(self):
        super().__init__()
        self.actions = []

    def answer(self, handler):
        with self.lock:
            actions = self.actions
        connection = handler.connection
        try:
            loopback_server.run_actions(connection, actions,
                                        self.server_address[1])
            if actions and actions[-1][0] == "reset":
                # Closed now the reset goes out; the handler would first shut
                # the sending side, which the program would see as an end.
                handler.rfile.close()
                connection.close()
        except OSError:
            pass  # the program went away first


class Session:
    """The program's window with the site picked and the link entered."""

    def __init__(self, desktop, window, proxy, host):
        self.desktop = desktop
        self.window = window
        self.proxy = proxy
        self.url = "http://{}{}".format(host, SITE_PATH).encode()

    def enter(self):
        self.desktop.click_control(self.window, e2e.RADIO_BUTTONS[SITE],
                                   x_offset=6)
        self.desktop.click_control(self.window, e2e.INPUT_BOX)
        self.desktop.keys("ctrl+a", "BackSpace")
        self.desktop.set_clipboard(LINK)
        self.desktop.click_control(self.window, e2e.INPUT_BOX)
        self.desktop.keys("ctrl+v")

    def resolve(self, actions, timeout=e2e.TIMEOUT):
        """Clicks "一键解析" with the proxy answering by `actions`, then
        "复制内容". Returns what reached the clipboard and the seconds from
        the first click until it did."""
        self.proxy.actions = actions
        self.desktop.set_clipboard(SENTINEL)
        before = len(self.proxy.recorded())
        start = time.monotonic()
        self.desktop.click_control(self.window, e2e.RESOLVE_BUTTON)
        self.desktop.click_control(self.window, e2e.COPY_BUTTON)
        copied = wait_for("the window to copy the output", lambda: (
            lambda text: (text,) if text != SENTINEL else None)(
                self.desktop.clipboard()), timeout=timeout)[0]
        seconds = time.monotonic() - start
        requests = self.proxy.recorded()[before:]
        check(len(requests) == 1,
              "{} requests for one click".format(len(requests)))
        head, body = requests[0]
        check(head.startswith(b"POST " + self.url + b" HTTP/1.1\r\n"),
              "the request went to " + head.split(b"\r\n")[0].decode())
        check(body == b"url=" + LINK.encode("utf-8"),
              "the request carried " + repr(body))
        return copied, seconds

    def check_unharmed(self, process, number):
        """The program lives, and a good answer shows with the link and the
        site unchanged (resolve checks the request that carries them)."""
        check(process.poll() is None,
              "the program ended with code {}".format(process.poll()))
        reply = "第{}次：正常回复".format(number)
        copied, _ = self.resolve(answer(reply.encode("utf-8")))
        check(copied == reply, "a good answer shows as " + repr(copied))


def megabytes(size):
    return "{:.0f} MB".format(size / (1 << 20))


def peak_resident(pid):
    """The peak resident size of process `pid` in bytes."""
    with open("/proc/{}/status".format(pid)) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise Failure("no VmHWM for process {}".format(pid))


def reset_peak_resident(pid):
    """Starts the peak resident size of `pid` over from its present size;
    False where the system does not allow it."""
    try:
        with open("/proc/{}/clear_refs".format(pid), "w") as clear_refs:
            clear_refs.write("5")
        return True
    except OSError:
        return False


def no_answer(session):
    copied, seconds = session.resolve([["hold"]],
                                      timeout=SILENCE_BOUND + e2e.TIMEOUT)
    check(copied == "", "after no answer the output is " + repr(copied))
    check(seconds >= SILENCE_BOUND - 1,
          "the window was back after {:.1f} s, before the bound".format(
              seconds))
    return "window back after {:.1f} s".format(seconds)


def reset_in_the_body(session):
    head = reply_head(1000)
    copied, seconds = session.resolve(
        [["send", latin1(head + "部分回复".encode("utf-8"))], ["sleep", 100],
         ["reset"]])
    check(copied == "", "after a reset the output is " + repr(copied))
    return "window back after {:.1f} s".format(seconds)


def zero_byte_in_a_header(session):
    copied, seconds = session.resolve(
        answer("不该显示".encode("utf-8"), extra=b"X-Zero: a\0b\r\n"))
    check(copied == "", "after a zero byte in a header the output is " +
          repr(copied))
    return "window back after {:.1f} s".format(seconds)


def zero_bytes_and_invalid_utf8(session):
    body = ("前缀".encode("utf-8") + b"\xff\xfe" + "中文".encode("utf-8") +
            b"\xc3\x28\0" + "后缀".encode("utf-8") + b"\0")
    copied, seconds = session.resolve(answer(
        body, extra=b"X-Bad: \xff\xc3\x28\r\nSet-Cookie: k=\xff\xfe\r\n"))
    check(copied == "前缀??中文?(",
          "zero bytes and invalid UTF-8 show as " + repr(copied))
    return "window back after {:.1f} s".format(seconds)


def large_body(session, process, check_memory):
    first = body_line("第1行：千图网素材")
    middle = body_line("中间行：千库网素材")
    last = body_line("第{}行：17素材网".format(BODY_LINES))
    size = BODY_LINE_BYTES * BODY_LINES
    measured = reset_peak_resident(process.pid)
    before = peak_resident(process.pid)
    copied, seconds = session.resolve(
        [["send", latin1(reply_head(size) + first)],
         ["sendmany", latin1(middle), BODY_LINES - 2],
         ["send", latin1(last)]], timeout=4 * e2e.TIMEOUT)
    growth = peak_resident(process.pid) - before
    expected = (first + middle * (BODY_LINES - 2) + last).decode(
        "utf-8").replace("\r\n", "\n")
    if copied != expected:
        raise Failure("the 32 MB body was copied as {} characters, {}..{}"
                      .format(len(copied), repr(copied[:40]),
                              repr(copied[-40:])))
    if check_memory and measured:
        check(growth < PEAK_BODIES * size,
              "peak memory grew by {} for a body of {}".format(
                  megabytes(growth), megabytes(size)))
    return "shown and copied whole after {:.1f} s; peak memory grew by {}{}"\
        .format(seconds, megabytes(growth), "" if measured else
                " (at least: the peak could not be reset)")


def run(program, host, sanitized, workdir):
    with e2e.TestBed(e2e.Program(program), HostileProxy(), workdir) as bed:
        window = bed.start_program()
        process = bed.process
        session = Session(bed.desktop, window, bed.proxy, host)
        session.enter()
        session.check_unharmed(process, 0)
        cases = [
            ("no answer at all", lambda: no_answer(session)),
            ("reset in the middle of the body",
             lambda: reset_in_the_body(session)),
            ("zero byte in a header", lambda: zero_byte_in_a_header(session)),
            ("zero bytes and invalid UTF-8",
             lambda: zero_bytes_and_invalid_utf8(session)),
            ("a 32 MB body",
             lambda: large_body(session, process, not sanitized)),
        ]
        for number, (name, case) in enumerate(cases, 1):
            start = time.monotonic()
            try:
                figures = case()
                session.check_unharmed(process, number)
            except Failure as failure:
                raise Failure("{}: {}".format(name, failure))
            print("{}: {} ({:.1f} s in all)".format(
                name, figures, time.monotonic() - start), flush=True)

        bed.desktop.close_window(window)
        code = process.wait(timeout=e2e.TIMEOUT)
        check(code == 0, "exit code {} after closing".format(code))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--host", required=True)
    parser.add_argument("--sanitized", action="store_true")
    args = parser.parse_args()

    # No xprop: the window's properties are not looked at here.
    return e2e.run_test(
        lambda workdir: run(args.program, args.host, args.sanitized, workdir),
        ("Xvfb", "xdotool", "xclip"))


if __name__ == "__main__":
    sys.exit(main())
