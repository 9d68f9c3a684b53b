#!/usr/bin/env bash
# Static analysis with clang-tidy (.clang-tidy): the portable code against the
# native build's compile commands, the Windows layer against the mingw
# build's, with the cross compiler's own include folders. Expects both builds
# to be configured (run-tests.sh does that). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

portable=$(ls board/*.cpp store/*.cpp glyphs/*.cpp screen/*.cpp dialogs/*.cpp app/*.cpp app/web/web_window_system.cpp app/web/file_names.cpp)
printf '%s\n' $portable | xargs -P "$jobs" -n 4 clang-tidy -p build/native --quiet

# clang knows the target but not where the mingw-w64 C++ library lives: ask
# the cross compiler for its C++ folders.
cross="$(grep -m1 -o '"command": "[^ ]*' build/mingw/compile_commands.json | cut -d'"' -f4)"
extra=(--extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do
    extra+=("--extra-arg=-isystem$dir")
done < <(echo | "$cross" -E -x c++ - -v 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search/p' | grep '^ /' |
         sed 's/^ //' | grep -v -E '/include(-fixed)?$' || true)
# The mingw-w64 headers themselves (GCC's own intrinsics headers are left to
# clang's).
extra+=("--extra-arg=-isystem/usr/x86_64-w64-mingw32/include")
clang-tidy -p build/mingw --quiet "${extra[@]}" app/win32/*.cpp
echo "clang-tidy: no findings"
