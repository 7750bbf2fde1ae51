# bash completion for ferrowyn-cli: its commands, each command's options and file names.
_ferrowyn_cli() {
  local cur prev words cword
  _init_completion || return
  local commands="crawl export get help links query report settings show site store"
  if [[ $cword -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    return
  fi
  local options=""
  case ${words[1]} in
    crawl)
      case $prev in
        --scope) COMPREPLY=($(compgen -W "none domain server directory filter" -- "$cur")); return ;;
        --save) _filedir fwb; return ;;
        --filter|--levels|--files|--kbytes|--slots|--query-slots|--login|--keywords) return ;;
      esac
      options="--scope --filter --levels --files --kbytes --slots --query-slots --mail --login
               --keywords --all --word --case --save --overwrite --https --insecure" ;;
    export) options="--overwrite" ;;
    get)
      case $prev in
        --proxy|--proxy-user|--user|--agent|--timeout) return ;;
      esac
      options="--proxy --proxy-user --user --agent --timeout --https --insecure" ;;
    links) options="--raw --ignore-scripts --mail" ;;
    query)
      case $prev in
        --sort) COMPREPLY=($(compgen -W "url hits found" -- "$cur")); return ;;
        --report) _filedir fwq; return ;;
        --slots) return ;;
      esac
      options="--all --word --case --slots --sort --report" ;;
    report) _filedir fwq; return ;;
    settings) [[ $cword -eq 2 ]] && COMPREPLY=($(compgen -W "set" -- "$cur")); return ;;
    show)
      [[ $prev == --keywords ]] && return
      options="--keywords --word --case --html --plain" ;;
    site)
      if [[ $cword -eq 3 ]]; then
        COMPREPLY=($(compgen -W "pages map mail" -- "$cur"))
        return
      fi
      options="--sort --save --overwrite" ;;
    store)
      if [[ $cword -eq 2 ]]; then
        COMPREPLY=($(compgen -W "ls cat put rm" -- "$cur"))
        return
      fi ;;
    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    _filedir
  fi
}
complete -F _ferrowyn_cli ferrowyn-cli
