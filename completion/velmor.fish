# fish completion for velmor: the one argument is an image file name, so
# offer folders and the files ending in .jpg, .jpeg or .bmp, in any case,
# and nothing after it (a second name is never right).
function __velmor_images
    # fish's own completion of file names, narrowed to folders and images.
    complete -C "__fish_command_without_completions "(commandline -ct) |
        string match -ri -- '^.*(?:/|\.(?:jpe?g|bmp))$'
end
complete -c velmor -f
complete -c velmor -n __fish_is_first_arg -a '(__velmor_images)'
