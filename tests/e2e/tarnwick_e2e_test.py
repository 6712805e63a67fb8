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

    tarnwick_e2e_test.py PROGRAM --host SERVICE_HOST --screenshot PNG

Exits 77 (skipped) when a tool it needs is missing; without ImageMagick's
import it takes no screenshot.
"""

import argparse
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


def start_program(desktop, program, proxy):
    env = dict(desktop.env, http_proxy="http://127.0.0.1:{}".format(
        proxy.server_address[1]), QT_QPA_PLATFORM="xcb")
    # For a sanitizer build: leave out the leaks of the desktop libraries.
    env["LSAN_OPTIONS"] = ":".join(filter(None, [
        env.get("LSAN_OPTIONS"), "suppressions=" + LSAN_SUPPRESSIONS,
        "print_suppressions=0"]))
    for name in ("no_proxy", "NO_PROXY", "HTTP_PROXY", "all_proxy",
                 "ALL_PROXY"):
        env.pop(name, None)
    process = subprocess.Popen([program], env=env)
    window = wait_for("the main window", lambda: desktop.find_window(TITLE))
    return process, window


def expected_request(host, path, body):
    """The bytes of the POST of `body` to `path`, as it reaches the proxy."""
    url = "http://{}{}".format(host, path).encode()
    head = b"\r\n".join([
        b"POST " + url + b" HTTP/1.1",
        b"Host: " + host.encode(),
        b"Accept: */*",
        b"Referer: " + url,
        b"Accept-Language: zh-cn",
        b"User-Agent: " + USER_AGENT.encode(),
        b"Content-Type: application/x-www-form-urlencoded",
        b"Content-Length: " + str(len(body)).encode(),
    ]) + b"\r\n\r\n"
    return head + body


def check_request(recorded, host, path, body):
    sent = recorded[0] + recorded[1]
    expected = expected_request(host, path, body)
    check(sent == expected, "request\n{}\nexpected\n{}".format(
        sent.decode("latin-1"), expected.decode("latin-1")))


def copied_output(desktop, window):
    """What "复制内容" puts on the desktop clipboard."""
    desktop.set_clipboard("-")
    desktop.click_control(window, COPY_BUTTON)
    return wait_for("the copy to reach the clipboard",
                    lambda: (lambda text: text if text != "-" else None)(
                        desktop.clipboard()))


def resolve_sites(desktop, window, proxy, host):
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
                      b"url=" + link.encode("utf-8"))
        output = copied_output(desktop, window)
        check(output == reply.replace("\r\n", "\n"),
              "output box holds {!r} after the reply {!r}".format(output, reply))


def run(program, host, screenshot, workdir):
    desktop = Desktop(workdir)
    proxy = RecordingProxy()
    threading.Thread(target=proxy.serve_forever, daemon=True).start()
    process = None
    try:
        process, window = start_program(desktop, program, proxy)

        left, top, width, height = desktop.geometry(window)
        centred = ((SCREEN[0] - 475) // 2, (SCREEN[1] - 208) // 2)
        check((left, top) == centred,
              "window at {}, expected {}".format((left, top), centred))
        check((width, height) == (469, 183),
              "client area {}x{}".format(width, height))
        hints = desktop.property(window, "WM_NORMAL_HINTS")
        check("minimum size: 469 by 183" in hints and
              "maximum size: 469 by 183" in hints, "resizable: " + hints)
        motif = desktop.property(window, "_MOTIF_WM_HINTS")
        decorations = int(motif.split("=")[1].split(",")[2], 16)
        check(decorations & 0x20 and not decorations & 0x40,
              "title bar buttons: " + motif)

        output = copied_output(desktop, window)
        check(output == INITIAL_TEXT, "initial text copied as " + repr(output))

        resolve_sites(desktop, window, proxy, host)
        if screenshot:
            desktop.run("import", "-window", "root", screenshot)

        before = len(proxy.recorded())
        desktop.click_control(window, INPUT_BOX)
        desktop.keys("ctrl+a", "BackSpace")
        desktop.click_control(window, RESOLVE_BUTTON)
        box = wait_for("the message box",
                       lambda: desktop.find_window(MESSAGE_TITLE))
        check(process.poll() is None, "the program ended before OK")
        if screenshot:
            root, extension = os.path.splitext(screenshot)
            desktop.run("import", "-window", "root",
                        root + "-message" + extension)
        desktop.xdotool("windowfocus", "--sync", box)
        desktop.keys("Return")
        code = process.wait(timeout=TIMEOUT)
        check(code == 0, "exit code {} after the message".format(code))
        check(len(proxy.recorded()) == before, "an empty link was sent")

        process, window = start_program(desktop, program, proxy)
        desktop.close_window(window)
        code = process.wait(timeout=TIMEOUT)
        check(code == 0, "exit code {} after closing".format(code))
        process = None
    finally:
        if process and process.poll() is None:
            process.kill()
            process.wait()
        proxy.shutdown()
        proxy.server_close()
        desktop.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--host", required=True)
    parser.add_argument("--screenshot")
    args = parser.parse_args()

    missing = [tool for tool in ("Xvfb", "xdotool", "xclip", "xprop")
               if shutil.which(tool) is None]
    if args.screenshot and shutil.which("import") is None:
        print("no screenshot: ImageMagick's import is missing")
        args.screenshot = None
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIPPED
    with tempfile.TemporaryDirectory() as workdir:
        os.chmod(workdir, 0o700)
        try:
            run(args.program, args.host, args.screenshot, workdir)
        except Failure as failure:
            print("FAILED: {}".format(failure))
            return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
