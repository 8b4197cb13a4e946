# Sourced by the build scripts: compiles go through ccache when it is
# installed. Paths are hashed relative to the folder above the repository,
# so a fresh clone elsewhere on the same machine reuses earlier compiles.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
  export CCACHE_NOHASHDIR=true
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"
fi
