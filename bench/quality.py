#!/usr/bin/python3
"""Search quality of `engine classement` on the labelled real-data queries.

    python3 bench/quality.py [--seed 2] [--media texte,image,son]

Builds (or reuses) the query set of the seed with the generator of the
quality folder, indexes a copy of its real data store with the built engine,
runs `engine classement MEDIUM QUERY --max 0 --json` for every query and
prints, per medium, the measures of the quality folder's README next to the
targets. Thresholds live in the engine's code: nothing here is fitted.
"""

import argparse
import collections
import concurrent.futures
import json
import os
import shutil
import subprocess
import sys
import tempfile

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
WINDOW = 2048  # samples: how far a sound's offset may be from the truth


def parse_args():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--seed", type=int, default=2)
    p.add_argument("--quality", default=os.path.join(REPO, os.pardir, "shared", "quality"),
                   help="the quality folder (real store, generator)")
    p.add_argument("--qset", help="a query set already built for this seed (default: built under build-quality/)")
    p.add_argument("--engine", default=os.path.join(REPO, "build-quality", "launcher", "engine"))
    p.add_argument("--media", default="texte,image,son")
    p.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    p.add_argument("--details", action="store_true", help="list every query the engine gets wrong")
    return p.parse_args()


def query_set(args):
    if args.qset:
        return os.path.abspath(args.qset)
    out = os.path.join(REPO, "build-quality", "qset%d" % args.seed)
    if not os.path.exists(os.path.join(out, "labels.json")):
        subprocess.run(["bash", os.path.join(args.quality, "make_queries.sh"), str(args.seed), out], check=True)
    return out


def indexed_store(args, tmp):
    store = os.path.join(tmp, "store")
    shutil.copytree(os.path.join(args.quality, "real"), store, symlinks=True)
    work = os.path.join(store, "work")
    r = subprocess.run([args.engine, "indexation"], cwd=work, capture_output=True)
    if r.returncode != 0:
        sys.exit("indexation failed (%d): %s" % (r.returncode, r.stderr.decode(errors="replace")))
    return work


def classify(args, work, qset, labels):
    def one(label):
        path = os.path.join(qset, "queries", label["file"])
        r = subprocess.run([args.engine, "classement", label["medium"], path, "--max", "0", "--json"],
                           cwd=work, capture_output=True)
        if r.returncode != 0:
            return label, None, r.stderr.decode(errors="replace")
        return label, json.loads(r.stdout), ""

    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        return list(pool.map(one, labels))


def share(hits, total):
    return hits / total if total else float("nan")


def row(name, value, target, percent=False, at_most=False):
    shown = "%5.1f %%" % (100 * value) if percent else "%6.3f" % value
    ok = value <= target if at_most else value >= target
    goal = ("<= " if at_most else ">= ") + ("%g %%" % (100 * target) if percent else "%g" % target)
    print("  %-66s %9s   target %-9s %s" % (name, shown, goal, "ok" if ok else "MISSED"))
    return ok


def text_measures(answers, details):
    with_source = [(l, a) for l, a in answers if l["source"]]
    without = [(l, a) for l, a in answers if not l["source"]]
    first = lambda l, a: a and a["results"] and a["results"][0]["name"] == l["source"]
    named = lambda l, a: a and a["verdict"]["match"] and a["verdict"]["name"] == l["source"]
    matched = lambda a: a and a["verdict"]["match"]
    short = [(l, a) for l, a in with_source if l["class"] in ("balises_30", "texte_seul_30")]
    right = sum(named(l, a) for l, a in with_source) + sum(not matched(a) for l, a in without)
    print("Texts (%d queries, %d with a source)" % (len(answers), len(with_source)))
    ok = row("source ranked first, all excerpts", share(sum(first(l, a) for l, a in with_source), len(with_source)), 0.97)
    ok &= row("source ranked first, 30-word excerpts", share(sum(first(l, a) for l, a in short), len(short)), 0.95)
    ok &= row("verdict right", share(right, len(answers)), 0.95, percent=True)
    ok &= row("queries without source given a source", share(sum(matched(a) for l, a in without), len(without)),
              0.05, percent=True, at_most=True)
    if details:
        for l, a in with_source:
            if not (first(l, a) and named(l, a)):
                print("    %-48s %-14s got %s" % (l["file"], l["class"], a and a["verdict"]))
        for l, a in without:
            if matched(a):
                print("    %-48s %-14s got %s" % (l["file"], l["class"], a["verdict"]))
    return ok


def image_measures(answers, quality, details):
    sys.path.insert(0, quality)
    import qlib
    edited = [(l, a) for l, a in answers if l["family"]]
    unrelated = [(l, a) for l, a in answers if not l["family"]]
    first = lambda l, a: a and a["results"] and qlib.image_family(a["results"][0]["name"]) == l["family"]
    accepted = lambda l, a: first(l, a) and a["verdict"]["match"]
    by_class = collections.defaultdict(list)
    for l, a in edited:
        by_class[l["class"]].append(first(l, a))
    worst_class, worst = min(((c, share(sum(v), len(v))) for c, v in by_class.items()), key=lambda x: x[1])
    hard = [(l, a) for l, a in edited if l["difficulty"] == "difficile"]
    print("Images (%d queries, %d edited, %d unrelated)" % (len(answers), len(edited), len(unrelated)))
    ok = row("right family ranked first, all edited", share(sum(first(l, a) for l, a in edited), len(edited)), 0.95)
    ok &= row("right family ranked first, hard edits", share(sum(first(l, a) for l, a in hard), len(hard)), 0.90)
    ok &= row("right family ranked first, worst edit class (%s)" % worst_class, worst, 0.79)
    ok &= row("right family first and accepted by the verdict", share(sum(accepted(l, a) for l, a in edited), len(edited)),
              0.70, percent=True)
    ok &= row("unrelated queries given no match", share(sum(not (a and a["verdict"]["match"]) for l, a in unrelated),
                                                       len(unrelated)), 0.90, percent=True)
    if details:
        for l, a in edited:
            if not accepted(l, a):
                print("    %-48s %-18s got %s" % (l["file"], l["class"], a and a["results"][:1]))
        for l, a in unrelated:
            if a and a["verdict"]["match"]:
                print("    %-48s %-18s got %s" % (l["file"], l["class"], a["verdict"]))
    return ok


def sound_measures(answers, quality, store_sounds, details):
    import numpy as np
    sys.path.insert(0, quality)
    import qlib
    cache = {}

    def samples(name):
        if name not in cache:
            cache[name] = qlib.read_f64(os.path.join(store_sounds, name))
        return cache[name]

    def same_place(label, offset_s):
        got = int(round(offset_s * 16000))
        truth = label["offset"]
        if abs(got - truth) <= WINDOW:
            return True
        # Or a place where the same samples repeat exactly (the rings of s12).
        s = samples(label["source"])
        n = min(label["length"], len(s) - truth)
        ref = s[truth:truth + n]
        for start in range(max(0, got - WINDOW), min(len(s) - n, got + WINDOW) + 1):
            if s[start] == ref[0] and np.array_equal(s[start:start + n], ref):
                return True
        return False

    def found(l, a):
        return bool(a) and any(r["name"] == l["source"] and same_place(l, r["offset_s"]) for r in a["results"])

    excerpts = [(l, a) for l, a in answers if l["source"]]
    unrelated = [(l, a) for l, a in answers if not l["source"]]
    easy = [(l, a) for l, a in excerpts if l["class"] in ("propre", "volume_moins6db", "telephone_8k")]
    loud = [(l, a) for l, a in excerpts if l["class"] == "rsb0"]
    wrong = sum(sum(r["name"] != l["source"] for r in a["results"]) for l, a in excerpts if a)
    print("Sounds (%d queries, %d excerpts, %d unrelated)" % (len(answers), len(excerpts), len(unrelated)))
    ok = row("right sound at the right time, all excerpts", share(sum(found(l, a) for l, a in excerpts), len(excerpts)),
             0.80, percent=True)
    ok &= row("right sound at the right time, clean, -6 dB and 8 kHz", share(sum(found(l, a) for l, a in easy), len(easy)),
              0.90, percent=True)
    ok &= row("right sound at the right time, 0 dB", share(sum(found(l, a) for l, a in loud), len(loud)), 0.50,
              percent=True)
    ok &= row("wrong sounds reported per excerpt", share(wrong, len(excerpts)), 0.05, at_most=True)
    ok &= row("unrelated queries with anything reported", share(sum(bool(a and a["results"]) for l, a in unrelated),
                                                                 len(unrelated)), 0.05, percent=True, at_most=True)
    if details:
        for l, a in excerpts:
            if not found(l, a):
                print("    %-44s %-16s got %s" % (l["file"], l["class"], a and a["results"][:2]))
        for l, a in unrelated:
            if a and a["results"]:
                print("    %-44s %-16s got %s" % (l["file"], l["class"], a["results"][:2]))
    return ok


def main():
    args = parse_args()
    args.engine = os.path.abspath(args.engine)
    if not os.path.exists(args.engine):
        build = os.path.join(REPO, "build-quality")
        subprocess.run(["cmake", "-S", REPO, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DENGINE_TESTS=OFF", "-DENGINE_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "--target", "engine"], check=True)
    qset = query_set(args)
    with open(os.path.join(qset, "labels.json")) as f:
        labels = json.load(f)
    media = args.media.split(",")
    labels = [l for l in labels if l["medium"] in media]
    all_ok = True
    with tempfile.TemporaryDirectory(prefix="engine_quality.") as tmp:
        work = indexed_store(args, tmp)
        results = classify(args, work, qset, labels)
        failures = [(l["file"], err) for l, a, err in results if a is None]
        for name, err in failures[:10]:
            print("  %s: %s" % (name, err.strip()), file=sys.stderr)
        answers = collections.defaultdict(list)
        for l, a, _ in results:
            answers[l["medium"]].append((l, a))
        print("Quality of engine classement, seed %d (%d queries, %d failed)\n" % (args.seed, len(labels), len(failures)))
        if "texte" in media:
            all_ok &= text_measures(answers["texte"], args.details)
            print()
        if "image" in media:
            all_ok &= image_measures(answers["image"], args.quality, args.details)
            print()
        if "son" in media:
            sounds = os.path.join(args.quality, "real", "EXTERN_FILES", "base_files", "DATA_VELMORANE_DEV", "TEST_SON")
            all_ok &= sound_measures(answers["son"], args.quality, sounds, args.details)
    return 0 if all_ok else 1


if __name__ == "__main__":
    sys.exit(main())
