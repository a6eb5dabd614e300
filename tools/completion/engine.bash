# bash completion for engine: request words, media, options, then files.
_engine() {
  local cur prev words cword
  _init_completion || return
  local i=1
  if [[ ${words[1]} == -C ]]; then
    if (( cword == 2 )); then _filedir -d; return; fi
    i=3
  fi
  if (( cword == i )); then
    COMPREPLY=($(compgen -W 'indexation comparaison recherche classement init --help --version -C' -- "$cur"))
    return
  fi
  case ${words[i]} in
    comparaison|classement)
      if (( cword == i + 1 )); then
        COMPREPLY=($(compgen -W 'texte image son' -- "$cur"))
      elif [[ ${words[i]} == classement && $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--max --json --' -- "$cur"))
      elif [[ $prev != --max ]]; then
        _filedir
      fi
      ;;
    init) _filedir -d ;;
  esac
}
complete -F _engine engine
