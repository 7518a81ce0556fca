# bash completion for kvrview: the options, folders for FOLDER, PNG files after -o, the categories
# after --category and, after --render, the models of the data set named so far on the line (or
# of the current folder).

# The .pie base names under the data set in $1 (only when it holds a start-up manifest, so that a
# --render typed in a large folder does not walk it).
_kvrview_models() {
  local folder=$1
  [[ -f $folder/duskfen/KVRStartUp.gam ]] || return
  find "$folder/duskfen" -maxdepth 3 -type f -iname '*.pie' -printf '%f\n' 2>/dev/null |
    sed 's/\.[pP][iI][eE]$//' | sort -u
}

_kvrview() {
  local cur prev words cword
  _init_completion || return

  case $prev in
    -o)
      _filedir png
      return
      ;;
    --category)
      COMPREPLY=($(compgen -W 'bodies features miscellaneous research effects propulsions
                               structures weapons' -- "$cur"))
      return
      ;;
    --render | --show | --export)
      # The folder is the one word that is neither an option nor an option's value.
      local i folder=.
      for ((i = 1; i < ${#words[@]}; i++)); do
        ((i == cword)) && continue
        case ${words[i]} in
          --render | -o | --size | --yaw | --pitch | --background | --time | --category | --cell | --columns | --frames | --show | --export | --import | --scale | --page | --into)
            ((i++))
            ;;
          -*) ;;
          *)
            # The word as typed: drop its quotes and backslashes (never eval what was typed).
            folder=${words[i]/#\~/$HOME}
            folder=${folder//[\\\'\"]/}
            ;;
        esac
      done
      local IFS=$'\n'
      COMPREPLY=($(compgen -W "$(_kvrview_models "$folder")" -- "$cur"))
      return
      ;;
    --size | --yaw | --pitch | --background | --time | --cell | --columns | --frames | --scale | --page)
      return  # a number or numbers: nothing to offer
      ;;
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--help --version --check --json --render -o --size --yaw --pitch
                             --background --time --sheet --category --cell --columns --frames
                             --show --export --export-all --import --scale --page --into' -- "$cur"))
    return
  fi
  _filedir -d
} &&
  complete -F _kvrview kvrview
