#!/bin/sh
# Makes the shipped collections in puzzles/ with qgen. Deterministic: the same
# seeds give the same files.
#   tools/puzzles/make_collections.sh BUILD_DIR [NAME]
# With NAME (say 01_first_steps) that one collection goes to standard output
# instead.
#
# Each collection climbs: its lines are ordered by rising score (qgen --sort)
# and carry the rated difficulty, 1 to 5. The first holds only puzzles the
# basic rules solve (1), the second adds gentle pair deductions (2); the
# longer chains (3) and the lookahead (4, 5) come later. At least half of the
# puzzles of every collection have a symmetric clue layout.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
qgen="$1/tools/puzzles/qgen"
gen() { "$qgen" --verify "$@"; }

c01_first_steps() {
    gen --size 5x5 --grade 1 --count 10 --seed 1001 --symmetric
    gen --size 7x7 --grade 1 --count 10 --seed 1201
    gen --size 7x7 --grade 1 --count 10 --seed 1301 --symmetric
}

# Gentle pair deductions come on small boards: a 10 x 10 board that needs
# pair deductions mostly needs many.
c02_warming_up() {
    gen --size 7x7 --grade 2 --count 10 --seed 2001 --symmetric --difficulty 2
    gen --size 7x7 --grade 2 --count 5 --seed 2301 --difficulty 2
    gen --size 10x10 --grade 1 --count 10 --seed 2101
    gen --size 10x10 --grade 1 --count 5 --seed 2201 --symmetric
}

c03_getting_serious() {
    gen --size 10x10 --grade 2 --count 10 --seed 3001
    gen --size 12x12 --grade 2 --count 10 --seed 3101 --symmetric
    gen --size 10x10 --grade 3 --count 10 --seed 3201 --symmetric
}

c04_hard() {
    gen --size 15x15 --grade 2 --count 10 --seed 4001 --symmetric
    gen --size 12x12 --grade 3 --count 10 --seed 4101
    gen --size 15x15 --grade 3 --count 10 --seed 4201 --symmetric
}

c05_expert() {
    gen --size 20x15 --grade 3 --count 10 --seed 5001 --symmetric
    gen --size 20x20 --grade 2 --count 10 --seed 5101 --symmetric
    gen --size 20x20 --grade 3 --count 10 --seed 5201
}

c06_marathon() {
    gen --size 25x20 --grade 2 --count 10 --seed 6001 --symmetric
    gen --size 30x20 --grade 2 --count 10 --seed 6101 --symmetric
    gen --size 30x20 --grade 3 --count 10 --seed 6201
}

c07_long_haul() {
    gen --size 30x30 --grade 2 --count 10 --seed 7001 --symmetric
    gen --size 35x30 --grade 3 --count 5 --seed 7101 --symmetric
    gen --size 35x30 --grade 3 --count 5 --seed 7151
    gen --size 40x30 --grade 3 --count 10 --seed 7201
}

# The largest boards a collection line can hold ((W+1) x (H+1) <= 2048).
c08_giants() {
    gen --size 44x44 --grade 2 --count 5 --seed 8001 --symmetric
    gen --size 44x44 --grade 3 --count 5 --seed 8101
    gen --size 62x31 --grade 2 --count 5 --seed 8201 --symmetric
    gen --size 62x31 --grade 3 --count 5 --seed 8301
}

make() {
    lines=$(mktemp)
    trap 'rm -f "$lines"' EXIT
    "c$1" > "$lines"
    "$qgen" --sort < "$lines"
}

if [ -n "$2" ]; then
    make "$2"
    exit
fi
for name in 01_first_steps 02_warming_up 03_getting_serious 04_hard 05_expert 06_marathon \
    07_long_haul 08_giants; do
    make "$name" > "$root/puzzles/$name.dat.new"
    mv "$root/puzzles/$name.dat.new" "$root/puzzles/$name.dat"
done
