#!/usr/bin/env python3
"""Black-box test of tarnwick.exe under Wine on a virtual X display.

The same checks as tarnwick_e2e_test.py, whose pieces it uses, for the
Windows program: it runs through the build tree's run-under-wine (its own
prefix, the zh_CN.UTF-8 locale), its requests go through http_proxy to the
recording proxy, xdotool drives it and xclip reads the desktop clipboard,
which Wine keeps in step with the Windows one while the program runs.

Where Wine differs from the Linux program, the checks allow for it:

- without a window manager Wine maps the client area alone, so the window's
  frame position is found from the client area and the 475 x 208 frame;
- Wine's server is ended before and after the test, so that its processes
  belong to the test's display;
- Wine's request object writes the request its own way: the default port in
  the URL of the request line ("http://host:80/path"), the headers in its own
  order with "Connection: Keep-Alive" among them, and, for a body with
  characters beyond ASCII (sent as UTF-8), "; charset=utf-8" added to the
  Content-Type. The same header lines must be there, and no others but the
  connection's.

    tarnwick_wine_e2e_test.py PROGRAM --wine RUNNER --host SERVICE_HOST
                              --screenshot PNG

Exits 77 (skipped) when a tool it needs is missing.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tarnwick_e2e_test as e2e  # noqa: E402
from tarnwick_e2e_test import (  # noqa: E402
    COPY_BUTTON, INITIAL_TEXT, INPUT_BOX, MESSAGE_TITLE, RADIO_BUTTONS,
    RESOLVE_BUTTON, SCREEN, SKIPPED, TIMEOUT, TITLE, Desktop, Failure,
    RecordingProxy, check, copied_output, wait_for)

FRAME = (475, 208)
# Wine starts its server and the prefix's services on the first run.
START_TIMEOUT = 90


def start_program(desktop, runner, program, proxy):
    env = dict(desktop.env, http_proxy="http://127.0.0.1:{}".format(
        proxy.server_address[1]))
    for name in ("no_proxy", "NO_PROXY", "HTTP_PROXY", "all_proxy",
                 "ALL_PROXY"):
        env.pop(name, None)
    process = subprocess.Popen([runner, program], env=env)
    window = wait_for("the main window", lambda: desktop.find_window(TITLE),
                      timeout=START_TIMEOUT)
    return process, window


def check_request(recorded, host, path, body):
    head, sent_body = recorded
    shown = (head + sent_body).decode("latin-1")
    lines = head.rstrip(b"\r\n").split(b"\r\n")
    url = "http://{}{}".format(host, path).encode()
    url_with_port = "http://{}:80{}".format(host, path).encode()
    check(lines[0] in (b"POST " + url + b" HTTP/1.1",
                       b"POST " + url_with_port + b" HTTP/1.1"),
          "request line {!r}:\n{}".format(lines[0], shown))
    content_type = b"Content-Type: application/x-www-form-urlencoded"
    if any(byte > 0x7F for byte in body):
        content_type += b"; charset=utf-8"
    expected = sorted([
        b"Host: " + host.encode(),
        b"Accept: */*",
        b"Referer: " + url,
        b"Accept-Language: zh-cn",
        b"User-Agent: " + e2e.USER_AGENT.encode(),
        content_type,
        b"Content-Length: " + str(len(body)).encode(),
    ])
    headers = sorted(line for line in lines[1:]
                     if not line.lower().startswith((b"connection:",
                                                     b"proxy-connection:")))
    check(headers == expected, "headers of the request:\n{}\nexpected:\n{}".format(
        shown, b"\r\n".join(expected).decode("latin-1")))
    check(sent_body == body,
          "body {!r}, expected {!r}".format(sent_body, body))


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
        # The body is a text; a text beyond ASCII goes in UTF-8.
        check_request(recorded[0], host, path, b"url=" + link.encode("utf-8"))
        output = copied_output(desktop, window)
        check(output == reply.replace("\r\n", "\n"),
              "output box holds {!r} after the reply {!r}".format(output, reply))


def check_frame(desktop, window):
    left, top, width, height = desktop.geometry(window)
    check((width, height) == (469, 183),
          "client area {}x{}".format(width, height))
    border = (FRAME[0] - width) // 2
    frame = (left - border, top - (FRAME[1] - height - border))
    centred = ((SCREEN[0] - FRAME[0]) // 2, (SCREEN[1] - FRAME[1]) // 2)
    check(frame == centred, "frame at {}, expected {}".format(frame, centred))
    hints = desktop.property(window, "WM_NORMAL_HINTS")
    check("minimum size: 469 by 183" in hints and
          "maximum size: 469 by 183" in hints, "resizable: " + hints)
    motif = desktop.property(window, "_MOTIF_WM_HINTS")
    decorations = int(motif.split("=")[1].split(",")[2], 16)
    check(decorations & 0x20 and not decorations & 0x40,
          "title bar buttons: " + motif)


def run(runner, program, host, screenshot, workdir):
    # Wine's server, and with it the clipboard's link to X, must start on this
    # test's display.
    subprocess.run([runner, "--stop"], check=True)
    desktop = Desktop(workdir)
    proxy = RecordingProxy()
    threading.Thread(target=proxy.serve_forever, daemon=True).start()
    process = None
    try:
        process, window = start_program(desktop, runner, program, proxy)
        check_frame(desktop, window)

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

        process, window = start_program(desktop, runner, program, proxy)
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
        subprocess.run([runner, "--stop"], check=False)
        desktop.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--wine", required=True,
                        help="the build tree's run-under-wine")
    parser.add_argument("--host", required=True)
    parser.add_argument("--screenshot")
    args = parser.parse_args()

    missing = [tool for tool in ("Xvfb", "xdotool", "xclip", "xprop")
               if shutil.which(tool) is None]
    if args.screenshot and shutil.which("import") is None:
        missing.append("import")
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIPPED
    with tempfile.TemporaryDirectory() as workdir:
        os.chmod(workdir, 0o700)
        try:
            run(args.wine, args.program, args.host, args.screenshot, workdir)
        except Failure as failure:
            print("FAILED: {}".format(failure))
            return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
