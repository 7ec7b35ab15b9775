#!/usr/bin/env python3
"""The real player under Wine on damaged quiz resources, pictures and progress files, made from a fixed seed:
each shows exactly the messages it may (or none), then its window, and exits with 0 when closed; saving into a
read-only file or folder leaves the old file and no temporary file.
  damaged_test.py PLAYER.exe PROBE.exe   (PLAYER carries no quiz; Wine set up by the caller)"""
import os, random, re, shutil, subprocess, sys, tempfile, zlib

player, probe = map(os.path.abspath, sys.argv[1:3])
rng = random.Random(14)
rand = lambda n: bytes(rng.randrange(256) for _ in range(n))


def lzw(data):  # literal codes only, with a reset before the dictionary fills: a stream the decoder must take
    codes = [data[0]] + [c for i, b in enumerate(data[1:], 1) for c in ([258] if i % 3000 == 0 else []) + [b]]
    bits = "".join(format(c, "09b") for c in codes + [256])
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def flip(data, count):  # bits flipped at seeded places
    data = bytearray(data)
    for _ in range(count):
        data[rng.randrange(len(data))] ^= 1 << rng.randrange(8)
    return bytes(data)


def quiz(media=2, count=1, answers=1, body=b"PARIS|C|", tail=b"\0\x0a\x14\x1e"):  # texts of resource 104
    return bytes([0, media, count, answers]) + b"Titre|Auteur|Explication|L1|L2|" + body + tail


def chunk(name, data):
    return len(data).to_bytes(4, "big") + name + data + zlib.crc32(name + data).to_bytes(4, "big")


def png(width=40, height=30, rows=None):  # 8-bit colour
    rows = rows or b"".join(b"\0" + rand(width * 3) for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", width.to_bytes(4, "big") + height.to_bytes(4, "big") +
            b"\x08\x02\0\0\0") + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def restored(values):  # the file that 192 fields filled from one-byte lines save again: a NUL ends a text
    return b"".join(bytes([b]).strip(b"\0") + b"\r\n" for b in values) + b"\r\n" * (192 - len(values))


good, codes, picture = lzw(quiz()), lzw(b"UN\r\n"), png()
big = {("PATCH", 104): lzw(quiz(count=96, answers=2, body=b"x|y|c|" * 96)), ("PATCH", 105): lzw(b"C\r\n" * 96)}
every = [[b for b in range(start, start + 128) if b not in b"\r\n"] for start in (0, 128)]
M104, D104, D105 = (re.escape(b"Enigo|" + text) for text in (
    b"Reponses non trouv\xe9es", b"Erreur dans le d\xe9cryptage des reponses", b"Erreur dans le d\xe9cryptage des codes"))
PNG = b"(APPNAME\\|Error: couldn't (decode PNG resource|create bitmap))?"
# name, resources {(type, id): bytes}, progress file, messages (a pattern), what the progress file holds after
cases = [("104 missing", {("PATCH", 105): codes}, None, M104, None)]
cases += [(f"104 random {n}", {("PATCH", 104): rand(n)}, None, D104, None) for n in (1, 2, 100, 5000)]
cases += [(f"104 flips {n}", {("PATCH", 104): flip(good, n), ("PATCH", 105): codes}, None, b"(%s)?" % D104, None)
          for n in (1, 3, 20)]
cases += [(f"104 cut {n}", {("PATCH", 104): good[:n]}, None, D104, None) for n in (1, len(good) // 2, len(good) - 1)]
cases += [(name, {("PATCH", 104): lzw(record), ("PATCH", 105): lzw(b"C\r\n" * count)}, None, expected, None)
          for name, record, count, expected in [
              ("255 empty questions", quiz(count=255, body=b"||" * 255), 96, b""),
              ("5000-byte text", quiz(body=b"PARIS|" + b"C" * 5000 + b"|"), 1, b""),
              ("unknown kind, counts", quiz(media=9, count=7, answers=5, body=b"a|c|" * 7), 7, b""),
              ("ends in a reveal text", quiz(tail=b"\2Tout rond"), 1, D104),
              ("96 empty video questions", quiz(media=4, count=96, body=b"||" * 96), 96, b"")]]
cases += [(name, {("PATCH", 104): good, ("PATCH", 105): code}, None, D105, None) for name, code in [
    ("105 random", rand(300)), ("105 cut", lzw(b"UN\r\n" * 40)[:30]), ("105 endless", lzw(b"A" * 100000))]]
cases += [(name, {("PATCH", 104): good, ("PATCH", 105): codes, (kind, 401): data}, None, expected, None)
          for name, kind, data, expected in [
              ("png flips 1", "10", flip(picture, 1), PNG), ("png flips 8", "10", flip(picture, 8), PNG),
              ("png flips 64", "10", flip(picture, 64), PNG), ("png cut", "10", picture[:len(picture) // 2], PNG),
              ("png cut in IDAT", "10", picture[:60], PNG), ("png random after signature", "10", picture[:8] + rand(300), b""),
              ("png 65535 x 65535", "10", png(65535, 65535, b"\0" * 1000), PNG),
              ("jpeg APP0 then garbage", "IMG", b"\xff\xd8\xff\xe0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0" + rand(2000), b""),
              ("jpeg SOF0 then garbage", "IMG", b"\xff\xd8\xff\xc0\0\x11\x08\0\x1e\0\x28\3" + rand(2000), b"")]]
cases += [(name, big, progress, b"", saved) for name, progress, saved in [
    ("100 KB of random bytes", rand(100000), None), ("50000 empty lines", b"\r\n" * 50000, restored([])),
    ("one 200000-byte line", b"A" * 200000, b"A" * 259 + b"\r\n" * 192),
    ("NULs and lone CRs", b"a\0b\rc\r\rd\r\n\0\r\n\r\r\n", restored([ord("a")])),
    ("every byte 0-127", b"".join(bytes([b]) + b"\r\n" for b in every[0]), restored(every[0])),
    ("every byte 128-255", b"".join(bytes([b]) + b"\r\n" for b in every[1]), restored(every[1])),
    ("read-only file", b"old\r\n", b"old\r\n"), ("read-only folder", b"old\r\n", b"old\r\n")]]

failed = 0
for name, resources, progress, expected, saved in cases:
    work = tempfile.mkdtemp(prefix="enigo-damaged-")
    exe, text = os.path.join(work, "q.exe"), os.path.join(work, "q.txt")
    shutil.copy(player, exe)
    wine = lambda *a, **k: subprocess.run(["wine", probe, *a], cwd=work, stderr=subprocess.DEVNULL, **k)
    for (kind, rid), data in resources.items():
        open(exe + ".bin", "wb").write(data)
        wine("resource", exe, kind, str(rid), exe + ".bin", check=True)
    if progress is not None:
        open(text, "wb").write(progress)
    if name == "read-only file":
        os.chmod(text, 0o444)
    elif name == "read-only folder":  # root writes into a folder whatever its mode, not into an immutable one
        os.chmod(work, 0o555), subprocess.run(["chattr", "+i", work], stderr=subprocess.DEVNULL)
        if subprocess.run(["touch", work + "/w"], stderr=subprocess.DEVNULL).returncode == 0:
            print("skip " + name + ": this file system lets root write into any folder")
            os.remove(work + "/w"), os.chmod(work, 0o755), shutil.rmtree(work)
            continue
    with tempfile.TemporaryFile() as out:  # a file, not a pipe: the quiz inherits it and would hold a pipe open
        wine("start", exe, stdout=out), out.seek(0)
        shown = out.read().replace(b"\r\n", b"\n").split(b"\n")
    window = shown.pop()
    closed = wine("close", env=dict(os.environ, ENIGO_PROBE_WINDOW=window.decode()), stdout=subprocess.PIPE).stdout
    subprocess.run(["chattr", "-i", work], stderr=subprocess.DEVNULL), os.chmod(work, 0o755)
    after = open(text, "rb").read() if os.path.exists(text) else None
    problems = [f"messages {shown}"] if not re.fullmatch(expected, b"\n".join(shown)) else []
    problems += [f"window {window!r}, exit {closed!r}"] if not window.isdigit() or closed != b"0" else []
    problems += [f"progress file {after[:80]!r}"] if saved is not None and after != saved else []
    problems += ["temporary file left"] if os.path.exists(text + ".tmp") else []
    print(("FAIL " if problems else "ok   ") + name, *problems, flush=True)
    failed += bool(problems)
    shutil.rmtree(work, ignore_errors=True)
print(f"{failed} of {len(cases)} failed")
sys.exit(failed != 0)
