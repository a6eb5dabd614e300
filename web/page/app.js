// The search page. Every name or text that comes from the store is put in
// the page with textContent, never parsed as HTML.
"use strict";

const $ = (id) => document.getElementById(id);
let fichier = null;  // the chosen query file

function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function nombre(x, chiffres) {
  return typeof x === "number" ? x.toFixed(chiffres) : "?";
}

// Fetches JSON; a reply that is not 2xx becomes an Error with the server's
// message.
async function json(url, options) {
  const reponse = await fetch(url, options);
  let corps = null;
  try { corps = await reponse.json(); } catch (e) { corps = null; }
  if (!reponse.ok) {
    const message = corps && corps.error ? corps.error : "erreur " + reponse.status;
    const erreur = new Error(message);
    erreur.status = reponse.status;
    throw erreur;
  }
  return corps;
}

function signaler(cible, message, erreur) {
  cible.textContent = message;
  cible.classList.toggle("erreur", !!erreur);
}

// --- State of the store and indexation ---------------------------------

async function lireEtat() {
  try {
    const etat = await json("/api/etat");
    const absents = ["texte", "image", "son"].filter((m) => etat.classement && !etat.classement[m]);
    let texte = "Magasin " + etat.store + " : " + etat.texte + " textes, " + etat.image + " images, " +
        etat.son + " sons indexés.";
    if (absents.length) texte += " Classement pas encore disponible pour : " + absents.join(", ") + ".";
    signaler($("etat"), texte, false);
  } catch (e) {
    signaler($("etat"), "État illisible : " + e.message, true);
  }
}

async function indexer() {
  const bouton = $("indexer");
  bouton.disabled = true;
  signaler($("indexation"), "Indexation en cours…", false);
  try {
    const r = await json("/api/indexation", { method: "POST" });
    const partie = (m, mot) => r[m].count + " " + mot + " (" + nombre(r[m].seconds, 2) + " s)";
    signaler($("indexation"), "Indexation terminée : " + partie("texte", "textes") + ", " +
        partie("image", "images") + ", " + partie("son", "sons") + ".", false);
  } catch (e) {
    signaler($("indexation"), "Indexation impossible : " + e.message, true);
  }
  bouton.disabled = false;
  lireEtat();
}

// --- Query file ----------------------------------------------------------

// Texts are .xml or .txt, sounds .bin; an image is a .txt file whose first
// line holds three integers (lines, columns, components).
async function deviner(f) {
  const nom = f.name.toLowerCase();
  if (nom.endsWith(".bin")) return "son";
  if (nom.endsWith(".txt")) {
    const debut = await f.slice(0, 256).text();
    const ligne = debut.split(/\r?\n/)[0].trim();
    if (/^[+-]?\d+\s+[+-]?\d+\s+[+-]?\d+$/.test(ligne)) return "image";
  }
  return "texte";
}

async function choisir(f) {
  if (!f) return;
  fichier = f;
  const support = await deviner(f);
  $("support").value = support;
  $("fichier-choisi").textContent = "Fichier : " + f.name + " (" + f.size + " octets), support deviné : " +
      support + ".";
  $("classer").disabled = false;
  classer();
}

async function classer() {
  if (!fichier) return;
  const support = $("support").value;
  const max = Math.max(0, parseInt($("max").value, 10) || 0);
  const liste = $("resultats");
  liste.replaceChildren();
  signaler($("verdict"), "Classement en cours…", false);
  $("verdict").classList.remove("trouve");
  $("requete").textContent = "";
  const url = "/api/classement/" + support + "?max=" + max + "&nom=" + encodeURIComponent(fichier.name);
  try {
    const r = await json(url, {
      method: "POST", body: fichier, headers: { "Content-Type": "application/octet-stream" },
    });
    afficherClassement(r);
  } catch (e) {
    signaler($("verdict"), e.message, true);
  }
}

function afficherClassement(r) {
  $("requete").textContent = "Requête : " + r.query + " (" + r.medium + ")";
  const v = r.verdict;
  const verdict = $("verdict");
  if (v.match) {
    let texte = "Source trouvée : " + v.name + " (id " + v.id + ")";
    if (typeof v.offset_s === "number") texte += " à " + nombre(v.offset_s, 3) + " s";
    texte += ", confiance " + nombre(v.confidence, 2);
    signaler(verdict, texte, false);
    verdict.classList.add("trouve");
  } else {
    signaler(verdict, "Aucune correspondance sûre (confiance " + nombre(v.confidence, 2) + ").", false);
  }
  if (!r.results.length) {
    $("resultats").append(element("li", "carte", "Aucun résultat."));
    return;
  }
  for (const res of r.results) $("resultats").append(carte(r.medium, res));
}

function carte(support, res) {
  const li = element("li", "carte " + support);
  li.dataset.id = res.id;
  const entete = element("div", "entete");
  entete.append(element("span", "rang", res.rank + "."), element("span", "nom", res.name),
      element("span", "score", "score " + nombre(res.score, 3)));
  li.append(entete);
  if (support === "image") {
    const img = element("img", "vignette");
    img.alt = res.name;
    img.src = "/api/media/image/" + res.id + ".png";
    li.append(img);
  } else if (support === "son") {
    lecteur(li, res);
  } else {
    const extrait = element("p", "extrait", "…");
    li.append(extrait);
    premieresLignes(res.id, extrait);
  }
  return li;
}

// A sound: its player, started at the found time, and its waveform with a
// mark there (a click on the waveform moves the player).
function lecteur(li, res) {
  const debut = typeof res.offset_s === "number" ? res.offset_s : 0;
  if (typeof res.offset_s === "number") li.querySelector(".entete").append(element("span", "instant", "à " + nombre(debut, 3) + " s"));
  const audio = element("audio");
  audio.controls = true;
  audio.preload = "metadata";
  audio.src = "/api/media/son/" + res.id + ".wav";
  audio.addEventListener("loadedmetadata", () => { audio.currentTime = debut; }, { once: true });
  const onde = element("canvas", "onde");
  onde.width = 800;
  onde.height = 80;
  onde.setAttribute("aria-label", "forme d'onde, marque à " + nombre(debut, 3) + " s");
  li.append(audio, onde);
  dessinerOnde(onde, audio.src, debut).catch(() => {});
  onde.addEventListener("click", (ev) => {
    const duree = audio.duration;
    if (!isFinite(duree)) return;
    const rect = onde.getBoundingClientRect();
    audio.currentTime = duree * (ev.clientX - rect.left) / rect.width;
  });
}

async function dessinerOnde(canvas, url, instant) {
  const donnees = await (await fetch(url)).arrayBuffer();
  if (donnees.byteLength < 44) return;
  const echantillons = new Int16Array(donnees, 44, Math.floor((donnees.byteLength - 44) / 2));
  const ctx = canvas.getContext("2d");
  const l = canvas.width, h = canvas.height;
  ctx.clearRect(0, 0, l, h);
  ctx.fillStyle = "#1d5fa8";
  const pas = Math.max(1, Math.floor(echantillons.length / l));
  for (let x = 0; x < l; x++) {
    let min = 0, max = 0;
    const fin = Math.min(echantillons.length, (x + 1) * pas);
    for (let i = x * pas; i < fin; i++) {
      const v = echantillons[i];
      if (v < min) min = v;
      if (v > max) max = v;
    }
    const haut = (1 - max / 32768) * h / 2, bas = (1 - min / 32768) * h / 2;
    ctx.fillRect(x, haut, 1, Math.max(1, bas - haut));
  }
  const duree = echantillons.length / 16000;
  if (duree > 0) {
    const x = Math.min(l - 2, Math.round(instant / duree * l));
    ctx.fillStyle = "#c62828";
    ctx.fillRect(x, 0, 2, h);
  }
}

async function premieresLignes(id, cible, combien = 4) {
  try {
    const reponse = await fetch("/api/media/texte/" + id);
    if (!reponse.ok) throw new Error();
    const lignes = (await reponse.text()).split(/\r?\n/).map((s) => s.trim()).filter((s) => s.length);
    cible.textContent = lignes.slice(0, combien).join("\n");
  } catch (e) {
    cible.textContent = "(texte illisible)";
  }
}

// --- Keyword search ------------------------------------------------------

async function chercherMot(ev) {
  ev.preventDefault();
  const mot = $("mot").value.trim();
  const liste = $("mot-resultats");
  liste.replaceChildren();
  if (!mot) return;
  signaler($("mot-bilan"), "Recherche en cours…", false);
  try {
    const r = await json("/api/recherche?mot=" + encodeURIComponent(mot));
    signaler($("mot-bilan"), r.results.length
        ? "« " + r.mot + " » : " + r.results.length + " document(s), du plus grand nombre d'occurrences au plus petit."
        : "« " + r.mot + " » : mot non trouvé.", false);
    for (const res of r.results) {
      const li = element("li");
      li.dataset.id = res.id;
      const entete = element("div", "entete");
      const nom = res.name === null ? "(document d'id " + res.id + " absent de la liste)" : res.name;
      const voir = element("button", "voir nom", nom);
      voir.type = "button";
      entete.append(voir, element("span", "score", res.count + " occurrence(s)"));
      const extrait = element("p", "extrait");
      extrait.hidden = true;
      voir.addEventListener("click", () => {
        extrait.hidden = !extrait.hidden;
        if (!extrait.hidden && !extrait.textContent) premieresLignes(res.id, extrait, 60);
      });
      li.append(entete, extrait);
      liste.append(li);
    }
  } catch (e) {
    signaler($("mot-bilan"), e.message, true);
  }
}

// --- Wiring --------------------------------------------------------------

$("indexer").addEventListener("click", indexer);
$("fichier").addEventListener("change", (ev) => choisir(ev.target.files[0]));
$("classer").addEventListener("click", classer);
$("support").addEventListener("change", classer);
$("form-mot").addEventListener("submit", chercherMot);
const depot = $("depot");
depot.addEventListener("dragover", (ev) => { ev.preventDefault(); depot.classList.add("survol"); });
depot.addEventListener("dragleave", () => depot.classList.remove("survol"));
depot.addEventListener("drop", (ev) => {
  ev.preventDefault();
  depot.classList.remove("survol");
  if (ev.dataTransfer.files.length) choisir(ev.dataTransfer.files[0]);
});
lireEtat();
