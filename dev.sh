#!/usr/bin/env bash
# Developer entry point.
#   ./dev.sh test    build shared libraries and run every test, then build static ones under
#                    ASan and UBSan and run them again
#   ./dev.sh demo    build and run cif-check on bundled data: check, then summarise
#   ./dev.sh python  build the Python module and install it into a virtual environment,
#                    .venv (or $VENV), that also sees Debian's Python modules
#   ./dev.sh bench   build optimised and race the reader against gemmi's
#   ./dev.sh fuzz [SECONDS]  run each libFuzzer target (clang) from the committed corpus
#   ./dev.sh format  format the sources with the committed .clang-format
set -euo pipefail
cd "$(dirname "$0")"

JOBS=${JOBS:-2}
PACKAGES=(cmake g++ make pkg-config python3 libgtest-dev libpcre2-dev zlib1g-dev gemmi-dev help2man
    python3-dev pybind11-dev python3-numpy)
PYTHON_TEST_PACKAGES=(python3-pytest python3-dask python3-distributed)
USAGE="usage: $0 {test|demo|python|bench|fuzz [SECONDS]|format}"

install_missing_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]} (install them, or run as root)" >&2
        exit 1
    fi
    echo "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S . -B "$dir" -DCIF_WERROR=$werror "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

run_tests() {
    ctest --test-dir "$1" --output-on-failure -j "$JOBS"
}

case "${1:-}" in
test)
    PACKAGES+=("${PYTHON_TEST_PACKAGES[@]}")
    install_missing_packages
    configure_and_build build
    run_tests build
    echo "== again, static, with AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build build-sanitize -DCIF_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
        -DBUILD_SHARED_LIBS=OFF
    run_tests build-sanitize
    ;;
demo)
    install_missing_packages
    echo "== building the library and cif-check into build/ (a few minutes the first time)"
    configure_and_build build
    check=./build/examples/cif-check
    echo
    echo "== $check data/cif/2003526-r-factor-with-esd.cif  (a syntax check)"
    $check data/cif/2003526-r-factor-with-esd.cif || true
    echo
    echo "== $check -d core --mandatory --consistency --rules ...  (the IUCr core dictionary)"
    $check -d core --mandatory --consistency --rules data/cif/2003526-r-factor-with-esd.cif || true
    echo
    echo "== $check --summary --atoms ...  (structures, molecules, disorder)"
    $check --summary --atoms data/cif/1100893.cif data/cif/2228759-multiple-diacritics.cif || true
    ;;
python)
    install_missing_packages
    venv=${VENV:-.venv}
    echo "== the Python module into the virtual environment $venv (Debian's python3 and modules)"
    /usr/bin/python3 -m venv --system-site-packages --without-pip "$venv"
    site=$("$venv/bin/python" -c 'import sysconfig; print(sysconfig.get_path("platlib"))')
    configure_and_build build -DCIF_PYTHON_INSTALL_DIR="$site"
    cmake --install build --component python >/dev/null
    "$venv/bin/python" -c 'import cif; print("import cif:", cif.__file__)'
    echo "use it with: . $venv/bin/activate"
    ;;
bench)
    PACKAGES+=(tao-pegtl-dev gemmi)
    install_missing_packages
    configure_and_build build-release -DCMAKE_BUILD_TYPE=Release -DCIF_BUILD_TESTS=OFF >/dev/null
    ./build-release/bench/cif-bench
    if [ -d build-release/python ]; then
        echo "== the Python module"
        /usr/bin/python3 bench/python_bench.py build-release
    fi
    ;;
fuzz)
    PACKAGES+=(clang libclang-rt-dev)
    install_missing_packages
    configure_and_build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCIF_FUZZ=ON -DCIF_SANITIZE=ON \
        -DCIF_BUILD_TESTS=OFF -DCIF_BUILD_EXAMPLES=OFF -DCIF_BUILD_BENCHMARKS=OFF >/dev/null
    for target in fuzz_cif_read fuzz_dictionary_read; do
        mkdir -p "fuzz/corpus-work/$target" fuzz/artifacts
        ./build-fuzz/fuzz/$target -max_total_time="${2:-600}" -max_len=65536 \
            -artifact_prefix=fuzz/artifacts/ "fuzz/corpus-work/$target" fuzz/corpus
    done
    ;;
format)
    git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs -r clang-format -i
    ;;
*)
    echo "$USAGE" >&2
    exit 2
    ;;
esac
