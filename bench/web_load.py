#!/usr/bin/python3
"""Load benchmark of engine-web over loopback, with Debian's wrk.

  python3 bench/web_load.py [--build build] [--seconds 10] [--connections 8]

Copies the real store (/work/shared/quality/real, or --store) to a temporary
folder, starts engine-web on it, indexes it through the API, then runs wrk
against each route for a fixed time and prints requests per second and latency
percentiles. The ranked searches (classement texte, classement image) are
measured with the engine's rankers when they are built, and with the test
stand-in rankers (which only list the items) to show the server's own cost.
Every request goes to 127.0.0.1 only, for a bounded time.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import urllib.error
import urllib.request

LUA = """
local f = io.open(os.getenv("WRK_BODY"), "rb")
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "application/octet-stream"
"""


def start(binary, workdir):
    proc = subprocess.Popen([binary, "-C", workdir, "--port", "0"], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    url = proc.stdout.readline().decode().strip()
    if not url.startswith("http://127.0.0.1:"):
        proc.kill()
        sys.exit("engine-web gave no URL")
    # Drain what the indexation prints, so the server never blocks on a full pipe.
    threading.Thread(target=proc.stdout.read, daemon=True).start()
    return proc, url


def call(url, data=None):
    req = urllib.request.Request(url, data=data, method="POST" if data is not None else "GET")
    try:
        with urllib.request.urlopen(req, timeout=600) as r:
            return r.status, r.read()
    except urllib.error.HTTPError as e:
        return e.code, e.read()


def to_ms(text):
    m = re.match(r"([\d.]+)(us|ms|s)", text)
    value, unit = float(m.group(1)), m.group(2)
    return value / 1000 if unit == "us" else value * 1000 if unit == "s" else value


def wrk(url, seconds, connections, body=None):
    env = dict(os.environ)
    args = ["wrk", "-t", "2", "-c", str(connections), "-d", "%ds" % seconds, "--latency", "--timeout", "30s"]
    script = None
    if body is not None:
        fd, path = tempfile.mkstemp(suffix=".body")
        os.write(fd, body)
        os.close(fd)
        script = path + ".lua"
        with open(script, "w") as f:
            f.write(LUA)
        env["WRK_BODY"] = path
        args += ["-s", script]
    out = subprocess.run(args + [url], capture_output=True, text=True, env=env, check=True).stdout
    if script:
        os.remove(script)
        os.remove(env["WRK_BODY"])
    rps = float(re.search(r"Requests/sec:\s+([\d.]+)", out).group(1))
    pct = {p: to_ms(v) for p, v in re.findall(r"^\s+(50|90|99)%\s+(\S+)", out, re.M)}
    bad = re.search(r"Non-2xx or 3xx responses:\s+(\d+)", out)
    errors = re.search(r"Socket errors:.*", out)
    return {"rps": rps, "p50": pct.get("50"), "p90": pct.get("90"), "p99": pct.get("99"),
            "non2xx": int(bad.group(1)) if bad else 0, "socket": errors.group(0) if errors else ""}


def show_load(when):
    with open("/proc/loadavg") as f:
        one, five, fifteen = f.read().split()[:3]
    print("machine load %s: %s %s %s (1, 5, 15 min) on %d cores" % (when, one, five, fifteen, os.cpu_count()))


def first_file(folder):
    names = sorted(n for n in os.listdir(folder) if not n.startswith("."))
    with open(os.path.join(folder, names[0]), "rb") as f:
        return names[0], f.read()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--store", default="/work/shared/quality/real")
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--connections", type=int, default=8)
    args = parser.parse_args()
    if shutil.which("wrk") is None:
        sys.exit("wrk is missing: apt-get install wrk (or bash tools/deps.sh --full)")
    web = os.path.join(args.build, "web", "engine-web")
    standin = os.path.join(args.build, "web", "tests", "web_standin_server")

    show_load("at the start")
    tmp = tempfile.mkdtemp(prefix="web_load.")
    try:
        store = os.path.join(tmp, "store")
        shutil.copytree(args.store, store)
        workdir = os.path.join(store, "work")
        corpus = os.path.join(store, "EXTERN_FILES", "base_files", "DATA_VELMORANE_DEV")
        text_name, text_query = first_file(os.path.join(corpus, "Textes"))
        image_name, image_query = first_file(os.path.join(corpus, "TEST_RGB"))
        print("store: copy of %s; text query %s (%d bytes), image query %s (%d bytes)" %
              (args.store, text_name, len(text_query), image_name, len(image_query)))
        print("wrk: 2 threads, %d connections, %d s per route, loopback\n" % (args.connections, args.seconds))

        rows = []
        servers = [("engine-web", web)] + ([("stand-in rankers", standin)] if os.path.exists(standin) else [])
        for label, binary in servers:
            proc, url = start(binary, workdir)
            try:
                if label == "engine-web":
                    status, body = call(url + "api/indexation", b"")
                    counts = json.loads(body)
                    print("indexation through the API: " + ", ".join(
                        "%s %d in %.2f s" % (m, counts[m]["count"], counts[m]["seconds"])
                        for m in ("texte", "image", "son")))
                routes = [("classement texte", url + "api/classement/texte?max=10", text_query),
                          ("classement image", url + "api/classement/image?max=10", image_query)]
                if label == "engine-web":
                    routes += [("recherche (GET, mot=fichier)", url + "api/recherche?mot=fichier", None),
                               ("media image 0.png (GET)", url + "api/media/image/0.png", None),
                               ("etat (GET)", url + "api/etat", None)]
                for name, route, body in routes:
                    status, answer = call(route, body)
                    if status != 200:
                        reason = json.loads(answer).get("error", "") if answer else ""
                        rows.append((label, name, None, "HTTP %d: %s" % (status, reason)))
                        continue
                    rows.append((label, name, wrk(route, args.seconds, args.connections, body), ""))
            finally:
                proc.terminate()
                proc.wait(timeout=30)

        print("\n| server | route | req/s | p50 ms | p90 ms | p99 ms | non-2xx |")
        print("|---|---|---|---|---|---|---|")
        for label, name, r, note in rows:
            if r is None:
                print("| %s | %s | not measured: %s | | | | |" % (label, name, note))
            else:
                print("| %s | %s | %.0f | %.2f | %.2f | %.2f | %d |" %
                      (label, name, r["rps"], r["p50"], r["p90"], r["p99"], r["non2xx"]))
        show_load("at the end")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
