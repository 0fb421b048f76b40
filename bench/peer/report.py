#!/usr/bin/env python3
"""make bench's report: medians and ratios of every measure, results.json
and a chart of ours beside the peer (summary.png, drawn by gnuplot).

    report.py SAMPLES NATIVE_JSON OUTDIR

SAMPLES holds one "MEASURE<TAB>SIDE<TAB>VALUE" line per sample, written by
the steps of run.sh; NATIVE_JSON is payload_bench's --json output.
"""
import datetime
import json
import os
import statistics
import subprocess
import sys

GOAL_P99_MS = 50.0
GOAL_EXTRACT_RATIO = 0.85
# Ours against the silent peer: the install at most 0.9 of its time, the
# uninstall at most as long.
GOAL_INSTALL_RATIO = 0.9
GOAL_REMOVAL_RATIO = 1.0


def read_samples(path):
    samples = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            measure, side, value = line.rstrip("\n").split("\t")
            samples.setdefault((measure, side), []).append(float(value))
    return samples


def tree_shape(stamp_path):
    """(files, bytes) from a bench_tree stamp."""
    fields = {}
    with open(stamp_path, encoding="utf-8") as lines:
        for line in lines:
            key, _, value = line.strip().partition(" ")
            fields[key] = value
    return int(fields["files"]), int(fields["bytes"])


def versions():
    def first_line(command):
        try:
            return subprocess.run(command, capture_output=True, text=True,
                                  check=False).stdout.strip().splitlines()[0]
        except (OSError, IndexError):
            return "unknown"
    return {"wine": first_line(["wine", "--version"]),
            "makensis": first_line(["makensis", "-VERSION"]),
            "cores": os.cpu_count()}


def paired(samples, measure, ours, peer, unit):
    ours_values = samples[(measure, ours)]
    peer_values = samples[(measure, peer)]
    result = {
        "rounds": len(ours_values),
        f"{ours}_{unit}": ours_values,
        f"{peer}_{unit}": peer_values,
        f"median_{ours}_{unit}": statistics.median(ours_values),
        f"median_{peer}_{unit}": statistics.median(peer_values),
    }
    return result


def probe(samples, kind):
    get = lambda name: samples[(f"probe_{kind}_{name}", "ours")][0]
    return {"reads": int(get("reads")), "median_ms": get("median"), "p99_ms": get("p99"),
            "max_ms": get("max")}


def build_results(samples, native, workdir):
    install_files, install_bytes = tree_shape(os.path.join(workdir, "tree-peer.stamp"))
    removal_files, _ = tree_shape(os.path.join(workdir, "tree-removal.stamp"))
    large_files, large_bytes = tree_shape(os.path.join(workdir, "tree-large.stamp"))

    install = {"files": install_files, "bytes": install_bytes,
               "timed": "ours: Install click to 安装Parvane成功. (driver); "
                        "NSIS: start of Setup.exe /S /D= to its exit (driver)"}
    install.update(paired(samples, "install", "ours", "nsis", "ms"))
    install["ratio_ours_over_nsis"] = install["median_ours_ms"] / install["median_nsis_ms"]
    install["goal_ratio_at_most"] = GOAL_INSTALL_RATIO
    install["goal_met"] = install["ratio_ours_over_nsis"] <= GOAL_INSTALL_RATIO

    removal = {"files": removal_files,
               "timed": "ours: Enter in the uninstall dialog to 删除成功 (driver); "
                        "NSIS: start of uninst.exe /S _?= to its exit (driver)"}
    removal.update(paired(samples, "removal", "ours", "nsis", "ms"))
    removal["ratio_ours_over_nsis"] = removal["median_ours_ms"] / removal["median_nsis_ms"]
    removal["goal_ratio_at_most"] = GOAL_REMOVAL_RATIO
    removal["goal_met"] = removal["ratio_ours_over_nsis"] <= GOAL_REMOVAL_RATIO

    ours_image = samples[("image", "ours")][0]
    peer_image = samples[("image", "nsis")][0]
    image = {"ours_bytes": int(ours_image), "nsis_bytes": int(peer_image),
             "nsis_kind": "Modern UI 2, SimpChinese, welcome/licence/directory/instfiles/finish, "
                          "empty payload, zlib",
             "ratio_ours_over_nsis": ours_image / peer_image}

    wine = paired(samples, "wine_extract", "extractall", "plain", "s")
    wine["ratios"] = [p / e for e, p in zip(wine["extractall_s"], wine["plain_s"])]
    wine["median_ratio"] = statistics.median(wine["ratios"])
    wine.update({"files": install_files, "bytes": install_bytes})

    return {
        "date": datetime.date.today().isoformat(),
        "machine": versions(),
        "install": install,
        "removal": removal,
        "image": image,
        "extract_native": native,
        "extract_wine": wine,
        "responsiveness": {
            "probe_period_ms": 10,
            "install": dict(probe(samples, "install"), files=large_files, bytes=large_bytes),
            "removal": dict(probe(samples, "removal"), files=removal_files),
            "goal_p99_ms": GOAL_P99_MS,
        },
        "goal_extract_ratio": GOAL_EXTRACT_RATIO,
    }


def print_summary(r):
    i, u, m, n, w, p = (r["install"], r["removal"], r["image"], r["extract_native"],
                        r["extract_wine"], r["responsiveness"])
    rows = [
        (f"install {i['files']} files, {i['bytes'] / 1e6:.1f} MB (ms)",
         i["median_ours_ms"], i["median_nsis_ms"], i["ratio_ours_over_nsis"],
         f"ours / NSIS (goal <= {GOAL_INSTALL_RATIO}: {'met' if i['goal_met'] else 'NOT met'})"),
        (f"uninstall {u['files']} files (ms)",
         u["median_ours_ms"], u["median_nsis_ms"], u["ratio_ours_over_nsis"],
         f"ours / NSIS (goal <= {GOAL_REMOVAL_RATIO}: {'met' if u['goal_met'] else 'NOT met'})"),
        ("image (bytes)", m["ours_bytes"], m["nsis_bytes"], m["ratio_ours_over_nsis"],
         "ours / NSIS"),
    ]
    print(f"{'median of ' + str(i['rounds']) + ' rounds':<36}{'ours':>12}{'NSIS':>12}"
          f"{'ratio':>8}")
    for name, ours, peer, ratio, how in rows:
        digits = 0 if isinstance(ours, int) else 1
        print(f"{name:<36}{ours:>12.{digits}f}{peer:>12.{digits}f}{ratio:>8.2f}  {how}")
    print()
    print(f"{'extraction (s, median)':<36}{'ExtractAll':>12}{'plain':>12}{'ratio':>8}")
    print(f"{'native, ' + str(n['files']) + ' files':<36}{n['median_extractall_s']:>12.3f}"
          f"{n['median_plain_s']:>12.3f}{n['median_ratio']:>8.2f}  plain / ExtractAll, "
          f"median of {n['rounds']} paired rounds")
    print(f"{'Wine, ' + str(w['files']) + ' files':<36}{w['median_extractall_s']:>12.3f}"
          f"{w['median_plain_s']:>12.3f}{w['median_ratio']:>8.2f}  plain / ExtractAll, "
          f"median of {w['rounds']} paired rounds (goal >= {GOAL_EXTRACT_RATIO})")
    print()
    print(f"{'responsiveness (a read every 10 ms)':<36}{'reads':>8}{'median':>9}{'p99':>9}"
          f"{'max':>9}   ms (goal: p99 <= {GOAL_P99_MS:.0f})")
    for key, name in (("install", "target page, 200 MB package"),
                      ("removal", "uninstall dialog, 10,000 files")):
        q = p[key]
        print(f"{name:<36}{q['reads']:>8}{q['median_ms']:>9.1f}{q['p99_ms']:>9.1f}"
              f"{q['max_ms']:>9.1f}")


def draw(r, outdir):
    i, u, m, n, w, p = (r["install"], r["removal"], r["image"], r["extract_native"],
                        r["extract_wine"], r["responsiveness"])
    # One block per panel: label, value, colour index (1 ours, 2 the other).
    blocks = [
        [("ours", i["median_ours_ms"] / 1000, 1), ("NSIS", i["median_nsis_ms"] / 1000, 2)],
        [("ours", u["median_ours_ms"] / 1000, 1), ("NSIS", u["median_nsis_ms"] / 1000, 2)],
        [("ours", m["ours_bytes"] / 1024, 1), ("NSIS", m["nsis_bytes"] / 1024, 2)],
        [("ExtractAll", n["median_extractall_s"], 1), ("plain loop", n["median_plain_s"], 2)],
        [("ExtractAll", w["median_extractall_s"], 1), ("plain loop", w["median_plain_s"], 2)],
        [("install", p["install"]["p99_ms"], 1), ("uninstall", p["removal"]["p99_ms"], 1)],
    ]
    data = os.path.join(outdir, "summary.dat")
    with open(data, "w", encoding="utf-8") as out:
        for block in blocks:
            for label, value, colour in block:
                out.write(f'"{label}" {value:.4f} {colour}\n')
            out.write("\n\n")
    titles = [
        f"Install {i['files']} files, {i['bytes'] / 1e6:.1f} MB (s)\\n"
        f"ours / NSIS = {i['ratio_ours_over_nsis']:.2f}",
        f"Uninstall {u['files']:,} files (s)\\nours / NSIS = {u['ratio_ours_over_nsis']:.2f}",
        f"Installer image (KiB)\\nours / NSIS = {m['ratio_ours_over_nsis']:.2f}",
        f"Extraction, native, {n['bytes'] / 1e6:.0f} MB (s, median of {n['rounds']})\\n"
        f"plain / ExtractAll, median of pairs = {n['median_ratio']:.2f}",
        f"Extraction under Wine, {w['bytes'] / 1e6:.1f} MB (s, median of {w['rounds']})\\n"
        f"plain / ExtractAll, median of pairs = {w['median_ratio']:.2f}",
        f"Reply time while working, p99 (ms)\\ngoal <= {GOAL_P99_MS:.0f} ms (dashed)",
    ]
    png = os.path.join(outdir, "summary.png")
    settings = [f"datafile='{data}'", f"outfile='{png}'", f"goal={GOAL_P99_MS}",
                f"heading='ParvaneSetup beside NSIS 3.08 under {r['machine']['wine']}, "
                f"{r['date']}; installs: medians of {i['rounds']} rounds'"]
    settings += [f't{k}="{title}"' for k, title in enumerate(titles)]
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "summary.gp")
    subprocess.run(["gnuplot", "-e", "; ".join(settings), script], check=True)
    return png


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: report.py SAMPLES NATIVE_JSON OUTDIR")
    samples_path, native_path, outdir = sys.argv[1:]
    with open(native_path, encoding="utf-8") as native_file:
        native = json.load(native_file)
    results = build_results(read_samples(samples_path), native, os.path.dirname(samples_path))
    print_summary(results)
    json_path = os.path.join(outdir, "results.json")
    with open(json_path, "w", encoding="utf-8") as out:
        json.dump(results, out, ensure_ascii=False, indent=2)
        out.write("\n")
    png = draw(results, outdir)
    print(f"\nresults: {json_path}\nchart:   {png}")


if __name__ == "__main__":
    main()
