# Sourced by the end-to-end scripts: check DESCRIPTION COMMAND... runs the command, prints ok or
# FAIL with the description, and counts the failures in $failures.
failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}

# The comparisons the scripts check with: two texts equal, a file holding a text, a path absent.
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
holds() { grep -qF -- "$2" "$1" || { echo "     ('$2' not in $1: $(head -c 300 "$1"))"; return 1; }; }
absent() { [ ! -e "$1" ] || { echo "     ($1 is there)"; return 1; }; }
