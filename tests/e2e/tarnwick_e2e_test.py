#!/usr/bin/env python3
"""Black-box test of the tarnwick program on a virtual X display.

Runs the real program under Xvfb with its requests routed through http_proxy
to a recording proxy on the loopback address, drives it with xdotool as a
user would, and reads the desktop clipboard with xclip:

- the window appears centred with its title, fixed in size, no maximise;
- "复制内容" puts the initial example text on the desktop clipboard;
- one resolve per site: the request's bytes are checked, and the Chinese
  reply reaches the output box and, copied, the desktop clipboard as UTF-8;
- an empty link gives the message box titled "信息：" and, after OK, the end
  of the process with exit code 0;
- closing the window ends the program with exit code 0.

A screenshot of the whole screen is written for a person to look at.

The same checks run on the Windows program under Wine
(tarnwick_wine_e2e_test.py): Program says what differs between the two.

    tarnwick_e2e_test.py PROGRAM --host SERVICE_HOST --screenshot PNG

Exits 77 (skipped) when a tool it needs is missing; without ImageMagick's
import it takes no screenshot.
"""

import argparse
import collections
import ctypes
import os
import shutil
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

SKIPPED = 77
TIMEOUT = 30  # seconds for anything to happen; sanitizer builds are slow
SCREEN = (1280, 800)
# The main window's frame and its client area, in pixels.
FRAME = (475, 208)
CLIENT = (469, 183)
TITLE = "Tarnwick v1.0   by Ormelin@Kestrova"
MESSAGE_TITLE = "信息："

# Client positions of the controls that are clicked (left, top, width, height).
RADIO_BUTTONS = [(280, 0, 80, 24), (336, 0, 80, 24), (392, 0, 80, 24)]
INPUT_BOX = (8, 24, 376, 40)
RESOLVE_BUTTON = (392, 24, 64, 40)
COPY_BUTTON = (392, 72, 64, 40)

INITIAL_TEXT = ("示例链接如下：\n\n"
                "千图网：https://www.58pic.com/newpic/35186413.html\n\n"
                "千库网：https://588ku.com/ycwordart/10486512.html\n\n"
                "17素材网：https://www.17sucai.com/pins/22955.html")

USER_AGENT = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"

# The X tools that drive the program and read its window and the clipboard.
DESKTOP_TOOLS = ("Xvfb", "xdotool", "xclip", "xprop")

LSAN_SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                 "lsan_suppressions.txt")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=TIMEOUT):
    """The first true result of probe(), polled until `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


class RecordingProxy(socketserver.ThreadingTCPServer):
    """Takes HTTP requests on 127.0.0.1, records each one's bytes and answers
    with the reply set last."""

    daemon_threads = True
    allow_reuse_address = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), RecordingHandler)
        self.lock = threading.Lock()
        self.requests = []
        self.reply = b""

    def recorded(self):
        with self.lock:
            return list(self.requests)

    def answer(self, handler):
        """Answers the request that `handler` has read."""
        with self.lock:
            reply = self.reply
        handler.wfile.write(b"HTTP/1.1 200 OK\r\n"
                            b"Content-Type: text/plain; charset=utf-8\r\n"
                            b"Content-Length: " + str(len(reply)).encode() +
                            b"\r\nConnection: close\r\n\r\n" + reply)


class RecordingHandler(socketserver.StreamRequestHandler):
    def handle(self):
        head = b""
        while not head.endswith(b"\r\n\r\n"):
            line = self.rfile.readline()
            if not line:
                return
            head += line
        length = 0
        for line in head.split(b"\r\n")[1:]:
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value.strip())
        body = self.rfile.read(length)
        with self.server.lock:
            self.server.requests.append((head, body))
        self.server.answer(self)


class Desktop:
    """An Xvfb display and the X tools that act on it."""

    def __init__(self, workdir):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
             "-screen", "0", "{}x{}x24".format(*SCREEN)],
            pass_fds=[write_end], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        check(number, "Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display,
                        XDG_RUNTIME_DIR=workdir)
        self.clipboard_owner = None

    def close(self):
        if self.clipboard_owner:
            self.clipboard_owner.kill()
            self.clipboard_owner.wait()
        self.xvfb.terminate()
        self.xvfb.wait()

    def run(self, *command, timeout=TIMEOUT):
        return subprocess.run(command, env=self.env, capture_output=True,
                              timeout=timeout).stdout

    def xdotool(self, *args):
        return self.run("xdotool", *args).decode()

    def find_window(self, title):
        """The visible top-level window with exactly `title`, or None."""
        for line in self.xdotool("search", "--onlyvisible", "--name",
                                 "^" + title + "$").split():
            return line
        return None

    def geometry(self, window):
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell",
                                 window).splitlines():
            name, _, value = line.partition("=")
            values[name] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, str(x), str(y),
                     "click", "1")
        time.sleep(0.2)

    def click_control(self, window, place, x_offset=None):
        left, top, width, height = place
        x = left + (width // 2 if x_offset is None else x_offset)
        self.click(window, x, top + height // 2)

    def keys(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)
        time.sleep(0.2)

    def type(self, text):
        self.xdotool("type", "--delay", "20", text)
        time.sleep(0.2)

    def clipboard(self):
        return self.run("xclip", "-o", "-selection", "clipboard").decode(
            "utf-8", errors="replace")

    def set_clipboard(self, text):
        if self.clipboard_owner:
            self.clipboard_owner.kill()
            self.clipboard_owner.wait()
        self.clipboard_owner = subprocess.Popen(
            ["xclip", "-quiet", "-i", "-selection", "clipboard"],
            env=self.env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        self.clipboard_owner.stdin.write(text.encode("utf-8"))
        self.clipboard_owner.stdin.close()
        wait_for("the clipboard to take the text",
                 lambda: self.clipboard() == text)

    def property(self, window, name):
        return self.run("xprop", "-id", window, name).decode()

    def close_window(self, window):
        """Asks the window to close, as a window manager's close button does
        (WM_DELETE_WINDOW)."""
        x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p,
                                    ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong),
                        ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int),
                        ("data", ctypes.c_long * 5),
                        ("pad", ctypes.c_long * 12)]

        display = x11.XOpenDisplay(self.display.encode())
        check(display, "cannot open " + self.display)
        event = ClientMessage()
        event.type = 33  # ClientMessage
        event.window = int(window)
        event.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.format = 32
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)


class Wire(collections.namedtuple(
        "Wire", ["default_port", "own_header_order", "utf8_charset"],
        defaults=[False, False, False])):
    """How a program's request object writes a request where it may depart
    from the exact form that the Linux program sends (all False):

    - default_port: the URL in the request line may carry the default port
      ("http://host:80/path");
    - own_header_order: the header lines come in an order of the object's
      own, with Connection and Proxy-Connection lines among them;
    - utf8_charset: "; charset=utf-8" is added to the Content-Type of a body
      with bytes beyond ASCII.
    """


class Program:
    """The Linux program: how it is started, where its window's frame is, and
    how its request object writes a request."""

    wire = Wire()
    start_timeout = TIMEOUT

    def __init__(self, path):
        self.command = [path]

    def environment(self, env):
        """`env` with what this program needs besides: the X platform plugin
        and, for a sanitizer build, the desktop libraries' leaks left out."""
        env = dict(env, QT_QPA_PLATFORM="xcb")
        env["LSAN_OPTIONS"] = ":".join(filter(None, [
            env.get("LSAN_OPTIONS"), "suppressions=" + LSAN_SUPPRESSIONS,
            "print_suppressions=0"]))
        return env

    def start(self, desktop, proxy):
        """Starts the program on `desktop` with its requests going through
        `proxy`; returns the process and its main window."""
        env = dict(desktop.env, http_proxy="http://127.0.0.1:{}".format(
            proxy.server_address[1]))
        for name in ("no_proxy", "NO_PROXY", "HTTP_PROXY", "all_proxy",
                     "ALL_PROXY"):
            env.pop(name, None)
        process = subprocess.Popen(self.command, env=self.environment(env))
        window = wait_for("the main window",
                          lambda: desktop.find_window(TITLE),
                          timeout=self.start_timeout)
        return process, window

    def frame_position(self, left, top, width, height):
        """Where the window's frame is, from the place and size of the client
        area as the X server has them. With no window manager to add a frame,
        the client area stands where the frame would."""
        return left, top

    def stop_platform(self):
        """Ends what the platform keeps running from one program to the next;
        called before the test's display starts and after the test. Nothing
        on Linux."""


def check_request(recorded, host, path, body, wire=Wire()):
    """Checks that `recorded` (the head and body that the proxy read) is the
    POST of `body` to `path` on `host`, written as `wire` allows."""
    head, sent_body = recorded
    shown = (head + sent_body).decode("latin-1")
    url = "http://{}{}".format(host, path).encode()
    request_lines = [b"POST " + url + b" HTTP/1.1"]
    if wire.default_port:
        request_lines.append("POST http://{}:80{} HTTP/1.1".format(
            host, path).encode())
    content_type = b"Content-Type: application/x-www-form-urlencoded"
    if wire.utf8_charset and any(byte > 0x7F for byte in body):
        content_type += b"; charset=utf-8"
    expected = [
        b"Host: " + host.encode(),
        b"Accept: */*",
        b"Referer: " + url,
        b"Accept-Language: zh-cn",
        b"User-Agent: " + USER_AGENT.encode(),
        content_type,
        b"Content-Length: " + str(len(body)).encode(),
    ]
    # The head ends with the blank line that the proxy read it up to.
    lines = head[:-len(b"\r\n\r\n")].split(b"\r\n")
    headers = lines[1:]
    if wire.own_header_order:
        headers = sorted(line for line in headers if not line.lower()
                         .startswith((b"connection:", b"proxy-connection:")))
        expected.sort()
    check(lines[0] in request_lines,
          "request line {!r}:\n{}".format(lines[0], shown))
    check(headers == expected,
          "headers of the request:\n{}\nexpected:\n{}".format(
              shown, b"\r\n".join(expected).decode("latin-1")))
    check(sent_body == body,
          "body {!r}, expected {!r}".format(sent_body, body))


def copied_output(desktop, window):
    """What "复制内容" puts on the desktop clipboard."""
    desktop.set_clipboard("-")
    desktop.click_control(window, COPY_BUTTON)
    return wait_for("the copy to reach the clipboard",
                    lambda: (lambda text: text if text != "-" else None)(
                        desktop.clipboard()))


def resolve_sites(desktop, window, proxy, host, wire):
    cases = [
        # radio button, endpoint path, how the link is entered, link, reply
        (0, "/58pic/58pic.php", "type",
         "https://www.58pic.com/newpic/35186413.html?a=1&b=%20+c",
         "千图网：解析成功\r\n下载地址：http://dl.example/1.zip"),
        (1, "/588ku/588ku.php", "paste",
         "https://588ku.com/ycwordart/10486512.html#千库 ",
         "千库网：素材已找到\r\n第二行"),
        (2, "/17sucai/17sucai.php", "type", "  ",
         "17素材网：链接无效"),
    ]
    for radio, path, entry, link, reply in cases:
        proxy.reply = reply.encode("utf-8")
        before = len(proxy.recorded())
        desktop.click_control(window, RADIO_BUTTONS[radio], x_offset=6)
        desktop.click_control(window, INPUT_BOX)
        desktop.keys("ctrl+a", "BackSpace")
        if entry == "paste":
            desktop.set_clipboard(link)
            desktop.click_control(window, INPUT_BOX)
            desktop.keys("ctrl+v")
        else:
            desktop.type(link)
        desktop.click_control(window, RESOLVE_BUTTON)
        recorded = wait_for("the request to " + path,
                            lambda: proxy.recorded()[before:])
        time.sleep(0.5)
        check(len(proxy.recorded()) == before + 1,
              "{} requests for one click".format(len(proxy.recorded()) - before))
        # The body is a text; the client sends texts in UTF-8.
        check_request(recorded[0], host, path,
                      b"url=" + link.encode("utf-8"), wire)
        output = copied_output(desktop, window)
        check(output == reply.replace("\r\n", "\n"),
              "output box holds {!r} after the reply {!r}".format(output, reply))


class TestBed:
    """A virtual display, a proxy serving on a thread of its own, and the
    program's process once started: made for one test and closed together,
    the process killed if it still runs."""

    def __init__(self, program, proxy, workdir):
        program.stop_platform()
        self.program = program
        self.desktop = Desktop(workdir)
        self.proxy = proxy
        threading.Thread(target=proxy.serve_forever, daemon=True).start()
        self.process = None

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        try:
            if self.process and self.process.poll() is None:
                self.process.kill()
                self.process.wait()
            self.proxy.shutdown()
            self.proxy.server_close()
            self.program.stop_platform()
        finally:
            self.desktop.close()

    def start_program(self):
        """Starts the program (process) and returns its main window."""
        self.process, window = self.program.start(self.desktop, self.proxy)
        return window


def check_window(desktop, window, program):
    """The main window: its client area's size, its frame centred on the
    screen, fixed in size and without a maximise button."""
    left, top, width, height = desktop.geometry(window)
    check((width, height) == CLIENT,
          "client area {}x{}".format(width, height))
    frame = program.frame_position(left, top, width, height)
    centred = ((SCREEN[0] - FRAME[0]) // 2, (SCREEN[1] - FRAME[1]) // 2)
    check(frame == centred, "frame at {}, expected {}".format(frame, centred))
    hints = desktop.property(window, "WM_NORMAL_HINTS")
    check("minimum size: {} by {}".format(*CLIENT) in hints and
          "maximum size: {} by {}".format(*CLIENT) in hints,
          "resizable: " + hints)
    motif = desktop.property(window, "_MOTIF_WM_HINTS")
    decorations = int(motif.split("=")[1].split(",")[2], 16)
    check(decorations & 0x20 and not decorations & 0x40,
          "title bar buttons: " + motif)


def run(program, host, screenshot, workdir):
    """All the checks on `program` (a Program)."""
    with TestBed(program, RecordingProxy(), workdir) as bed:
        desktop = bed.desktop
        window = bed.start_program()
        check_window(desktop, window, program)

        output = copied_output(desktop, window)
        check(output == INITIAL_TEXT, "initial text copied as " + repr(output))

        resolve_sites(desktop, window, bed.proxy, host, program.wire)
        if screenshot:
            desktop.run("import", "-window", "root", screenshot)

        before = len(bed.proxy.recorded())
        desktop.click_control(window, INPUT_BOX)
        desktop.keys("ctrl+a", "BackSpace")
        desktop.click_control(window, RESOLVE_BUTTON)
        box = wait_for("the message box",
                       lambda: desktop.find_window(MESSAGE_TITLE))
        check(bed.process.poll() is None, "the program ended before OK")
        if screenshot:
            root, extension = os.path.splitext(screenshot)
            desktop.run("import", "-window", "root",
                        root + "-message" + extension)
        desktop.xdotool("windowfocus", "--sync", box)
        desktop.keys("Return")
        code = bed.process.wait(timeout=TIMEOUT)
        check(code == 0, "exit code {} after the message".format(code))
        check(len(bed.proxy.recorded()) == before, "an empty link was sent")

        window = bed.start_program()
        desktop.close_window(window)
        code = bed.process.wait(timeout=TIMEOUT)
        check(code == 0, "exit code {} after closing".format(code))


def run_test(test, tools):
    """Runs test(workdir) with a private temporary folder and returns the
    exit code: SKIPPED when one of `tools` is missing, 1 after a Failure
    (which it prints), 0 when it passes."""
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIPPED
    with tempfile.TemporaryDirectory() as workdir:
        os.chmod(workdir, 0o700)
        try:
            test(workdir)
        except Failure as failure:
            print("FAILED: {}".format(failure))
            return 1
    print("passed")
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--host", required=True)
    parser.add_argument("--screenshot")
    args = parser.parse_args()

    if args.screenshot and shutil.which("import") is None:
        print("no screenshot: ImageMagick's import is missing")
        args.screenshot = None
    return run_test(lambda workdir: run(Program(args.program), args.host,
                                        args.screenshot, workdir),
                    DESKTOP_TOOLS)


if __name__ == "__main__":
    sys.exit(main())
