#!/usr/bin/env bash
# Builds every libFuzzer target with clang, ASan and UBSan into build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each
# fuzz_* program for $FUZZ_SECONDS seconds (20 by default). Fails when any of them finds a crash, a hang,
# a leak or a sanitizer report. Without clang it says so and succeeds, so it can sit in any check list.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz.sh: clang not found, skipping the fuzz targets"
    exit 0
fi

build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
# Sanitizers and coverage on every library; libFuzzer's own main only on the fuzz programs (fuzz/CMakeLists.txt).
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTT_BUILD_FUZZERS=ON -DTT_BUILD_TESTS=OFF -DTT_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build "$build_dir" --target fuzzers -j"$(nproc)"

mapfile -t targets < <(find "$build_dir" -type f -name 'fuzz_*' -perm -u+x | sort)
if [[ ${#targets[@]} -eq 0 ]]; then
    echo "fuzz.sh: no fuzz_* programs were built" >&2
    exit 1
fi

failed=()
for target in "${targets[@]}"; do
    name=$(basename "$target")
    corpus="$build_dir/corpus/$name"
    artifacts="$build_dir/artifacts/$name/"
    mkdir -p "$corpus" "$artifacts"
    args=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts")
    [[ -f "fuzz/$name.dict" ]] && args+=(-dict="fuzz/$name.dict")
    seeds=()
    [[ -d "fuzz/corpus/$name" ]] && seeds+=("fuzz/corpus/$name")
    echo "== $name: ${seconds}s"
    if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$target" "${args[@]}" "$corpus" "${seeds[@]}" \
        >"$build_dir/$name.log" 2>&1; then
        tail -n 40 "$build_dir/$name.log"
        echo "== $name FAILED; the input is in $artifacts, the log in $build_dir/$name.log"
        failed+=("$name")
    else
        grep -E "^Done" "$build_dir/$name.log" || true
    fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzz.sh: findings in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz.sh: ${#targets[@]} target(s) ran ${seconds}s each without findings"
