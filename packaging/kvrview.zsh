#compdef kvrview
# zsh completion for kvrview: the options, folders for FOLDER, pictures after -o, model files
# after --thumbnail, the categories after --category and, after --render, --turntable and --show,
# the models of the data set named on the line (or of the current folder). Names from a data set
# are file names found by a glob and handed to compadd, which matches them literally against what
# was typed and quotes them when inserting: nothing from the disk or the line is ever evaluated.

# The folder named on the line, in REPLY: the one word that is neither an option nor an option's
# value, with its quotes taken off (not evaluated); "." when there is none.
_kvrview_folder() {
  local i word
  REPLY=.
  for ((i = 2; i <= $#words; i++)); do
    ((i == CURRENT)) && continue
    word=${words[i]}
    case $word in
      (--render|--turntable|--thumbnail|-o|--size|--yaw|--pitch|--background|--time|--category|--cell|--columns|--frames|--show|--seconds|--export|--import|--scale|--page|--into)
        ((i++)) ;;
      (-*) ;;
      (*) REPLY=${(Q)word} ;;
    esac
  done
  [[ $REPLY == '~' || $REPLY == '~/'* ]] && REPLY=$HOME${REPLY#'~'}
}

# The models of the data set named on the line, in the array reply: the .pie files' names under its
# duskfen folder, three levels deep at most, only when it holds a start-up manifest (so that a
# --render typed in a large folder does not walk it).
_kvrview_models() {
  setopt localoptions extendedglob nullglob
  local REPLY
  _kvrview_folder
  reply=()
  [[ -f $REPLY/duskfen/KVRStartUp.gam ]] || return 1
  local -a files
  files=($REPLY/duskfen/{,*/,*/*/}*.(#i)pie(-.))
  reply=(${(u)${files:t}%.(#i)pie})
  (($#reply))
}

_kvrview() {
  local -a reply
  case ${words[CURRENT-1]} in
    (-o)
      _files -g '*.(#i)(png|gif|webp|glb|gltf|pie)(-.)'
      return ;;
    (--thumbnail)
      _files -g '*.(#i)pie(-.)'
      return ;;
    (--import)
      _files -g '*.(#i)(gltf|glb|obj|fbx|dae)(-.)'
      return ;;
    (--into)
      _files -/
      return ;;
    (--category)
      compadd -- bodies features miscellaneous research effects propulsions structures weapons
      return ;;
    (--render|--turntable|--show|--export)
      _kvrview_models && compadd -a reply
      return ;;
    (--size|--yaw|--pitch|--background|--time|--cell|--columns|--frames|--seconds|--scale|--page)
      return 1 ;;  # a number or numbers: nothing to offer
  esac
  if [[ $PREFIX == -* ]]; then
    compadd -- --help --version --check --json --render --sheet --thumbnail --turntable -o --size --yaw \
      --pitch --background --time --category --cell --columns --frames --show --seconds --export --export-all \
      --import --scale --page --into
    return
  fi
  _files -/
}

_kvrview "$@"
