#!/usr/bin/env bash
# The layer check in a copy of the tree: the copy builds src/os/ and src/formats/
# and passes; then one file planted in each, including what its layer may not (through
# "..", through an include path, a system header, a Qt header), fails the build, and the
# message names each include.
#   plant-violations.sh <source folder> <scratch folder> <C++ compiler> [launcher]
set -euo pipefail
source_dir=$1
scratch=$2
compiler=$3
launcher=${4:-}

rm -rf "$scratch"
mkdir -p "$scratch/tree"
cp -r "$source_dir"/CMakeLists.txt "$source_dir"/cmake "$source_dir"/src "$source_dir"/data \
      "$source_dir"/translations "$scratch/tree"/
tree=$scratch/tree
build=$scratch/build
cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
      ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher"} \
      -DTRACKMILL_TESTS=OFF -DTRACKMILL_BENCH=OFF >"$scratch/configure.log" 2>&1 \
  || { cat "$scratch/configure.log"; exit 1; }

targets=(--target tm_os_layers tm_formats_layers)
if ! cmake --build "$build" -j2 "${targets[@]}" >"$scratch/clean.log" 2>&1; then
  cat "$scratch/clean.log"
  echo "FAILED: the clean copy did not pass the layer check" >&2
  exit 1
fi

# The platform ground may call the system, but it is checked like every layer for our
# folders.
cat >"$tree/src/os/Planted.cpp" <<'EOF'
#include "formats/ID3v1.h"
EOF
# The system headers first: after the standard library's they could be in already.
cat >"$tree/src/formats/Planted.cpp" <<'EOF'
#include <sched.h>
#include <fnmatch.h>
#include <netdb.h>
#include "formats/../engine/Wording.h"
#include "Command.h"
#include <qwidget.h>
EOF
cat >>"$tree/src/formats/CMakeLists.txt" <<'EOF'
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/Planted.cpp PROPERTY INCLUDE_DIRECTORIES
  ${CMAKE_SOURCE_DIR}/src/engine $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
EOF
status=0
cmake --build "$build" -j2 "${targets[@]}" -- -k 0 >"$scratch/planted.log" 2>&1 || status=$?
if [ "$status" -eq 0 ]; then
  cat "$scratch/planted.log"
  echo "FAILED: the build passed with the planted includes" >&2
  exit 1
fi
missing=0
while IFS= read -r expected; do
  if ! grep -Eq "$expected" "$scratch/planted.log"; then
    echo "FAILED: no message matching: $expected" >&2
    missing=1
  fi
done <<'EOF'
src/os/Planted\.cpp includes "formats/ID3v1\.h" \(src/formats/ID3v1\.h\), a header of src/formats/$
src/os/ may include its own folder, no Qt, the system's headers \(NATIVE\), and the C\+\+ standard library$
src/formats/Planted\.cpp includes <sched\.h> \(/[^ ]*/sched\.h\), a system header$
src/formats/ may include its own folder and os/, no Qt, no system headers \(not NATIVE\), and the C\+\+ standard library$
src/formats/Planted\.cpp includes <fnmatch\.h> \(/[^ ]*/fnmatch\.h\), a system header$
src/formats/Planted\.cpp includes <netdb\.h> \(/[^ ]*/netdb\.h\), a system header$
src/formats/Planted\.cpp includes "formats/\.\./engine/Wording\.h" \(src/engine/Wording\.h\), a header of src/engine/$
src/formats/Planted\.cpp includes "Command\.h" \(src/engine/Command\.h\), a header of src/engine/$
src/formats/Planted\.cpp includes <qwidget\.h> \(/[^ ]*/QtWidgets/qwidget\.h\), a header of Qt Widgets$
EOF
if [ "$missing" -ne 0 ]; then
  cat "$scratch/planted.log"
  exit 1
fi
rm -rf "$scratch"
