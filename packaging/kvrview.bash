# bash completion for kvrview: the options, folders for FOLDER, PNG files after -o, the categories
# after --category and, after --render, the models of the data set named so far on the line (or
# of the current folder).
#
# Names come from disk, and the disk may be a stranger's download: a model may be called
# '$(rm -rf ~).pie'. So no name is ever handed to anything that expands, splits or runs text
# (no compgen -W, no eval, no unquoted $name): candidates are kept in arrays, matched against what
# was typed by a plain prefix comparison, and each one is inserted quoted: files and folders by
# bash itself (compopt -o filenames, which quotes every special character of a name that exists),
# model names, which are no files here, by _kvrview_quoted. So a name completes as itself or not
# at all. A name holding a control character (a newline, an escape) is never offered: not every
# way of quoting keeps a newline from ending the command line.

# The word being completed as the shell will read it: backslashes, '...' and "..." undone by
# hand, never by eval. Anything else ($'...', $var) is kept as typed, which then matches nothing.
# _kvrview_open is the quote still open at its end, if any.
_kvrview_dequote() {
  local text=$1 out= quote= c i
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    if [[ $quote == "'" ]]; then
      [[ $c == "'" ]] && quote= || out+=$c
    elif [[ $c == '\' && ($quote != '"' || ${text:i+1:1} == [\"\\\$\`]) ]]; then
      ((i++))
      out+=${text:i:1}
    elif [[ $c == '"' ]]; then
      [[ $quote ]] && quote= || quote='"'
    elif [[ $c == "'" && ! $quote ]]; then
      quote="'"
    else
      out+=$c
    fi
  done
  REPLY=$out
  _kvrview_open=$quote
}

# The model names offered so far, written as they are to be inserted. Readline puts an offer in
# place of what follows an opening quote, so a name is written in that quote's rules and the
# quote closed; otherwise it is backslash-quoted (printf %q). A name that cannot be written safely
# inside the open quote ('!' in "...", which history expansion reads) is not offered. Bash's own
# quoting of file names is not used: it leaves $ and backticks of a name that is no file as they
# are, to be expanded.
_kvrview_quoted() {
  local open=$1 name
  local -a quoted=()
  for name in "${COMPREPLY[@]}"; do
    case $open in
      "'") quoted+=("${name//\'/\'\\\'\'}'") ;;
      '"')
        [[ $name == *!* ]] && continue
        name=${name//\\/\\\\}
        name=${name//\"/\\\"}
        name=${name//\$/\\\$}
        quoted+=("${name//\`/\\\`}\"")
        ;;
      *) printf -v name '%q' "$name" && quoted+=("$name") ;;
    esac
  done
  COMPREPLY=("${quoted[@]}")
}

# Offers each candidate that starts with the typed prefix, byte for byte (no pattern in the
# prefix is honoured), and holds no control character.
_kvrview_offer() {
  local prefix=$1 candidate
  shift
  for candidate in "$@"; do
    [[ ${candidate:0:${#prefix}} == "$prefix" && $candidate != *[[:cntrl:]]* ]] && COMPREPLY+=("$candidate")
  done
}

# The entries beside the typed prefix whose names start with it: folders only with -d, else
# folders and files ending in .png in any letter case. Found by a glob on the literal prefix
# (quoted, so only the trailing * is a pattern).
_kvrview_files() {
  local prefix=$1 kind=$2 entry
  local -a entries=()
  [[ $prefix == '~/'* ]] && prefix=$HOME/${prefix:2}
  # Globbing on, no match giving nothing; the user's settings are put back after.
  local noglob=0 nullglob=0 failglob=0
  [[ $- == *f* ]] && noglob=1 && set +f
  shopt -q nullglob && nullglob=1
  shopt -q failglob && failglob=1
  shopt -s nullglob
  shopt -u failglob
  entries=("$prefix"*)
  ((nullglob)) || shopt -u nullglob
  ((failglob)) && shopt -s failglob
  ((noglob)) && set -f
  for entry in "${entries[@]}"; do
    [[ $entry == *[[:cntrl:]]* ]] && continue
    if [[ -d $entry ]] || [[ $kind == png && -f $entry && ${entry,,} == *.png ]]; then
      COMPREPLY+=("$entry")
    fi
  done
  # Bash quotes what it inserts and puts a slash after folders.
  ((${#COMPREPLY[@]})) && compopt -o filenames 2>/dev/null
}

# The .pie base names under the data set in $1 (only when it holds a start-up manifest, so that a
# --render typed in a large folder does not walk it), one each, into the array _kvrview_names.
_kvrview_models() {
  local folder=$1 name
  local -A seen=()
  _kvrview_names=()
  [[ -f $folder/duskfen/KVRStartUp.gam ]] || return
  while IFS= read -r -d '' name; do
    name=${name%.[pP][iI][eE]}
    [[ ${seen[x$name]-} ]] && continue
    seen[x$name]=1
    _kvrview_names+=("$name")
  done < <(find "$folder/duskfen" -maxdepth 3 -type f -iname '*.pie' -printf '%f\0' 2>/dev/null)
}

_kvrview() {
  local cur prev words cword REPLY _kvrview_open
  _init_completion || return
  _kvrview_dequote "$cur"
  local typed=$REPLY open=$_kvrview_open

  case $prev in
    -o)
      _kvrview_files "$typed" png
      return
      ;;
    --category)
      _kvrview_offer "$typed" bodies features miscellaneous research effects propulsions structures weapons
      return
      ;;
    --thumbnail)
      _kvrview_files "$typed" pie
      return
      ;;
    --render | --turntable | --show | --export)
      # The folder is the one word that is neither an option nor an option's value.
      local i folder=.
      for ((i = 1; i < ${#words[@]}; i++)); do
        ((i == cword)) && continue
        case ${words[i]} in
          --render | --turntable | --thumbnail | -o | --size | --yaw | --pitch | --background | --time | --category | --cell | --columns | --frames | --seconds | --show | --export | --import | --scale | --page | --into)
            ((i++))
            ;;
          -*) ;;
          *)
            _kvrview_dequote "${words[i]}"
            folder=$REPLY
            [[ $folder == '~/'* ]] && folder=$HOME/${folder:2}
            ;;
        esac
      done
      local -a _kvrview_names
      _kvrview_models "$folder"
      _kvrview_offer "$typed" "${_kvrview_names[@]}"
      _kvrview_quoted "$open"
      return
      ;;
    --size | --yaw | --pitch | --background | --time | --cell | --columns | --frames | --seconds | --scale | --page)
      return  # a number or numbers: nothing to offer
      ;;
  esac

  if [[ $cur == -* ]]; then
    _kvrview_offer "$cur" --help --version --check --json --render -o --size --yaw --pitch \
      --background --time --sheet --category --cell --columns --frames --show \
      --thumbnail --turntable --seconds --export --export-all --import --scale --page --into
    return
  fi
  _kvrview_files "$typed" -d
} &&
  complete -F _kvrview kvrview
