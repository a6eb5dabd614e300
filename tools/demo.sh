#!/usr/bin/env bash
# Sets up and builds the engine, then runs the main job on the demo data store
# shipped in demo/: "indexation", one comparison of each medium, one ranked
# search of each medium, one keyword search (answering 0 to each offer to
# open a document), and the word probe.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target engine wordprobe
engine="$PWD/build/launcher/engine"
root="$PWD"
cd demo/work
run() { echo "\$ engine $*"; "$engine" "$@"; echo; }
run indexation
run comparaison texte ../queries/requete.xml
run comparaison image ../queries/requete_rgb.txt
run comparaison son ../queries/requete.bin
run classement texte ../queries/requete.xml --max 3
run classement texte ../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/03_economie_mondiale.xml --max 3
run classement image ../queries/requete_rgb.txt --max 3
run classement image ../queries/requete_nb.txt --max 3 --json
run classement son ../queries/requete.bin
echo "\$ engine recherche maison"
printf '0\n%.0s' $(seq 50) | "$engine" recherche maison
echo
echo "\$ wordprobe"
"$root/build/wordprobe/wordprobe"
