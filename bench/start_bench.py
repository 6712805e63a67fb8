"""Start-up time to a mapped window, and idle memory, of Tarnwick against a
minimal Qt 6 program showing the same nine widgets, both on one Xvfb display
in the same run.

    start_bench.py TARNWICK MINIMAL OUT.json [--runs N]

Start-up: from starting the process until xwininfo finds its window mapped
(the polling costs both programs alike). Idle memory: the process's resident
set (VmRSS) and proportional set (Pss) one second after the window mapped.
Medians over the runs are written to OUT.json.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

TITLES = {"tarnwick": "Tarnwick v1.0   by Ormelin@Kestrova",
          "minimal": "Minimal nine widgets"}


def free_display():
    for number in range(90, 140):
        if not (os.path.exists(f"/tmp/.X11-unix/X{number}")
                or os.path.exists(f"/tmp/.X{number}-lock")):
            return f":{number}"
    raise RuntimeError("no free X display number")


def mapped(title, env):
    result = subprocess.run(["xwininfo", "-name", title], env=env,
                            capture_output=True, text=True)
    return result.returncode == 0 and "IsViewable" in result.stdout


def memory_kb(pid):
    rss = pss = 0
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    with open(f"/proc/{pid}/smaps_rollup") as rollup:
        for line in rollup:
            if line.startswith("Pss:"):
                pss = int(line.split()[1])
    return rss, pss


def measure(program, title, env):
    started = time.perf_counter()
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    try:
        while not mapped(title, env):
            if process.poll() is not None:
                raise RuntimeError(f"{program} ended before its window mapped "
                                   f"({process.returncode}): {process.stderr.read()}")
            if time.perf_counter() - started > 30:
                raise RuntimeError(f"{program} mapped no window within 30 s")
        start_ms = (time.perf_counter() - started) * 1000
        time.sleep(1)
        rss, pss = memory_kb(process.pid)
    finally:
        process.kill()
        process.wait()
    return start_ms, rss, pss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tarnwick")
    parser.add_argument("minimal")
    parser.add_argument("out")
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    for tool in ("Xvfb", "xwininfo"):
        if shutil.which(tool) is None:
            print(f"start_bench: {tool} is missing; skipped", file=sys.stderr)
            return 0

    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                             "-noreset"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        if xvfb.poll() is not None:
            raise RuntimeError(f"Xvfb did not start on {display}")
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        samples = {"tarnwick": [], "minimal": []}
        programs = {"tarnwick": args.tarnwick, "minimal": args.minimal}
        for _ in range(args.runs):
            for name in ("tarnwick", "minimal"):  # interleaved: same conditions
                samples[name].append(measure(programs[name], TITLES[name], env))
        result = {}
        for name, runs in samples.items():
            result[name] = {
                "start_ms": statistics.median(r[0] for r in runs),
                "rss_kb": statistics.median(r[1] for r in runs),
                "pss_kb": statistics.median(r[2] for r in runs),
            }
        with open(args.out, "w") as out:
            json.dump(result, out, indent=2)
    finally:
        xvfb.terminate()
        xvfb.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
