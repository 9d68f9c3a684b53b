#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets in tests/fuzz/corpus/TARGET/:
#   fuzz_collection  pieces of the shipped collections (puzzles/*.dat) and a
#                    few odd texts (CR LF, 0x1A, NUL, a line past 2047 bytes)
#   fuzz_save_file   save files written by the store itself (through the
#                    save-file target) and damaged copies of them
#   fuzz_bitmap      res/*.bmp, their packed form (the file less its 14-byte
#                    header), and small bitmaps cut from them
#   fuzz_import      shipped puzzles written in both public text forms
# Seeds are named seed-*; the script replaces only those, so the regression
# cases (regress-*, inputs that once failed) stay. Needs python3; builds the
# fuzz preset's save-file target.
set -euo pipefail
cd "$(dirname "$0")/.."

corpus=tests/fuzz/corpus
for target in fuzz_collection fuzz_save_file fuzz_bitmap fuzz_import; do
    mkdir -p "$corpus/$target"
    find "$corpus/$target" -name 'seed-*' -delete
done

cmake --preset fuzz >/dev/null
nice -n 10 cmake --build --preset fuzz --target fuzz_save_file -j 2 >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Save files written by the store itself: the save-file target run on a save
# (QUORRIN_SAVE_COPY has it copy out the save it writes). First on hand-made
# saves of a fresh puzzle of each collection in tests/fuzz/fixtures (no
# records: start-up adds one); then on each save that gave with a game in it
# (random marks, clock, trial state and origin, clear times), and for b.dat
# once renamed easy.dat, which gives saves of two records.
save_seed() { # INPUT SEED-NAME
    TMPDIR="$scratch" QUORRIN_SAVE_COPY="$corpus/fuzz_save_file/seed-$2" \
        build/fuzz/tests/fuzz/fuzz_save_file "$1" >"$scratch/log" 2>&1 || {
        cat "$scratch/log" >&2
        exit 1
    }
}
python3 - "$scratch" <<'EOF'
import os, struct, sys
for name, puzzle in [('easy', p) for p in range(6)] + [('b', 0), ('b', 1)]:
    header = (name + '.dat').encode().ljust(64, b'\0') + struct.pack('<iii', 0, puzzle, -1)
    with open(os.path.join(sys.argv[1], 'in-%s-%d' % (name, puzzle)), 'wb') as f:
        f.write(header.ljust(2136, b'\0'))
EOF
for f in "$scratch"/in-*; do save_seed "$f" "${f#"$scratch"/in-}.sav"; done
for f in "$corpus"/fuzz_save_file/seed-*.sav; do
    for k in 1 2 3; do
        name="${f##*/seed-}"
        python3 - "$f" "$scratch/again" "$name" "$k" <<'EOF'
import random, struct, sys
source, target, name, k = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
random.seed(name + str(k))
d = bytearray(open(source, 'rb').read())
collection = d[:64].split(b'\0')[0].decode()
puzzle = struct.unpack_from('<i', d, 68)[0]
line = open('tests/fuzz/fixtures/' + collection, 'rb').read().split(b'\n')[puzzle].split(b'/')
h, w = (int(line[1]), int(line[2])) if len(line) > 2 else (0, 0)
# Random marks (fewer lines than crosses), none on an edge off the board.
for v in range((w + 1) * (h + 1)):
    right = random.choice([0, 0, 1, 2]) if v % (w + 1) < w else 0
    down = random.choice([0, 0, 1, 2]) if v // (w + 1) < h else 0
    d[88 + v] = 3 * right + down
trial = k - 1  # off, armed, started
origin = random.randrange((w + 1) * h) if trial == 2 and h > 0 else -1
struct.pack_into('<iiii', d, 72, trial, origin, 1, random.randrange(3600))
struct.pack_into('<h', d, 2136 + 4 + 2 * random.randrange(30), random.randrange(1, 3600))
if k == 1 and collection == 'b.dat':
    d[0:64] = b'easy.dat'.ljust(64, b'\0')
open(target, 'wb').write(d)
EOF
        save_seed "$scratch/again" "${name%.sav}-$k.sav"
    done
done

python3 - "$corpus" <<'EOF'
import glob, os, struct, sys

corpus = sys.argv[1]

def put(target, name, data):
    if isinstance(data, str):
        data = data.encode('latin-1')
    with open(os.path.join(corpus, target, 'seed-' + name), 'wb') as f:
        f.write(data)

# Collections.
sizes = {}
lines_of = {}
for path in sorted(glob.glob('puzzles/*.dat')):
    name = os.path.basename(path)[:-4]
    with open(path, 'rb') as f:
        text = f.read()
    lines = text.split(b'\n')
    lines_of[name] = [l for l in lines if l]
    put('fuzz_collection', name + '-head.dat', b'\n'.join(lines[:4]) + b'\n')
    for line in lines:
        if not line:
            continue
        fields = line.split(b'/')
        sizes.setdefault((fields[1], fields[2]), line)
first = sorted(glob.glob('puzzles/*.dat'))[0]
with open(first, 'rb') as f:
    whole = f.read()
put('fuzz_collection', 'whole-first.dat', whole)
for (h, w), line in sorted(sizes.items()):
    put('fuzz_collection', 'one-%sx%s.dat' % (w.decode(), h.decode()), line + b'\n')
some = lines_of[os.path.basename(first)[:-4]][:3]
put('fuzz_collection', 'crlf.dat', b'\r\n'.join(some) + b'\r\n')
put('fuzz_collection', 'lone-cr.dat', some[0] + b'\r' + some[1] + b'\n')
put('fuzz_collection', 'eof-byte.dat', some[0] + b'\n\x1a' + some[1] + b'\n')
put('fuzz_collection', 'nul.dat', some[0][:9] + b'\x00' + some[0][9:] + b'\n' + some[1])
put('fuzz_collection', 'empty-lines.dat', b'\n\n' + some[0] + b'\n\n')
put('fuzz_collection', 'no-final-lf.dat', some[0] + b'\n' + some[1])
put('fuzz_collection', 'thirty-one.dat', (some[0] + b'\n') * 31)
put('fuzz_collection', 'long-line.dat', b'1/40/50/' + b'/'.join([b'.1.2.3' * 10] * 45) + b'\n')
rows = [''.join('0123.'[(r + c) % 5] for c in range(62)) for r in range(31)]
put('fuzz_collection', 'widest.dat', '4/31/62/' + '/'.join(rows) + '\n')
put('fuzz_collection', 'tallest.dat', '1/1023/1/' + '/'.join('3.1.2'[r % 5] for r in range(1023)) + '\n')
# The smallest boards, without clues: a loop around them solves them.
put('fuzz_collection', 'tiny.dat', '1/1/1/.\n1/1/2/..\n1/2/1/./.\n1/1/1/2\n')
put('fuzz_collection', 'odd-fields.dat',
    ' +7/ 2x/0002/3 ./\t.5 2/\n-1/-3/4/0000\n2147483648/99999999999/1/3\n1/2/2/x3y/.1.extra/more\n')

# Damaged copies of a save of the 10 x 7 puzzle.
with open(os.path.join(corpus, 'fuzz_save_file', 'seed-easy-4-1.sav'), 'rb') as f:
    good = f.read()
def damaged(name, at, data):
    put('fuzz_save_file', name + '.sav', good[:at] + data + good[at + len(data):])
damaged('count-too-large', 64, struct.pack('<i', 5))
damaged('count-negative', 64, struct.pack('<i', -1))
damaged('puzzle-outside', 68, struct.pack('<i', 29))
damaged('resume-unknown', 72, struct.pack('<i', 7))
damaged('started-no-origin', 72, struct.pack('<ii', 2, -1))
damaged('origin-off-board', 72, struct.pack('<ii', 2, 10))  # right of a row's last vertex
damaged('clock-negative', 84, struct.pack('<i', -2**31))
damaged('code-too-large', 88 + 5, b'\x09')
damaged('line-off-board', 88 + 10, b'\x06')  # a line right of the last column
damaged('name-without-nul', 0, b'x' * 64)
damaged('collection-missing', 0, b'go')
damaged('time-negative', 2136 + 4, b'\xff\xff')
put('fuzz_save_file', 'no-records.sav', good[:2136])
put('fuzz_save_file', 'short.sav', good[:100])

# Importer: shipped puzzles in both text forms.
def parse(line):
    f = line.decode().split('/')
    h, w = int(f[1]), int(f[2])
    cells = []
    for r in range(h):
        row = f[3 + r] if 3 + r < len(f) else ''
        cells += [-1 if ch == '.' else int(ch) for ch in row[:w]]
    return w, h, cells

def game_id(w, h, cells):
    out, run = '%dx%dt0:' % (w, h), 0
    for c in cells + [None]:
        if c is not None and c < 0:
            run += 1
            continue
        while run > 0:
            n = min(run, 26)
            out += chr(ord('a') + n - 1)
            run -= n
        if c is not None:
            out += str(c)
    return out

def url(w, h, cells):
    out, i, run = 'https://example.invalid/p?loop/%d/%d/' % (w, h), 0, 0
    while i < len(cells):
        c = cells[i]
        i += 1
        if c < 0:
            run += 1
            continue
        while run > 0:
            n = min(run, 20)
            out += chr(ord('g') + n - 1)
            run -= n
        after = 0
        while after < 2 and i < len(cells) and cells[i] < 0:
            after += 1
            i += 1
        out += chr(ord('05a'[after]) + c)
    while run > 0:
        n = min(run, 20)
        out += chr(ord('g') + n - 1)
        run -= n
    return out

for (h, w), line in sorted(sizes.items()):
    w_, h_, cells = parse(line)
    tag = '%dx%d' % (w_, h_)
    put('fuzz_import', 'id-%s.txt' % tag, game_id(w_, h_, cells))
    put('fuzz_import', 'url-%s.txt' % tag, url(w_, h_, cells) + '\n')
for i, text in enumerate(['https://example.org/p?loop/3/4/0123h5cg', '?t/1/1/3/',
                          '5x2t0:a1b2c3a', '2x2t0de:0123', '27x1:z0', '  3x3:0a1b2c3d  \n',
                          '?t/2/2/01.2', '2x2t1:0123', '?t/63/1/z', '80x1:zzzb',
                          # at the limits and one past: 62 columns, 2048 vertices
                          '62x1:zzj', '63x1:zzk', '?t/62/1/zzzh', '?t/63/1/zzzi',
                          '31x63:' + 'z' * 75 + 'c', '31x64:' + 'z' * 76 + 'h']):
    put('fuzz_import', 'case-%d.txt' % i, text)

# Bitmaps: the resources, their packed form, and small bitmaps cut from them.
def read_bmp(path):
    with open(path, 'rb') as f:
        data = f.read()
    at = struct.unpack_from('<I', data, 10)[0]
    w, h = struct.unpack_from('<ii', data, 18)
    stride = (w * 3 + 3) & ~3
    rows = [data[at + y * stride: at + y * stride + w * 3] for y in range(abs(h))]
    if h > 0:
        rows.reverse()  # top row first
    return w, rows

def packed(w, rows, header=40, top_down=False, colours=0, bits=24, compression=0):
    h = len(rows)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bits, compression,
                       0, 2835, 2835, colours, 0)
    info = struct.pack('<I', header) + info[4:] + b'\0' * (header - 40)
    stride = (w * 3 + 3) & ~3
    pixels = b''.join(r + b'\0' * (stride - len(r)) for r in (rows if top_down else rows[::-1]))
    return info + b'\x10\x20\x30\x00' * colours + pixels

def as_file(p, colours=0):
    header = struct.unpack_from('<I', p, 0)[0]
    return b'BM' + struct.pack('<IHHI', 14 + len(p), 0, 0, 14 + header + 4 * colours) + p

for path in sorted(glob.glob('res/*.bmp')):
    name = os.path.basename(path)[:-4]
    with open(path, 'rb') as f:
        data = f.read()
    put('fuzz_bitmap', name + '.bmp', data)
    put('fuzz_bitmap', name + '.packed', data[14:])
    w, rows = read_bmp(path)
    cuts = [('5x3', 5, rows[:3], {}), ('7x2-top-down', 7, rows[4:6], {'top_down': True}),
            ('1x1', 1, rows[:1], {}), ('4x4-v4', 4, rows[:4], {'header': 108}),
            ('3x2-v5', 3, rows[:2], {'header': 124, 'top_down': True}),
            ('6x2-colours', 6, rows[:2], {'colours': 2}),
            ('2x2-8-bit', 2, rows[:2], {'bits': 8}), ('2x2-rle', 2, rows[:2], {'compression': 1})]
    for tag, cw, crows, opts in cuts:
        p = packed(cw, [r[:cw * 3] for r in crows], **opts)
        put('fuzz_bitmap', '%s-%s.packed' % (name, tag), p)
        put('fuzz_bitmap', '%s-%s.bmp' % (name, tag), as_file(p, opts.get('colours', 0)))
EOF

for target in fuzz_collection fuzz_save_file fuzz_bitmap fuzz_import; do
    printf '%-16s %3d files, %s\n' "$target" "$(find "$corpus/$target" -type f | wc -l)" \
        "$(du -sh "$corpus/$target" | cut -f1)"
done
