#!/usr/bin/env python3
"""Builds the demo data store shipped in demo/.

Run from anywhere:

    python3 tools/gen_demo.py [--root DIR] [--predictions FILE]

It rewrites the four demo corpora under
demo/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/ (Textes, TEST_RGB, TEST_NB,
TEST_SON) and the queries in demo/queries/, removing any other file found
there, then prints what the engine should answer on this store with the
default configuration: the words of each text descriptor, the text
comparison, the keyword search for "maison", the documents holding
"milliards", the image scores and the sound detection.

--root DIR builds the same store in DIR instead of demo/, with the empty
directories a store needs beside the corpora (the bases, the scratch space,
work/). --predictions FILE also writes those answers to FILE as one JSON
object, for the test that runs the engine on a fresh store and compares:

    {"text_descriptors": [{"id", "name", "words": [[WORD, COUNT], ...]}, ...],
     "text_comparison": {"query", "documents": [{"id", "shared"}, ...]},
     "keyword_search": {"word", "documents": [NAME, ...]},
     "word_probe": {"word", "lines", "hits": [{"line", "count"}, ...]},
     "image_searches": [{"query", "results": [{"name", "id", "score"}, ...]}, ...],
     "sound_comparison": {"query", "found": [{"name", "instants": [S, ...],
                                              "span": [FROM, TO]}, ...]}}

Lists are in the order the engine prints them; names are file names, words
and names UTF-8.

Only the Python 3 standard library is used and every random draw comes from
one fixed seed, so two runs write byte-identical files. Samples are rounded
to 16-bit steps and pixels to integers, so the bytes do not hang on the last
bit of the platform's math library either. The expected answers are computed
here by replaying the engine's rules (mark stripping, word counting, image
quantisation and histogram intersection, sound windows and sliding scores);
the generator stops with an error if the demo would not show what it is for:
"maison" in several documents with different counts, "milliards" in at least
two, an image query whose source scores highest, and a sound query whose
source, and only it, is detected.
"""

import argparse
import bisect
import json
import math
import os
import random
import struct
import sys

SEED = 20240611

DEMO_ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "demo")
DEMO_ROOT = os.path.normpath(DEMO_ROOT)
CORPUS = os.path.join("EXTERN_FILES", "base_files", "DATA_VELMORANE_DEV")
TEXT_DIR = os.path.join(CORPUS, "Textes")
RGB_DIR = os.path.join(CORPUS, "TEST_RGB")
NB_DIR = os.path.join(CORPUS, "TEST_NB")
SOUND_DIR = os.path.join(CORPUS, "TEST_SON")
QUERY_DIR = "queries"
# The empty directories of a store, beside the corpora and the queries.
STORE_DIRS = [os.path.join("EXTERN_FILES", "database", "base_texte"),
              os.path.join("EXTERN_FILES", "database", "base_image"),
              os.path.join("EXTERN_FILES", "database", "base_son"),
              "INDEXATION", "work"]

# Default configuration of the engine (the file it creates on its first run).
TEXT_THRESHOLD = 3
SAMPLES_PER_WINDOW = 2048
INTERVALS = 40
BITS_NB = 4
BITS_RGB = 3
SAMPLE_RATE = 16000
DETECTION_GAP = 1000

SIZE_LIMIT = 5 * 1024 * 1024


# ---------------------------------------------------------------------------
# Texts
# ---------------------------------------------------------------------------

HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'

TEXTS = [
    ("01_maison_de_campagne.xml", HEAD + """\
<document langue="fr" theme="maison">
<!-- Souvenirs de famille -->
<titre>La maison de campagne</titre>
<auteur>Claire Martin</auteur>
<paragraphe>Au bout du chemin se trouve une vieille maison de pierre. La maison
appartient à notre famille depuis trois générations. Chaque été, nous quittons
la ville pour retrouver la maison, le jardin et le silence de la campagne.</paragraphe>
<paragraphe>Derrière la maison, le jardin descend doucement vers la rivière. Mon
grand-père y a planté des arbres fruitiers : des pommiers, des poiriers et un
cerisier. À l'ombre de l'arbre le plus ancien, une table attend les repas du
dimanche.</paragraphe>
<paragraphe>Le soir, la maison s'endort avec le jardin. On ferme les volets, on
allume le feu dans la cheminée et l'on écoute la pluie tomber sur le toit de la
maison. Rien ne vaut le calme de la campagne.</paragraphe>
</document>
"""),
    ("02_le_jardin_potager.xml", HEAD + """\
<document langue="fr" theme="jardin">
<titre>Le jardin potager</titre>
<paragraphe>Au printemps, le jardin potager demande beaucoup de travail. Il faut
retourner la terre, arracher les mauvaises herbes et préparer les semis de
légumes. Ma voisine prépare son jardin dès le mois de mars, juste à côté de sa
maison.</paragraphe>
<paragraphe>Les légumes poussent mieux au soleil. Les tomates, les courgettes et
les haricots aiment la chaleur ; les salades préfèrent un coin plus frais, près
du mur de la maison. L'arrosage se fait le soir, avec l'eau de pluie recueillie
dans un tonneau.</paragraphe>
<paragraphe>En été, le jardin offre des paniers entiers de légumes. Nous en
donnons aux amis, nous en mettons en conserve, et la cuisine de la maison sent
bon la soupe et les confitures.</paragraphe>
</document>
"""),
    ("03_economie_mondiale.xml", HEAD + """\
<document langue="fr" theme="economie" type="article">
<titre>L'économie mondiale en chiffres</titre>
<paragraphe>Le commerce mondial représente chaque année des milliers de
milliards de dollars. Les échanges entre l'Europe et l'Asie atteignent à eux
seuls plusieurs centaines de milliards d'euros. La croissance de ces échanges
dépend de la demande des ménages et de l'investissement des entreprises.</paragraphe>
<paragraphe>En France, le produit intérieur brut dépasse 2 500 milliards
d'euros. Les exportations pèsent près de 700 milliards d'euros, et les
entreprises du numérique investissent chaque année plus de 10 milliards dans la
recherche.</paragraphe>
<paragraphe>Les économistes surveillent la croissance, l'inflation et le
chômage. Une croissance faible freine l'investissement ; une inflation trop
forte réduit le pouvoir d'achat des ménages.</paragraphe>
</document>
"""),
    ("04_le_budget_de_l_etat.xml", HEAD + """\
<document langue="fr" theme="economie">
<titre>Le budget de l'État</titre>
<paragraphe>Chaque automne, le gouvernement présente au Parlement le projet de
budget pour l'année suivante. Les dépenses de l'État approchent 500 milliards
d'euros, tandis que les recettes fiscales restent inférieures.</paragraphe>
<paragraphe>La différence forme le déficit, financé par l'emprunt. La dette
publique dépasse désormais 3 000 milliards d'euros. Les intérêts de la dette
coûtent à eux seuls plus de 50 milliards par an, autant que le budget de
plusieurs ministères.</paragraphe>
<paragraphe>Réduire la dette demande du temps : il faut maîtriser les dépenses,
soutenir l'activité et voter un budget équilibré.</paragraphe>
</document>
"""),
    ("05_au_bord_de_la_mer.xml", HEAD + """\
<document langue="fr" theme="mer">
<titre>Au bord de la mer</titre>
<paragraphe>Le matin, la plage est presque vide. Les vagues roulent lentement
sur le sable et les mouettes crient au-dessus des bateaux de pêche qui rentrent
au port.</paragraphe>
<paragraphe>Vers midi, les familles arrivent avec leurs parasols. Les enfants
construisent des châteaux de sable, courent vers les vagues et reviennent en
riant. Sur la plage, on entend le bruit régulier de la marée.</paragraphe>
<paragraphe>Le soir, le soleil se couche sur la mer. Les vagues deviennent
dorées, les bateaux allument leurs feux et la plage retrouve son calme.</paragraphe>
</document>
"""),
    ("06_randonnee_en_montagne.xml", HEAD + """\
<document langue="fr" theme="montagne">
<titre>Randonnée en montagne</titre>
<paragraphe>La montagne se mérite. Nous partons avant l'aube, sac au dos, pour
atteindre le sommet avant la chaleur. Le sentier traverse d'abord une forêt de
sapins, puis des pâturages où paissent les vaches.</paragraphe>
<paragraphe>Plus haut, la neige recouvre encore les pentes. Le sentier devient
étroit et la montagne montre son vrai visage : des rochers, de la neige et un
vent froid. Au sommet, la vue s'étend sur toute la vallée.</paragraphe>
<paragraphe>La descente est longue. Le soir, au refuge, on parle du sommet, de la
neige et de la prochaine course en montagne.</paragraphe>
</document>
"""),
    ("07_la_ville_la_nuit.xml", HEAD + """\
<document langue="fr" theme="ville">
<titre>La ville la nuit</titre>
<paragraphe>Quand la nuit tombe, la ville change de visage. Les rues
s'illuminent, les terrasses des cafés se remplissent et le métro transporte les
derniers voyageurs. Depuis la fenêtre de ma maison, je vois les lumières de la
ville.</paragraphe>
<paragraphe>Dans mon quartier, chaque maison a son histoire : ici une maison
d'artiste, là une ancienne boulangerie devenue librairie. Les rues pavées
gardent le souvenir des marchés d'autrefois.</paragraphe>
<paragraphe>Tard dans la nuit, le métro s'arrête et la ville s'endort. Je rentre
à la maison à pied, par les rues désertes.</paragraphe>
</document>
"""),
    ("08_promenade_en_foret.xml", HEAD + """\
<document langue="fr" theme="foret">
<titre>Promenade en forêt</titre>
<paragraphe>En automne, la forêt prend des couleurs magnifiques. Les arbres se
parent de jaune, d'orange et de rouge, et les feuilles craquent sous nos pas.
Les grands chênes de la forêt ont plus de deux cents ans.</paragraphe>
<paragraphe>Nous cherchons des champignons au pied des arbres. Un écureuil saute
d'une branche à l'autre ; au loin, un cerf traverse la clairière. La forêt est
pleine de vie.</paragraphe>
<paragraphe>Sous les arbres, l'air est frais et humide. On revient de la forêt
les bras chargés de feuilles et les paniers remplis de champignons.</paragraphe>
</document>
"""),
    ("09_la_cuisine_du_dimanche.xml", HEAD + """\
<document langue="fr" theme="cuisine">
<titre>La cuisine du dimanche</titre>
<paragraphe>Le dimanche, la cuisine devient le cœur de la famille. Ma
grand-mère sort sa vieille recette de tarte aux pommes, écrite à la main sur un
carnet jauni.</paragraphe>
<paragraphe>Il faut de la farine, du beurre, du sucre et des pommes bien mûres.
On mélange la farine et le beurre du bout des doigts, on ajoute le sucre, puis
on étale la pâte. Les pommes sont coupées en fines lamelles.</paragraphe>
<paragraphe>Pendant la cuisson, une odeur de pommes et de beurre remplit la
cuisine. La recette ne change jamais, et chaque dimanche le dessert disparaît en
quelques minutes.</paragraphe>
</document>
"""),
    ("10_le_marche_immobilier.xml", HEAD + """\
<document langue="fr" theme="economie">
<titre>Le marché immobilier</titre>
<paragraphe>Acheter une maison reste le projet d'une vie pour beaucoup de
ménages. En France, les ventes de logements anciens représentent chaque année
plus de 200 milliards d'euros. Le prix d'une maison varie beaucoup d'une région
à l'autre.</paragraphe>
<paragraphe>Les banques ont accordé l'an dernier près de 190 milliards d'euros
de crédits immobiliers. Avec la hausse des taux, une maison coûte plus cher à
financer, et certains acheteurs préfèrent un appartement en ville.</paragraphe>
<paragraphe>Les aides publiques à la rénovation, environ 3 milliards par an,
aident les propriétaires à isoler leur maison. Une <em>maison</em> bien isolée
consomme moins d'énergie et se revend mieux.</paragraphe>
</document>
"""),
    ("11_les_saisons_au_jardin.xml", HEAD + """\
<document langue="fr" theme="jardin">
<titre>Les saisons au jardin</titre>
<paragraphe>Au printemps, le jardin se réveille : les bourgeons éclatent, les
premières fleurs apparaissent et les oiseaux reviennent construire leurs nids
dans les arbres.</paragraphe>
<paragraphe>L'été apporte la chaleur et les longues soirées. On arrose les
fleurs chaque soir, on taille les arbres fruitiers et l'on cueille les fruits
mûrs. En automne, le jardin se couvre de feuilles mortes qu'il faut ramasser.</paragraphe>
<paragraphe>L'hiver, le jardin se repose sous le givre. Les arbres sont nus, les
fleurs ont disparu, mais on prépare déjà les graines du printemps prochain.</paragraphe>
</document>
"""),
    ("12_voyage_en_train.xml", HEAD + """\
<document langue="fr" theme="voyage">
<titre>Voyage en train</titre>
<paragraphe>Le train quitte la gare à sept heures. Par la fenêtre, les champs et
les villages défilent, et le voyage commence vraiment quand la ville disparaît
derrière nous.</paragraphe>
<paragraphe>Dans le wagon, chacun s'occupe à sa manière : une étudiante lit un
roman, un homme dort, deux enfants regardent le paysage. Le train traverse des
rivières, longe des forêts et ralentit dans chaque gare.</paragraphe>
<paragraphe>À l'arrivée, la gare est pleine de monde. Le voyage a duré quatre
heures, mais le train nous a offert le plus beau des panoramas.</paragraphe>
</document>
"""),
]

TEXT_QUERY = ("requete.xml", HEAD + """\
<requete langue="fr">
<titre>Une maison avec un jardin</titre>
<texte>Nous cherchons une maison à la campagne, avec un grand jardin et quelques
arbres fruitiers. La maison doit être calme ; le jardin doit recevoir le soleil
pour les légumes et les fleurs. Une maison ancienne, un jardin fleuri, de vieux
arbres, des fleurs partout : voilà notre rêve. Sous les arbres, des fleurs.</texte>
</requete>
""")

PUNCTUATION = set(b".,;?!)(:%")
STOP_WORDS = {"dans", "pour", "avec", "elle", "nous", "vous", "sont"}
WHITE = b" \t\n\v\f\r"


def pure_text(data):
    """Drops the marks and punctuation of a text document, as indexing does."""
    out = bytearray()
    inside = past = False
    for c in data:
        if c == ord("<"):
            inside, past = True, False
        elif c == ord(">"):
            inside, past = False, True
        if inside or not past or c == ord(">") or c in PUNCTUATION:
            continue
        out.append(0x20 if c == 0x27 else c)
    return bytes(out)


def relevant(word):
    if word[0] == 0xE0 or len(word) <= 3:
        return False
    return word.decode("utf-8", "replace").lower() not in STOP_WORDS


def descriptor(data, threshold=TEXT_THRESHOLD):
    """The (word, count) entries of a text, in order of first occurrence."""
    tokens = pure_text(data).split()
    counts = {}
    for t in tokens:
        counts[t] = counts.get(t, 0) + 1
    entries, seen = [], set()
    for t in tokens:
        if t not in seen and counts[t] >= threshold and relevant(t):
            seen.add(t)
            entries.append((t.decode("utf-8"), counts[t]))
    return entries


def shared_words(query_entries, doc_entries):
    """Query words found inside one of a document's words."""
    return [q for q, _ in query_entries if any(q in w for w, _ in doc_entries)]


def ordered_for_display(pairs):
    """Order in which the keyword search shows (id, count) hits."""
    ids = [i for i, _ in pairs]
    counts = [c for _, c in pairs]
    n = len(ids)
    for i in range(n):
        for j in range(1, n):
            if counts[i] < counts[j]:
                counts[i], counts[j] = counts[j], counts[i]
                ids[i], ids[j] = ids[j], ids[i]
    if n > 1:
        ids = ids[1:] + ids[:1]
        counts = counts[1:] + counts[:1]
    return list(reversed(list(zip(ids, counts))))


# ---------------------------------------------------------------------------
# Images
# ---------------------------------------------------------------------------

def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else int(v)


def grey_file(pixels):
    lines = ["%d %d 1" % (len(pixels), len(pixels[0]))]
    lines += [" ".join(str(v) for v in row) for row in pixels]
    return ("\n".join(lines) + "\n").encode("ascii")


def colour_file(planes):
    red = planes[0]
    lines = ["%d %d 3" % (len(red), len(red[0]))]
    for plane in planes:
        lines += [" ".join(str(v) for v in row) for row in plane]
    return ("\n".join(lines) + "\n").encode("ascii")


def grey_rings(rng):
    # Concentric rings fading towards the border, like ripples on water.
    h = w = 48
    img = []
    for y in range(h):
        row = []
        for x in range(w):
            r = math.hypot(y - 23.5, x - 23.5)
            v = 128 + 90 * math.cos(r / 2.5) * math.exp(-r / 40) + rng.randint(-6, 6)
            row.append(clamp(round(v)))
        img.append(row)
    return img


def grey_square(rng):
    # A bright square on a dark background lit from the left.
    h, w = 40, 56
    img = []
    for y in range(h):
        row = []
        for x in range(w):
            v = 20 + x * 60 // w + rng.randint(-4, 4)
            if 10 <= y < 30 and 18 <= x < 38:
                v = 215 + rng.randint(-8, 8)
            row.append(clamp(v))
        img.append(row)
    return img


def grey_gradient(rng):
    # A diagonal gradient from black to white.
    h = w = 64
    return [[clamp((x + y) * 255 // (h + w - 2) + rng.randint(-3, 3))
             for x in range(w)] for y in range(h)]


def grey_stripes(rng):
    # Vertical stripes with soft edges.
    h, w = 32, 48
    img = []
    for y in range(h):
        row = []
        for x in range(w):
            v = 120 + 80 * math.sin(2 * math.pi * x / 12) + rng.randint(-5, 5)
            row.append(clamp(round(v)))
        img.append(row)
    return img


def rgb_rainbow(rng):
    # Bands of a rainbow across a pale blue sky.
    h, w = 40, 64
    bands = [(230, 40, 40), (240, 140, 30), (240, 220, 40), (60, 180, 70),
             (50, 110, 220), (120, 60, 180)]
    planes = [[[0] * w for _ in range(h)] for _ in range(3)]
    for y in range(h):
        for x in range(w):
            r = math.hypot(y - 46.0, x - 31.5)
            k = int((r - 22) // 3)
            if 0 <= k < len(bands):
                colour = bands[len(bands) - 1 - k]
            else:
                colour = (150 + y, 190 + y // 2, 240)
            for c in range(3):
                planes[c][y][x] = clamp(colour[c] + rng.randint(-5, 5))
    return planes


def rgb_sunset(rng):
    # A sky from orange to purple, a yellow sun, a dark sea below.
    h, w = 48, 64
    planes = [[[0] * w for _ in range(h)] for _ in range(3)]
    for y in range(h):
        for x in range(w):
            if y < 32:
                t = y / 31
                colour = (250 - 110 * t, 150 - 110 * t, 60 + 80 * t)
                if (y - 26) ** 2 + (x - 40) ** 2 <= 64:
                    colour = (255, 225, 90)
            else:
                t = (y - 32) / 15
                colour = (40 - 20 * t, 40 - 20 * t, 90 - 30 * t)
                if abs(x - 40) < 6 - (y - 32) // 3 and y % 2 == 0:
                    colour = (230, 170, 70)
            for c in range(3):
                planes[c][y][x] = clamp(round(colour[c]) + rng.randint(-4, 4))
    return planes


def rgb_red_disc(rng):
    # A red ball on grass, the grass darker towards the bottom.
    h = w = 48
    planes = [[[0] * w for _ in range(h)] for _ in range(3)]
    for y in range(h):
        for x in range(w):
            d2 = (y - 22) ** 2 + (x - 25) ** 2
            if d2 <= 14 ** 2:
                shade = 1 - d2 / (14 ** 2) * 0.35
                colour = (220 * shade, 30 * shade, 35 * shade)
            else:
                colour = (70 - y // 2, 160 - y, 50)
            for c in range(3):
                planes[c][y][x] = clamp(round(colour[c]) + rng.randint(-6, 6))
    return planes


def rgb_mosaic(rng):
    # Tiles of a few colours, like a mosaic floor.
    h = w = 48
    palette = [(200, 60, 50), (240, 200, 80), (40, 90, 160), (230, 230, 220),
               (90, 60, 40)]
    tiles = [[rng.randrange(len(palette)) for _ in range(6)] for _ in range(6)]
    planes = [[[0] * w for _ in range(h)] for _ in range(3)]
    for y in range(h):
        for x in range(w):
            if y % 8 == 0 or x % 8 == 0:
                colour = (60, 60, 60)
            else:
                colour = palette[tiles[y // 8][x // 8]]
            for c in range(3):
                planes[c][y][x] = clamp(colour[c] + rng.randint(-8, 8))
    return planes


def grey_histogram(pixels, bits):
    h = {}
    for row in pixels:
        for v in row:
            q = v >> (8 - bits)
            h[q] = h.get(q, 0) + 1
    return h


def colour_histogram(planes, bits):
    s = 8 - bits
    h = {}
    for rr, gr, br in zip(*planes):
        for r, g, b in zip(rr, gr, br):
            code = ((r >> s) << (2 * bits)) + ((g >> s) << bits) + (b >> s)
            h[code] = h.get(code, 0) + 1
    return h


def intersection(a, b):
    return sum(min(c, b[v]) for v, c in a.items() if v in b)


def percent(common, total):
    return int(100.0 * common / total + 0.5)


# ---------------------------------------------------------------------------
# Sounds
# ---------------------------------------------------------------------------

def to_pcm(samples):
    """Rounds to 16-bit steps, within [-1, 1), as a recording would be."""
    out = []
    for x in samples:
        k = int(round(x * 32768))
        k = -32768 if k < -32768 else 32767 if k > 32767 else k
        out.append(k / 32768)
    return out


def fade(n, i, length=320):
    return min(1.0, i / length, (n - 1 - i) / length)


def tone(seconds, freq=440.0, amp=0.5):
    n = int(seconds * SAMPLE_RATE)
    return [amp * fade(n, i) * math.sin(2 * math.pi * freq * i / SAMPLE_RATE)
            for i in range(n)]


def chirp(seconds, f0=220.0, f1=1760.0, amp=0.6):
    # Exponential sweep: the pitch doubles at a steady pace.
    n = int(seconds * SAMPLE_RATE)
    k = math.log(f1 / f0) / seconds
    out = []
    for i in range(n):
        t = i / SAMPLE_RATE
        phase = 2 * math.pi * f0 * (math.exp(k * t) - 1) / k
        out.append(amp * fade(n, i) * math.sin(phase))
    return out


def bursts(seconds, rng):
    # Gusts of noise of random strength and length over a faint background.
    n = int(seconds * SAMPLE_RATE)
    out = [rng.gauss(0.0, 0.004) for _ in range(n)]
    i = int(0.15 * SAMPLE_RATE)
    while i < n:
        length = int(rng.uniform(0.08, 0.45) * SAMPLE_RATE)
        level = rng.uniform(0.05, 0.3)
        for j in range(min(length, n - i)):
            env = min(1.0, j / 200, (length - j) / 400)
            out[i + j] += level * env * rng.gauss(0.0, 1.0)
        i += length + int(rng.uniform(0.05, 0.3) * SAMPLE_RATE)
    return [max(-0.99, min(0.99, x)) for x in out]


def chord(seconds):
    # A C major chord struck once, dying away with a slow tremolo.
    n = int(seconds * SAMPLE_RATE)
    notes = [(261.63, 0.30), (329.63, 0.22), (392.00, 0.20), (523.25, 0.08)]
    out = []
    for i in range(n):
        t = i / SAMPLE_RATE
        env = min(1.0, t / 0.03) * math.exp(-t / 1.6) * (1 + 0.15 * math.sin(2 * math.pi * 5 * t))
        s = sum(a * math.sin(2 * math.pi * f * t) for f, a in notes)
        out.append(env * fade(n, i) * s)
    return out


def surf(seconds, rng):
    # Waves on a beach: low-passed noise swelling and ebbing.
    n = int(seconds * SAMPLE_RATE)
    out, y = [], 0.0
    for i in range(n):
        t = i / SAMPLE_RATE
        y += 0.08 * (rng.gauss(0.0, 1.0) - y)
        swell = 0.25 + 0.75 * (0.5 - 0.5 * math.cos(2 * math.pi * t / 2.5))
        out.append(0.9 * swell * fade(n, i) * y)
    return out


def float32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def bounds(n):
    a = float32(2.0 / n)
    s = float32(-1.0 - a)
    table = []
    for _ in range(n + 1):
        s = float32(s + a)
        table.append(s)
    return table


def window_matrix(samples, e, table):
    """One row of interval counts per window; a sample out of every interval
    goes to the spare last column."""
    n = len(table) - 1
    rows = [[0] * (n + 1) for _ in range(len(samples) // e + 1)]
    w = 0
    for k, x in enumerate(samples, start=1):
        if k % e == 0:
            w += 1
        i = bisect.bisect_right(table, x) - 1
        rows[w][i if 0 <= i < n else n] += 1
    return rows


def sliding_scores(query, base):
    q = len(query)
    return [sum(sum(min(a, b) for a, b in zip(query[i], base[i + k]))
                for i in range(q))
            for k in range(len(base) - q + 1)]


def detected(scores, q, b):
    if q == b:
        return True
    return any(abs(scores[k] - scores[k + 1]) > DETECTION_GAP
               for k in range(0, len(scores) - 1, 2))


def sound_report(name, scores, q, e):
    step = float32(e / SAMPLE_RATE)
    best, best_k = 0, 0
    for k, s in enumerate(scores):
        if s >= best:
            best, best_k = s, k
    lines, instants = [], []
    for p, s in enumerate(scores):
        if s > best - DETECTION_GAP:
            instants.append(p * step)
            lines.append("Une ressemblance à été trouvée dans %s à l'instant : %fs  \n\n"
                         % (name, p * step))
    span = [best_k * step, (best_k + q) * step]
    lines.append("Trouvé dans %s postiton :  %fs  %fs\n\n" % (name, span[0], span[1]))
    return "".join(lines), best_k, {"name": name, "instants": instants, "span": span}


def sound_file(samples):
    return struct.pack("<%dd" % len(samples), *samples)


# ---------------------------------------------------------------------------
# Writing
# ---------------------------------------------------------------------------

def write_dir(directory, files):
    """Makes the directory hold exactly these files (hidden ones are kept)."""
    os.makedirs(directory, exist_ok=True)
    for name in sorted(os.listdir(directory)):
        path = os.path.join(directory, name)
        if not name.startswith(".") and name not in files and os.path.isfile(path):
            os.remove(path)
    for name, data in files.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


def check(condition, message):
    if not condition:
        sys.exit("gen_demo: " + message)


def main():
    parser = argparse.ArgumentParser(description="Builds the demo data store.")
    parser.add_argument("--root", default=DEMO_ROOT,
                        help="directory of the store (default: demo/ of the source tree)")
    parser.add_argument("--predictions", metavar="FILE",
                        help="also write the expected answers to FILE, as JSON")
    args = parser.parse_args()
    root = os.path.normpath(os.path.abspath(args.root))
    predictions = {}

    rng = random.Random(SEED)
    print("Demo data store in %s\n" % root)

    # Texts.
    texts = {name: body.encode("utf-8") for name, body in TEXTS}
    query_text = TEXT_QUERY[1].encode("utf-8")
    print("Text descriptors (threshold %d):" % TEXT_THRESHOLD)
    docs = []
    for ident, name in enumerate(sorted(texts), start=1):
        entries = descriptor(texts[name])
        docs.append((ident, name, entries))
        predictions.setdefault("text_descriptors", []).append(
            {"id": ident, "name": name, "words": [[w, c] for w, c in entries]})
        print("  %2d %-30s %s" % (ident, name,
                                  " ".join("%s %d" % e for e in entries)))
    q_entries = descriptor(query_text)
    print("  query %s: %s" % (TEXT_QUERY[0], " ".join("%s %d" % e for e in q_entries)))

    print("\nText comparison (last registered first):")
    listed = 0
    compared = {"query": "../queries/" + TEXT_QUERY[0], "documents": []}
    for ident, name, entries in reversed(docs):
        common = shared_words(q_entries, entries)
        if len(common) >= 2:
            listed += 1
            compared["documents"].append({"id": ident, "shared": len(common)})
            print("  document d'id %d a %d mots en commun sur avec votre fichier   (%s: %s)"
                  % (ident, len(common), name, ", ".join(common)))
    check(listed >= 2, "the text query should share two words with several documents")
    predictions["text_comparison"] = compared

    maison = [(ident, dict(e)["maison"]) for ident, _, e in docs if "maison" in dict(e)]
    print("\nKeyword search \"maison\", in display order:")
    shown = []
    for ident, count in ordered_for_display(maison):
        shown.append(docs[ident - 1][1])
        print("  %s (%d occurrences)" % (docs[ident - 1][1], count))
    predictions["keyword_search"] = {"word": "maison", "documents": shown}
    check(len(maison) >= 3 and len({c for _, c in maison}) >= 3,
          "\"maison\" should be kept in several documents with different counts")

    print("\nWord probe \"milliards\":")
    probe = [(ident - 1, dict(e)["milliards"]) for ident, _, e in docs
             if "milliards" in dict(e)]
    for line, count in probe:
        print("  line %d, count %d" % (line, count))
    check(len(probe) >= 2, "\"milliards\" should be kept in at least two documents")
    predictions["word_probe"] = {"word": "milliards", "lines": len(docs),
                                 "hits": [{"line": l, "count": c} for l, c in probe]}

    # Images.
    rgb = {
        "arc_en_ciel.txt": rgb_rainbow(rng),
        "coucher_de_soleil.txt": rgb_sunset(rng),
        "disque_rouge.txt": rgb_red_disc(rng),
        "mosaique.txt": rgb_mosaic(rng),
    }
    nb = {
        "anneaux.txt": grey_rings(rng),
        "carre_blanc.txt": grey_square(rng),
        "degrade.txt": grey_gradient(rng),
        "rayures.txt": grey_stripes(rng),
    }
    # The queries: a source image with a small patch painted over.
    rgb_query = [[row[:] for row in plane] for plane in rgb["disque_rouge.txt"]]
    for y in range(40, 44):
        for x in range(3, 7):
            for c, v in enumerate((40, 70, 200)):
                rgb_query[c][y][x] = v
    nb_query = [row[:] for row in nb["anneaux.txt"]]
    for y in range(2, 7):
        for x in range(40, 45):
            nb_query[y][x] = 250

    ids = {}
    for name in sorted(rgb):
        ids[name] = len(ids)
    for name in sorted(nb):
        ids[name] = len(ids)

    def image_results(title, query_hist, query_pixels, base, hist_of, grey):
        results = []
        for name, img in base.items():
            plane = img if grey else img[0]
            pixels = len(plane) * len(plane[0])
            total = max(query_pixels, pixels) if grey else query_pixels
            results.append((percent(intersection(query_hist, hist_of(img)), total),
                            name))
        results.sort(key=lambda r: (-r[0], ids[r[1]]))
        print("\nImage search %s:" % title)
        for score, name in results:
            print("  Image %s (id %d) : %d %% de ressemblance" % (name, ids[name], score))
        predictions.setdefault("image_searches", []).append(
            {"query": title, "results": [{"name": name, "id": ids[name], "score": score}
                                         for score, name in results]})
        return results

    res = image_results("../queries/requete_rgb.txt",
                        colour_histogram(rgb_query, BITS_RGB), 48 * 48, rgb,
                        lambda img: colour_histogram(img, BITS_RGB), False)
    check(res[0][1] == "disque_rouge.txt" and res[0][0] > res[1][0],
          "the colour query should find its source first")
    res = image_results("../queries/requete_nb.txt",
                        grey_histogram(nb_query, BITS_NB), 48 * 48, nb,
                        lambda img: grey_histogram(img, BITS_NB), True)
    check(res[0][1] == "anneaux.txt" and res[0][0] > res[1][0],
          "the grey query should find its source first")

    # Sounds.
    sounds = {
        "accord.bin": to_pcm(chord(4.0)),
        "glissando.bin": to_pcm(chirp(4.0)),
        "la440.bin": to_pcm(tone(3.0)),
        "rafales.bin": to_pcm(bursts(6.0, rng)),
        "vagues.bin": to_pcm(surf(5.0, rng)),
    }
    e = SAMPLES_PER_WINDOW
    source, first_window, query_rows = "rafales.bin", 20, 8
    # Starting the cut at a multiple of E lines the query's windows up with
    # the source's: query row r >= 1 is source row first_window + r, and
    # query row 0 is source row first_window without its first sample. A
    # length of query_rows * E - 1 samples fills the last row.
    start = first_window * e
    sound_query = sounds[source][start:start + query_rows * e - 1]

    table = bounds(INTERVALS)
    check(float32(table[0]) == float32(-0.99999994) and
          float32(table[INTERVALS]) == float32(1.0000004),
          "the interval bounds are not computed as the engine does")
    q_matrix = window_matrix(sound_query, e, table)
    q = len(q_matrix)
    print("\nSound comparison: engine comparaison son ../queries/requete.bin")
    print("  query: %d samples cut from %s at sample %d (%.3f s), %d windows"
          % (len(sound_query), source, start, start / SAMPLE_RATE, q))
    expected = "Requête : ../queries/requete.bin\n"
    found = []
    reports = []
    for name in sorted(sounds):
        base = window_matrix(sounds[name], e, table)
        scores = sliding_scores(q_matrix, base)
        pairs = [abs(scores[k] - scores[k + 1]) for k in range(0, len(scores) - 1, 2)]
        print("  %-14s %3d windows, best score %5d, largest pair gap %5d"
              % (name, len(base), max(scores) if scores else 0,
                 max(pairs) if pairs else 0))
        if name == source:
            around = range(max(0, first_window - 2), min(len(scores), first_window + 4))
            print("  %-14s scores at windows %d..%d: %s"
                  % ("", around[0], around[-1], " ".join(str(scores[k]) for k in around)))
        if scores and detected(scores, q, len(base)):
            text, best_k, report = sound_report(name, scores, q, e)
            expected += text
            found.append((name, best_k))
            reports.append(report)
    print("\nExpected output of the sound comparison:\n")
    print(expected, end="")
    check(found == [(source, first_window)],
          "the sound query should be found in %s alone, at window %d"
          % (source, first_window))
    predictions["sound_comparison"] = {"query": "../queries/requete.bin", "found": reports}

    # Write everything.
    for directory in STORE_DIRS:
        os.makedirs(os.path.join(root, directory), exist_ok=True)
    write_dir(os.path.join(root, TEXT_DIR), texts)
    write_dir(os.path.join(root, RGB_DIR), {k: colour_file(v) for k, v in rgb.items()})
    write_dir(os.path.join(root, NB_DIR), {k: grey_file(v) for k, v in nb.items()})
    write_dir(os.path.join(root, SOUND_DIR), {k: sound_file(v) for k, v in sounds.items()})
    write_dir(os.path.join(root, QUERY_DIR), {
        TEXT_QUERY[0]: query_text,
        "requete_rgb.txt": colour_file(rgb_query),
        "requete_nb.txt": grey_file(nb_query),
        "requete.bin": sound_file(sound_query),
    })

    total = 0
    print("Files written:")
    for directory in (TEXT_DIR, RGB_DIR, NB_DIR, SOUND_DIR, QUERY_DIR):
        for name in sorted(os.listdir(os.path.join(root, directory))):
            path = os.path.join(root, directory, name)
            size = os.path.getsize(path)
            total += size
            print("  %8d  %s" % (size, os.path.relpath(path, root)))
    print("  %8d  in all" % total)
    check(total < SIZE_LIMIT, "the demo store should stay under 5 MB")

    if args.predictions:
        with open(args.predictions, "w", encoding="utf-8") as f:
            json.dump(predictions, f, ensure_ascii=False, indent=1)
            f.write("\n")


if __name__ == "__main__":
    main()
