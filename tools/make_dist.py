#!/usr/bin/env python3
"""The one download for quiz authors: enigo-VERSION.zip holding the authoring tool, its guide, a short
LISEZMOI.txt, and each demo quiz as a folder to copy from and as the finished .exe.

    make_dist.py VERSION BUILD_BIN OUT.zip

The same inputs give the same bytes: entries in name order, every time stamp the last commit's (or
SOURCE_DATE_EPOCH), no owner or permission bits from the machine that made it."""
import os
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

README = """Enigo {version} : faire un quiz et y jouer

enigo-auteur.exe fait d'un dossier d'images, de sons (.mp3) ou de vidéos (.avi) un quiz :
un seul fichier .exe à envoyer aux joueurs, qui n'ont rien à installer.

1. Mettez vos images dans un dossier. Nommez chaque image d'après sa réponse :
   tour-eiffel.jpg attend la réponse TOUR EIFFEL.
2. Faites glisser le dossier sur enigo-auteur.exe.
3. Le quiz (le nom du dossier suivi de .exe) apparaît à côté du dossier. Double-cliquez dessus.

Le dossier reçoit aussi quiz.txt : modifiez-le (titre, codes, textes), puis recommencez l'étape 2.
Tout est expliqué dans guide-auteur.txt.

Le dossier exemples contient chaque quiz de démonstration deux fois : son dossier (quiz.txt et ses
fichiers), que vous pouvez copier et modifier, et le quiz terminé (.exe).

Sous Linux ou macOS, les quiz et l'outil fonctionnent avec Wine : wine images.exe
"""


def text_for_windows(text):
    """Notepad's form: CRLF line ends and a byte order mark, so the accents read right."""
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    version, bin_dir, out = sys.argv[1:]
    top = "enigo-" + version + "/"
    entries = {
        top + "enigo-auteur.exe": read(os.path.join(bin_dir, "enigo-auteur.exe")),
        top + "guide-auteur.txt": text_for_windows(read(os.path.join(ROOT, "docs", "guide-auteur.md")).decode()),
        top + "LISEZMOI.txt": text_for_windows(README.format(version=version)),
    }
    quizzes = os.path.join(ROOT, "quizzes")
    for name in sorted(os.listdir(quizzes)):
        folder = os.path.join(quizzes, name)
        for file in sorted(os.listdir(folder)):
            entries[top + "exemples/" + name + "/" + file] = read(os.path.join(folder, file))
        entries[top + "exemples/" + name + ".exe"] = read(os.path.join(bin_dir, "enigo-" + name + ".exe"))

    stamp = os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True, text=True, check=True).stdout.strip()
    date_time = time.gmtime(max(int(stamp), 315532800))[:6]  # zip dates start in 1980
    temporary = out + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # DOS: no Unix owner or permission bits
            archive.writestr(info, entries[name], compresslevel=9)
    os.replace(temporary, out)


if __name__ == "__main__":
    main()
