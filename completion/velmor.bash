# bash completion for velmor: the one argument is an image file name, so
# offer folders and the files ending in .jpg, .jpeg or .bmp, in any case.
_velmor()
{
    local cur prev words cword
    _init_completion || return
    # A second name is never right: velmor takes exactly one.
    ((cword == 1)) || return
    _filedir '[jJ][pP][gG]|[jJ][pP][eE][gG]|[bB][mM][pP]'
} &&
    complete -F _velmor velmor
