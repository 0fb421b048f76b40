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
# How the units of the series are named in the tables and the chart.
SHORT = {"file": "file", "megabyte": "MB"}


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


def fit_line(xs, ys):
    """Least squares y = fixed + per_unit * x."""
    mean_x, mean_y = statistics.fmean(xs), statistics.fmean(ys)
    per_unit = (sum((x - mean_x) * (y - mean_y) for x, y in zip(xs, ys))
                / sum((x - mean_x) ** 2 for x in xs))
    return mean_y - per_unit * mean_x, per_unit


def growth(samples, measure, trees, units, unit_name):
    """One series: the medians of both sides at each point, the cost per
    unit (file or MB) at each point, the cost per unit between neighbouring
    points, and the straight line through the points."""
    result = {unit_name: units, "rounds": len(samples[(f"{measure}_{trees[0]}", "ours")])}
    for side in ("ours", "nsis"):
        values = [samples[(f"{measure}_{tree}", side)] for tree in trees]
        medians = [statistics.median(v) for v in values]
        fixed, per_unit = fit_line(units, medians)
        result[side] = {
            "ms": values,
            "median_ms": medians,
            f"ms_per_{unit_name[:-1]}": [m / u for m, u in zip(medians, units)],
            f"ms_per_{unit_name[:-1]}_between_points": [
                (medians[k + 1] - medians[k]) / (units[k + 1] - units[k])
                for k in range(len(units) - 1)],
            "line": {"fixed_ms": fixed, f"ms_per_{unit_name[:-1]}": per_unit},
        }
    result["ratio_ours_over_nsis"] = [o / n for o, n in zip(result["ours"]["median_ms"],
                                                           result["nsis"]["median_ms"])]
    return result


def series_results(samples):
    counts = sorted(int(m[len("series_install_count-"):]) for m, side in samples
                    if m.startswith("series_install_count-") and side == "ours")
    sizes = sorted(int(m[len("series_install_size-"):]) for m, side in samples
                   if m.startswith("series_install_size-") and side == "ours")
    count_trees = [f"count-{n}" for n in counts]
    size_trees = [f"size-{n}" for n in sizes]
    return {
        "timed": "as the install and uninstall above; each point a new tree",
        "count_install": dict(growth(samples, "series_install", count_trees, counts, "files"),
                              file_bytes=4096),
        "count_removal": dict(growth(samples, "series_removal", count_trees, counts, "files"),
                              file_bytes=4096),
        "size_install": dict(growth(samples, "series_install", size_trees, sizes, "megabytes"),
                             files=40),
    }


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
        "growth": series_results(samples),
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


def print_growth(g):
    print()
    for key, title, unit in (("count_install", "install, files of 4 KiB", "file"),
                             ("count_removal", "uninstall, files of 4 KiB", "file"),
                             ("size_install", "install, MB in 40 files", "megabyte")):
        series = g[key]
        points = series[unit + "s"]
        print(f"{title + ' (median of ' + str(series['rounds']) + ')':<36}{'ours ms':>10}"
              f"{'NSIS ms':>10}{'ratio':>7}{'ours/' + SHORT[unit]:>11}{'NSIS/' + SHORT[unit]:>11}"
              f"{'ours, between':>15}{'NSIS, between':>15}")
        for k, point in enumerate(points):
            ours, nsis = series["ours"], series["nsis"]
            between = ("", "") if k == 0 else (
                f"{ours[f'ms_per_{unit}_between_points'][k - 1]:.3f}",
                f"{nsis[f'ms_per_{unit}_between_points'][k - 1]:.3f}")
            print(f"{point:>36,}{ours['median_ms'][k]:>10.1f}{nsis['median_ms'][k]:>10.1f}"
                  f"{series['ratio_ours_over_nsis'][k]:>7.2f}"
                  f"{ours[f'ms_per_{unit}'][k]:>11.3f}{nsis[f'ms_per_{unit}'][k]:>11.3f}"
                  f"{between[0]:>15}{between[1]:>15}")
        for side, name in (("ours", "ours"), ("nsis", "NSIS")):
            line = series[side]["line"]
            print(f"{'':<4}{name} fitted: {line['fixed_ms']:.1f} ms + "
                  f"{line[f'ms_per_{unit}']:.3f} ms per {unit}")


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
    # The series, one block each: the point, then ours and the peer in s.
    g = r["growth"]
    growth_data = os.path.join(outdir, "summary-growth.dat")
    with open(growth_data, "w", encoding="utf-8") as out:
        for key, unit in (("count_install", "files"), ("count_removal", "files"),
                          ("size_install", "megabytes")):
            series = g[key]
            for k, point in enumerate(series[unit]):
                out.write(f"{point} {series['ours']['median_ms'][k] / 1000:.4f} "
                          f"{series['nsis']['median_ms'][k] / 1000:.4f}\n")
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
    for key, what, unit in (("count_install", "Install", "file"),
                            ("count_removal", "Uninstall", "file"),
                            ("size_install", "Install", "megabyte")):
        line = g[key]["ours"]["line"]
        peer_line = g[key]["nsis"]["line"]
        kind = "files of 4 KiB" if unit == "file" else "MB in 40 files"
        titles.append(f"{what} time (s) against {kind}\\nfitted line, per {SHORT[unit]}: ours "
                      f"{line[f'ms_per_{unit}']:.3f} ms, NSIS {peer_line[f'ms_per_{unit}']:.3f} ms")
    png = os.path.join(outdir, "summary.png")
    settings = [f"datafile='{data}'", f"growthfile='{growth_data}'", f"outfile='{png}'",
                f"goal={GOAL_P99_MS}",
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
    print_growth(results["growth"])
    json_path = os.path.join(outdir, "results.json")
    with open(json_path, "w", encoding="utf-8") as out:
        json.dump(results, out, ensure_ascii=False, indent=2)
        out.write("\n")
    png = draw(results, outdir)
    print(f"\nresults: {json_path}\nchart:   {png}")


if __name__ == "__main__":
    main()
