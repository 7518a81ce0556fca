#!/usr/bin/env bash
# What help2man reads: the viewer's --help and --version ($KVRVIEW is the built program), with two
# forms of the help text that help2man would misread put the way it expects:
#  - the usage lines after the first are aligned under it; help2man takes only lines starting
#    "or:" into the synopsis and would run the others together in the description;
#  - an option whose text starts with a dash ("--render: the picture's size") is not told apart
#    from its text, so the text goes to a line of its own, where help2man looks for it too.
# Help text already written in those forms passes through unchanged.
set -euo pipefail
"$KVRVIEW" "$@" | sed -E \
  -e 's/^ {7}(kvrview )/   or: \1/' \
  -e 's/^(  -[^ ]+( [A-Z][^ ]*)?) {2,}(-.*)$/\1\n                       \3/'
