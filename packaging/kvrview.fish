# fish completion for kvrview: the options, folders for FOLDER, pictures after -o, model files
# after --thumbnail, the categories after --category and, after --render, --turntable and --show,
# the models of the data set named on the line (or of the current folder). Names from a data set
# are printed as data, one a line, and fish matches and escapes them itself; a name holding a
# newline or a tab cannot be one line of that list and is not offered. Nothing from the disk or
# the line is ever evaluated.

# The folder named on the line: the one word that is neither an option nor an option's value, as
# fish's tokenizer gives it (quotes taken off, nothing expanded); "." when there is none.
function __kvrview_folder
    set -l tokens (commandline -op)
    set -l current (commandline -ct)
    set -l folder .
    set -l skip 0
    for token in $tokens[2..-1]
        if test $skip -eq 1
            set skip 0
            continue
        end
        switch $token
            case --render --turntable --thumbnail -o --size --yaw --pitch --background --time --category --cell --columns --frames --show --seconds --export --import --scale --page --into
                set skip 1
            case '-*'
            case '*'
                test "x$token" = "x$current"; or set folder $token
        end
    end
    if string match -q -- '~' $folder; or string match -q -- '~/*' $folder
        set folder $HOME(string sub -s 2 -- $folder)
    end
    printf '%s\n' $folder
end

# The .pie files' names under the data set's duskfen folder, three levels deep at most, only when it
# holds a start-up manifest (so that a --render typed in a large folder does not walk it).
function __kvrview_models
    set -l folder (__kvrview_folder)
    test -f "$folder/duskfen/KVRStartUp.gam"; or return
    # Split on NUL bytes into a list, so a name with a newline stays one element until it is left out.
    set -l files (find "$folder/duskfen" -maxdepth 3 -type f -iname '*.pie' -printf '%f\0' 2>/dev/null | string split0)
    set -l names (string match -rv -- '[\n\t]' $files)
    test (count $names) -gt 0; or return
    printf '%s\n' (string replace -ri -- '\.pie$' '' $names) | sort -u
end

complete -c kvrview -f
complete -c kvrview -n 'not string match -q -- "-*" (commandline -ct)' -a '(__fish_complete_directories (commandline -ct) folder)'
complete -c kvrview -l help -d 'print the help and exit'
complete -c kvrview -l version -d 'print the version and exit'
complete -c kvrview -l check -d 'load the data set without a window and list every problem'
complete -c kvrview -l json -d 'with --check: one JSON document'
complete -c kvrview -l render -x -a '(__kvrview_models)' -d 'draw a model into a PNG file'
complete -c kvrview -l sheet -d 'draw every model into a contact sheet'
complete -c kvrview -l thumbnail -r -F -d 'draw a model file alone into a PNG file'
complete -c kvrview -l turntable -x -a '(__kvrview_models)' -d 'draw a model turning round into a GIF, WebP or PNG'
complete -c kvrview -s o -r -F -d 'the picture written'
complete -c kvrview -l size -x -d 'the picture size, WxH (PX for --thumbnail)'
complete -c kvrview -l yaw -x -d 'turn about the vertical axis, degrees'
complete -c kvrview -l pitch -x -d 'look down by this much, degrees'
complete -c kvrview -l background -x -d 'the background, R,G,B'
complete -c kvrview -l time -x -d 'the animation clock, milliseconds'
complete -c kvrview -l category -x -a 'bodies features miscellaneous research effects propulsions structures weapons' -d 'with --sheet: only this category'
complete -c kvrview -l cell -x -d 'with --sheet: the side of a cell'
complete -c kvrview -l columns -x -d 'with --sheet: cells a row'
complete -c kvrview -l frames -x -d 'frames timed, or a turntable\'s pictures'
complete -c kvrview -l show -x -a '(__kvrview_models)' -d 'with --frames: show this model'
complete -c kvrview -l seconds -x -d 'with --turntable: the length of one turn'
complete -c kvrview -l export -x -a '(__kvrview_models)' -d 'write a model as glTF 2.0 (-o FILE.glb or .gltf)'
complete -c kvrview -l export-all -d 'write every model as glTF 2.0 into -o DIR'
complete -c kvrview -l import -r -F -d 'make a PIE model from a glTF, OBJ, FBX or Collada file'
complete -c kvrview -l scale -x -d 'with --export and --import: metres per viewer unit'
complete -c kvrview -l page -x -d 'with --import: the texture page\'s name'
complete -c kvrview -l into -x -a '(__fish_complete_directories (commandline -ct) folder)' -d 'with --import: the data set the model joins'
