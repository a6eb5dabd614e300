#!/usr/bin/python3
"""The search page in headless Chromium, driven by Selenium.

Each test class starts a server on a fresh copy of the demo store: the real
engine-web (ranked searches of a medium are skipped while its ranker is not
built) and a stand-in whose rankers list every item of a medium, so that the
rendering of thumbnails, players and text excerpts is checked now. Screenshots
go to --shots. Exit status 77 (skipped) when Chromium, its driver or Selenium
is missing.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.request

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
HOSTILE = "<img src=x onerror=alert(1)>.txt"

try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

ARGS = None


def make_store(demo):
    """A copy of the demo store without its bases, and a folder of queries."""
    root = tempfile.mkdtemp(prefix="web_browser.")
    store = os.path.join(root, "store")
    shutil.copytree(os.path.join(demo, "EXTERN_FILES", "base_files"),
                    os.path.join(store, "EXTERN_FILES", "base_files"))
    for d in ("base_texte", "base_image", "base_son"):
        os.makedirs(os.path.join(store, "EXTERN_FILES", "database", d))
    os.makedirs(os.path.join(store, "INDEXATION"))
    os.makedirs(os.path.join(store, "work"))
    queries = os.path.join(root, "queries")
    os.makedirs(queries)
    corpus = os.path.join(demo, "EXTERN_FILES", "base_files", "DATA_VELMORANE_DEV")
    # A whole document of the corpus as the text query: it is its own source.
    shutil.copy(os.path.join(corpus, "Textes", "01_maison_de_campagne.xml"),
                os.path.join(queries, "maison.xml"))
    for name in ("requete_rgb.txt", "requete.bin"):
        shutil.copy(os.path.join(demo, "queries", name), os.path.join(queries, name))
    # A hostile name for an image query.
    shutil.copy(os.path.join(demo, "queries", "requete_nb.txt"), os.path.join(queries, HOSTILE))
    return root, os.path.join(store, "work"), queries


class Server:
    def __init__(self, binary, workdir):
        self.proc = subprocess.Popen([binary, "-C", workdir, "--port", "0"], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        line = self.proc.stdout.readline().decode().strip()
        if not line.startswith("http://"):
            self.stop()
            raise RuntimeError("no URL from " + binary)
        self.url = line
        # Whatever the indexation prints is drained so the server never blocks on it.
        self.drain = threading.Thread(target=self.proc.stdout.read, daemon=True)
        self.drain.start()

    def api(self, path, data=None):
        req = urllib.request.Request(self.url + path.lstrip("/"), data=data,
                                     method="POST" if data is not None else "GET")
        with urllib.request.urlopen(req, timeout=300) as r:
            return json.loads(r.read().decode())

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(timeout=30)


def make_browser(profile):
    opts = webdriver.ChromeOptions()
    opts.binary_location = CHROMIUM
    for a in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--disable-dev-shm-usage", "--autoplay-policy=no-user-gesture-required",
              "--user-data-dir=" + profile, "--window-size=1280,1000"):
        opts.add_argument(a)
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=opts)


class PageTest(unittest.TestCase):
    binary_option = None  # "web" or "standin"

    @classmethod
    def setUpClass(cls):
        cls.root, workdir, cls.queries = make_store(ARGS.demo)
        cls.server = Server(getattr(ARGS, cls.binary_option), workdir)
        cls.indexed = cls.server.api("/api/indexation", b"")
        cls.etat = cls.server.api("/api/etat")
        cls.browser = make_browser(os.path.join(cls.root, "profile"))
        cls.browser.set_script_timeout(30)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.stop()
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.browser.set_window_size(1280, 1000)
        self.browser.get(self.server.url)
        self.wait_for(lambda: "indexés" in self.text("etat"))

    def shot(self, name):
        os.makedirs(ARGS.shots, exist_ok=True)
        self.browser.save_screenshot(os.path.join(ARGS.shots, self.binary_option + "_" + name + ".png"))

    def wait_for(self, condition, timeout=30):
        return WebDriverWait(self.browser, timeout, poll_frequency=0.1).until(lambda _: condition())

    def text(self, element_id):
        return self.browser.find_element(By.ID, element_id).text

    def js(self, script, *args):
        return self.browser.execute_script(script, *args)

    def upload(self, name):
        self.browser.find_element(By.ID, "fichier").send_keys(os.path.join(self.queries, name))

    def results(self):
        """(names, medium classes) of the ranked results on the page, once shown."""
        self.wait_for(lambda: self.js("return document.querySelectorAll('#resultats li').length > 0 ||"
                                      " document.getElementById('verdict').classList.contains('erreur');"))
        return self.js("return [...document.querySelectorAll('#resultats li')].map("
                       "li => [li.querySelector('.nom') ? li.querySelector('.nom').textContent : '',"
                       " li.className]);")

    def no_alert(self):
        try:
            self.browser.switch_to.alert
            self.fail("an alert was opened")
        except NoAlertPresentException:
            pass

    def check_hostile_name(self):
        self.upload(HOSTILE)
        self.wait_for(lambda: HOSTILE in self.text("fichier-choisi"))
        self.assertEqual(self.js("return document.getElementById('support').value;"), "image")
        self.results()
        self.assertEqual(self.js("return document.querySelectorAll('img[src=\"x\"], [onerror]').length;"), 0)
        self.no_alert()

    def check_keyword(self):
        box = self.browser.find_element(By.ID, "mot")
        box.clear()
        box.send_keys("maison\n")
        self.wait_for(lambda: self.js("return document.querySelectorAll('#mot-resultats li').length;") > 0)
        first = self.js("return document.querySelector('#mot-resultats li .nom').textContent;")
        self.assertEqual(first, "01_maison_de_campagne.xml")
        self.browser.find_element(By.CSS_SELECTOR, "#mot-resultats li .nom").click()
        self.wait_for(lambda: "maison" in self.js(
            "return document.querySelector('#mot-resultats li .extrait').textContent;"))
        self.shot("recherche")


class RealServer(PageTest):
    binary_option = "web"

    def ranked(self, medium):
        if not self.etat["classement"][medium]:
            self.skipTest("classement %s : ranker not built yet" % medium)

    def test_counts_after_indexation(self):
        self.assertEqual([self.indexed[m]["count"] for m in ("texte", "image", "son")], [12, 8, 5])
        self.assertIn("12 textes, 8 images, 5 sons", self.text("etat"))

    def test_indexation_button(self):
        self.browser.find_element(By.ID, "indexer").click()
        self.wait_for(lambda: "Indexation terminée" in self.text("indexation"), timeout=120)
        self.assertIn("12 textes", self.text("indexation"))
        self.shot("indexation")

    def test_keyword_search(self):
        self.check_keyword()

    def test_hostile_name_is_text(self):
        # Shown as chosen even while the image ranker is missing.
        self.check_hostile_name()
        self.shot("nom_hostile")

    def test_texte(self):
        self.ranked("texte")
        self.upload("maison.xml")
        names = self.results()
        self.assertEqual(names[0][0], "01_maison_de_campagne.xml")
        self.shot("classement_texte")

    def test_image(self):
        self.ranked("image")
        self.upload("requete_rgb.txt")
        names = self.results()
        self.assertEqual(names[0][0], "disque_rouge.txt")
        self.wait_for(lambda: self.js("const i = document.querySelector('#resultats img');"
                                      " return i && i.complete && i.naturalWidth > 0;"))
        self.shot("classement_image")

    def test_son(self):
        self.ranked("son")
        self.upload("requete.bin")
        names = self.results()
        self.assertEqual(names[0][0], "rafales.bin")
        self.wait_for(lambda: self.js("const a = document.querySelector('#resultats audio');"
                                      " return a && a.readyState >= 1;"))
        self.assertAlmostEqual(self.js("return document.querySelector('#resultats audio').currentTime;"),
                               2.56, delta=0.3)
        self.shot("classement_son")


class StandInServer(PageTest):
    binary_option = "standin"

    def test_image_thumbnails_load(self):
        self.upload("requete_rgb.txt")
        self.assertEqual(self.js("return document.getElementById('support').value;"), "image")
        names = self.results()
        self.assertEqual(len(names), 8)
        self.assertEqual(names[0][0], "arc_en_ciel.txt")
        self.wait_for(lambda: self.js("return [...document.querySelectorAll('#resultats img')]"
                                      ".every(i => i.complete && i.naturalWidth > 0);"))
        self.assertTrue(self.js("return document.querySelector('#resultats img').src.endsWith('/api/media/image/0.png');"))
        self.assertIn("Source trouvée : arc_en_ciel.txt", self.text("verdict"))
        self.shot("images")

    def test_sound_players_get_wav_and_start_at_the_found_time(self):
        self.upload("requete.bin")
        names = self.results()
        self.assertEqual(len(names), 5)
        self.assertIn("son", names[0][1])
        self.wait_for(lambda: self.js("return [...document.querySelectorAll('#resultats audio')]"
                                      ".every(a => a.readyState >= 1);"))
        first = self.js("const a = document.querySelector('#resultats audio');"
                        " return [a.currentSrc, a.duration, a.currentTime];")
        self.assertTrue(first[0].endswith("/api/media/son/0.wav"))
        self.assertGreater(first[1], 1.5)
        self.assertAlmostEqual(first[2], 1.5, delta=0.05)
        # The WAV itself, as the page fetched it.
        content_type = self.browser.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "fetch(document.querySelector('#resultats audio').currentSrc)"
            ".then(r => done(r.headers.get('Content-Type'))).catch(e => done(String(e)));")
        self.assertEqual(content_type, "audio/wav")
        # The waveform is drawn, with its mark.
        self.wait_for(lambda: self.js(
            "const c = document.querySelector('#resultats canvas');"
            " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
            " for (let i = 0; i < d.length; i += 4) if (d[i] > 150 && d[i + 1] < 80) return true;"
            " return false;"))
        self.shot("sons")

    def test_text_results_show_names_scores_and_first_lines(self):
        self.upload("maison.xml")
        self.assertEqual(self.js("return document.getElementById('support').value;"), "texte")
        names = self.results()
        self.assertEqual(len(names), 10)  # ?max=10 by default
        self.wait_for(lambda: "<?xml" in self.js("return document.querySelector('#resultats .extrait').textContent;"))
        self.assertIn("score", self.js("return document.querySelector('#resultats .score').textContent;"))
        self.shot("textes")

    def test_medium_selector_reruns_the_search(self):
        self.upload("requete_rgb.txt")
        self.results()
        self.js("const s = document.getElementById('support'); s.value = 'son';"
                " s.dispatchEvent(new Event('change'));")
        self.wait_for(lambda: self.js("return document.querySelectorAll('#resultats li.son').length;") == 5)

    def test_hostile_name_is_text(self):
        self.check_hostile_name()
        self.wait_for(lambda: HOSTILE in self.text("requete"))
        self.assertEqual(self.js("return document.getElementById('requete').textContent;"),
                         "Requête : " + HOSTILE + " (image)")
        self.shot("nom_hostile")

    def test_phone_width(self):
        self.browser.set_window_size(390, 844)
        self.browser.get(self.server.url)
        self.upload("requete.bin")
        self.results()
        self.wait_for(lambda: self.js("return [...document.querySelectorAll('#resultats audio')]"
                                      ".every(a => a.readyState >= 1);"))
        overflow = self.js("return document.documentElement.scrollWidth - window.innerWidth;")
        self.assertLessEqual(overflow, 0)
        self.shot("telephone")

    def test_keyword_search(self):
        self.check_keyword()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--web", required=True)
    parser.add_argument("--standin", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--shots", required=True)
    ARGS, rest = parser.parse_known_args()
    missing = [p for p in (CHROMIUM, CHROMEDRIVER) if not os.path.exists(p)]
    if webdriver is None:
        missing.append("python3-selenium")
    if missing:
        print("browser tests skipped: missing " + ", ".join(missing))
        return 77
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
