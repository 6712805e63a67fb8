"""Prints the benchmark table: each figure beside its baseline from the same
run, as a ratio, with the goal it is held to."""
import json
import pathlib
import re
import sys


def load(results_dir):
    """Median real time (ms) and bytes/s of every benchmark, by name."""
    figures = {}
    for path in sorted(pathlib.Path(results_dir).glob("*.json")):
        for entry in json.loads(path.read_text()).get("benchmarks", []):
            if entry.get("aggregate_name") != "median":
                continue
            # Settings in the name ("/min_time:2.000") are not part of it.
            name = re.sub(r"/min_time:[0-9.]+", "", entry["run_name"])
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
            figures[name] = {
                "ms": entry["real_time"] * scale,
                "bytes_per_second": entry.get("bytes_per_second"),
                **{key: entry[key] for key in ("web_request_us", "bare_curl_us", "ratio")
                   if key in entry},
            }
    return figures


def main():
    figures = load(sys.argv[1])
    rows = []

    def ms(name):
        return figures[name]["ms"] if name in figures else None

    def row(figure, ours, base, ratio_text, goal):
        rows.append((figure, ours, base, ratio_text, goal))

    # Throughput against the iconv command on the same file (the goal), and
    # against iconv(3) in this process (stricter): higher is better.
    ours = ms("BM_Utf8ToCp936")
    for base_name, base_text, goal in (("BM_IconvCommand/manual_time", "iconv command", ">= 1.5x"),
                                       ("BM_Iconv", "iconv(3)", "-")):
        base = ms(base_name)
        if ours and base:
            row("Utf8ToCp936, 27 MB", f"{ours:.1f} ms", f"{base_text} {base:.1f} ms",
                f"{base / ours:.2f}x {base_text}'s throughput", goal)

    # Time per call against a bare easy handle: lower is better. The calls
    # made in turns give the ratio; the separate runs only the times.
    ours, base = ms("BM_WebRequestPost"), ms("BM_BareCurlPost")
    paired = figures.get("BM_WebRequestVsBareCurl", {})
    if ours and base:
        row("WebRequest POST, loopback", f"{ours * 1000:.0f} us",
            f"bare easy handle {base * 1000:.0f} us", f"{ours / base:.2f}x its time",
            "-" if paired else "<= 1.1x")
    if paired.get("ratio"):
        row("WebRequest POST, loopback, in turns", f"{paired['web_request_us']:.0f} us",
            f"bare easy handle {paired['bare_curl_us']:.0f} us",
            f"{paired['ratio']:.2f}x its time", "<= 1.1x")

    for size in (1000, 10000, 100000):
        ours = ms(f"BM_Merge<MergeCookies>/{size}")
        base = ms(f"BM_Merge<literal::MergeCookies>/{size}")
        if ours is None:
            continue
        base_text = f"literal {base:.1f} ms" if base else "-"
        ratio = f"{base / ours:.0f}x faster" if base else "-"
        goal = "< 20 ms" if size == 10000 else "linear"
        row(f"MergeCookies, {size} each side", f"{ours:.2f} ms", base_text, ratio, goal)
    small, large = ms("BM_Merge<MergeCookies>/10000"), ms("BM_Merge<MergeCookies>/100000")
    if small and large:
        row("MergeCookies growth 10k -> 100k", "", "", f"{large / small:.1f}x for 10x items", "~10x")

    memchr, memcpy = ms("BM_Memchr/67108864"), ms("BM_Memcpy/67108864")
    for op, base, base_name in (("TextFindRare", memchr, "memchr"),
                                ("TextReplace", memcpy, "memcpy"),
                                ("TextSplit", memcpy, "memcpy"),
                                ("TextTrim", memcpy, "memcpy"),
                                ("TextRemoveBlanks", memcpy, "memcpy")):
        big, small = ms(f"BM_{op}/67108864"), ms(f"BM_{op}/4194304")
        if big is None or base is None:
            continue
        gbps = 64 * 1.048576 / 1000 / (big / 1000)
        growth = f"{big / small:.1f}x for 16x bytes" if small else "-"
        goal = ">= 1 GB/s, linear" if op == "TextFindRare" else "linear"
        row(f"{op}, 64 MB", f"{big:.1f} ms ({gbps:.2f} GB/s)",
            f"{base_name} {base:.1f} ms", f"{big / base:.1f}x {base_name}; {growth}", goal)

    start = pathlib.Path(sys.argv[1]) / "start_window.json"
    if start.exists():
        window = json.loads(start.read_text())
        ours, base = window["tarnwick"], window["minimal"]
        row("Start to a mapped window", f"{ours['start_ms']:.0f} ms",
            f"minimal Qt {base['start_ms']:.0f} ms",
            f"{ours['start_ms'] / base['start_ms']:.2f}x", "<= 1.1x")
        row("Idle memory (RSS / PSS)", f"{ours['rss_kb'] / 1024:.1f} / {ours['pss_kb'] / 1024:.1f} MiB",
            f"minimal Qt {base['rss_kb'] / 1024:.1f} / {base['pss_kb'] / 1024:.1f} MiB",
            f"{ours['rss_kb'] / base['rss_kb']:.2f}x / {ours['pss_kb'] / base['pss_kb']:.2f}x",
            "<= 1.1x")

    widths = [max(len(str(r[i])) for r in rows + [("Figure", "Tarnwick", "Baseline", "Ratio", "Goal")])
              for i in range(5)]
    header = ("Figure", "Tarnwick", "Baseline", "Ratio", "Goal")
    print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")


if __name__ == "__main__":
    main()
