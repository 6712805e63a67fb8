"""Prints the benchmark table: each figure beside its baseline from the same
run, as a ratio, with the goal it is held to."""
import json
import pathlib
import sys


def load(results_dir):
    """Median real time (ms) and bytes/s of every benchmark, by name."""
    figures = {}
    for path in sorted(pathlib.Path(results_dir).glob("*.json")):
        for entry in json.loads(path.read_text())["benchmarks"]:
            if entry.get("aggregate_name") != "median":
                continue
            name = entry["run_name"]
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
            figures[name] = {
                "ms": entry["real_time"] * scale,
                "bytes_per_second": entry.get("bytes_per_second"),
            }
    return figures


def main():
    figures = load(sys.argv[1])
    rows = []

    def ms(name):
        return figures[name]["ms"] if name in figures else None

    def row(figure, ours, base, ratio_text, goal):
        rows.append((figure, ours, base, ratio_text, goal))

    # Throughput against iconv: higher is better.
    ours, base = ms("BM_Utf8ToCp936"), ms("BM_Iconv")
    if ours and base:
        row("Utf8ToCp936, 27 MB", f"{ours:.1f} ms", f"iconv {base:.1f} ms",
            f"{base / ours:.2f}x iconv's throughput", ">= 1.5x")

    # Time per call against a bare easy handle: lower is better.
    ours, base = ms("BM_WebRequestPost"), ms("BM_BareCurlPost")
    if ours and base:
        row("WebRequest POST, loopback", f"{ours * 1000:.0f} us",
            f"bare easy handle {base * 1000:.0f} us", f"{ours / base:.2f}x its time",
            "<= 1.1x")

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

    widths = [max(len(str(r[i])) for r in rows + [("Figure", "Tarnwick", "Baseline", "Ratio", "Goal")])
              for i in range(5)]
    header = ("Figure", "Tarnwick", "Baseline", "Ratio", "Goal")
    print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")


if __name__ == "__main__":
    main()
