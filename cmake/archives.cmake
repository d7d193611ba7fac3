# Gathers the release archives in OUT/archives (run by the dist target, in
# the source folder): the .debs and the .zip as their presets made them,
# and for each Linux release program a tarball as ripgrep ships them,
# velmor-VERSION-ARCH-linux-LIBC.tar.gz: one folder of that name holding
# the program (static: it runs on any distribution), its manual page, its
# completion for bash, zsh and fish, the README and the LICENSE. Then
# SHA256SUMS.
#   cmake -D VERSION=1.00 -D OUT=build/dist -P cmake/archives.cmake
include(${OUT}/package-config.cmake)  # SOURCE_DATE_EPOCH
set(archives ${OUT}/archives)
file(REMOVE_RECURSE ${archives} ${OUT}/stage)
file(MAKE_DIRECTORY ${archives})

file(GLOB packages build/release/packages/*.deb build/aarch64-release/packages/*.deb
                   build/windows-release/packages/*.zip)
file(COPY ${packages} DESTINATION ${archives})

foreach(build IN ITEMS build/release build/aarch64-release)
    # Named for the target and the C library the program was built for.
    file(STRINGS ${build}/CMakeCache.txt name REGEX "^VELMOR_TARBALL:")
    string(REGEX REPLACE "^[^=]*=" "" name "${name}")
    set(stage ${OUT}/stage/${name})
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --prefix ${stage}-install --strip
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(MAKE_DIRECTORY ${stage})
    file(COPY ${stage}-install/bin/velmor ${build}/velmor.1 README.md LICENSE
              completion/velmor.bash completion/_velmor completion/velmor.fish DESTINATION ${stage})
    # Owners, modes and times that depend on nothing but the commit.
    execute_process(
        COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --mode=u+rwX,go=rX,go-w
                --mtime=@$ENV{SOURCE_DATE_EPOCH} --format=gnu -C ${OUT}/stage -cf ${OUT}/stage/${name}.tar ${name}
        COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND gzip -9n ${OUT}/stage/${name}.tar COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${OUT}/stage/${name}.tar.gz ${archives}/${name}.tar.gz)
endforeach()

file(GLOB files RELATIVE ${archives} ${archives}/*)
list(SORT files)
set(sums "")
foreach(f IN LISTS files)
    file(SHA256 ${archives}/${f} sum)
    string(APPEND sums "${sum}  ${f}\n")
endforeach()
file(WRITE ${archives}/SHA256SUMS "${sums}")
message(STATUS "${archives}:\n${sums}")
