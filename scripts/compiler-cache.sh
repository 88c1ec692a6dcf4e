# Sourced by the build scripts: sets cache_launcher to the CMake options that
# put ccache before the compilers, when it is installed. The cache keys use
# paths relative to the source tree, so a fresh clone elsewhere on the same
# machine (as CI makes) finds what an earlier build compiled.
cache_launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    export CCACHE_NOHASHDIR=1
    cache_launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
