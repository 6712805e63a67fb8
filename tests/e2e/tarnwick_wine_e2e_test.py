#!/usr/bin/env python3
"""Black-box test of tarnwick.exe under Wine on a virtual X display.

The checks of tarnwick_e2e_test.py, run on the Windows program: it runs
through the build tree's run-under-wine (its own prefix, the zh_CN.UTF-8
locale), its requests go through http_proxy to the recording proxy, xdotool
drives it and xclip reads the desktop clipboard, which Wine keeps in step
with the Windows one while the program runs.

Where Wine differs from the Linux program, WineProgram tells the checks:

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
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tarnwick_e2e_test as e2e  # noqa: E402

# Wine starts its server and the prefix's services on the first run.
START_TIMEOUT = 90


class WineProgram(e2e.Program):
    """tarnwick.exe, run through the build tree's run-under-wine."""

    wire = e2e.Wire(default_port=True, own_header_order=True,
                    utf8_charset=True)
    start_timeout = START_TIMEOUT

    def __init__(self, runner, path):
        self.runner = runner
        self.command = [runner, path]

    def environment(self, env):
        # No X platform plugin to pick and no sanitizer to tell.
        return env

    def frame_position(self, left, top, width, height):
        # Wine maps the client area alone, inside the frame it draws itself.
        border = (e2e.FRAME[0] - width) // 2
        return left - border, top - (e2e.FRAME[1] - height - border)

    def stop_platform(self):
        # Wine's server, and with it the clipboard's link to X, must start on
        # this test's display.
        subprocess.run([self.runner, "--stop"], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--wine", required=True,
                        help="the build tree's run-under-wine")
    parser.add_argument("--host", required=True)
    parser.add_argument("--screenshot")
    args = parser.parse_args()

    tools = e2e.DESKTOP_TOOLS + (("import",) if args.screenshot else ())
    return e2e.run_test(
        lambda workdir: e2e.run(WineProgram(args.wine, args.program),
                                args.host, args.screenshot, workdir),
        tools)


if __name__ == "__main__":
    sys.exit(main())
