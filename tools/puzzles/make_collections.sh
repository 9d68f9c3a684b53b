#!/bin/sh
# Makes the shipped collections in puzzles/ with qgen. Deterministic: the same
# seeds give the same files.
#   tools/puzzles/make_collections.sh BUILD_DIR
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
qgen="$1/tools/puzzles/qgen"
out="$root/puzzles"
gen() { "$qgen" --verify "$@"; }

{
    gen --size 5x5 --grade 1 --count 10 --seed 1001 --symmetric
    gen --size 5x5 --grade 2 --count 5 --seed 1101
    gen --size 7x7 --grade 1 --count 10 --seed 1201
    gen --size 7x7 --grade 2 --count 5 --seed 1301
} > "$out/01_first_steps.dat"

{
    gen --size 7x7 --grade 2 --count 10 --seed 2001 --symmetric
    gen --size 10x10 --grade 1 --count 10 --seed 2101
    gen --size 10x10 --grade 2 --count 10 --seed 2201 --symmetric
} > "$out/02_warming_up.dat"

{
    gen --size 10x10 --grade 2 --count 10 --seed 3001
    gen --size 12x12 --grade 2 --count 10 --seed 3101 --symmetric
    gen --size 10x10 --grade 3 --count 10 --seed 3201
} > "$out/03_getting_serious.dat"

{
    gen --size 15x15 --grade 2 --count 10 --seed 4001 --symmetric
    gen --size 12x12 --grade 3 --count 10 --seed 4101
    gen --size 15x15 --grade 3 --count 10 --seed 4201 --symmetric
} > "$out/04_hard.dat"

{
    gen --size 20x15 --grade 3 --count 10 --seed 5001
    gen --size 20x20 --grade 2 --count 10 --seed 5101 --symmetric
    gen --size 20x20 --grade 3 --count 10 --seed 5201
} > "$out/05_expert.dat"

{
    gen --size 25x20 --grade 2 --count 10 --seed 6001 --symmetric
    gen --size 30x20 --grade 2 --count 10 --seed 6101
    gen --size 30x20 --grade 3 --count 10 --seed 6201
} > "$out/06_marathon.dat"

{
    gen --size 30x30 --grade 2 --count 10 --seed 7001
    gen --size 35x30 --grade 3 --count 10 --seed 7101
    gen --size 40x30 --grade 3 --count 10 --seed 7201
} > "$out/07_long_haul.dat"

# The largest boards a collection line can hold ((W+1) x (H+1) <= 2048).
{
    gen --size 44x44 --grade 2 --count 5 --seed 8001
    gen --size 44x44 --grade 3 --count 5 --seed 8101
    gen --size 62x31 --grade 2 --count 5 --seed 8201
    gen --size 62x31 --grade 3 --count 5 --seed 8301
} > "$out/08_giants.dat"
