# Compiler and linker flags of every target: the hardening Debian builds its packages with
# (dpkg-buildflags with hardening=+all), and no folder of the building machine in the binaries,
# so that two builds of the same sources give the same bytes wherever they are built.

option(ZORVIK_HARDENING "Build with the hardening flags of Debian packages" ON)

if(ZORVIK_HARDENING)
    include(CheckCXXCompilerFlag)
    include(CheckPIESupported)
    # Position-independent executables, so that address-space randomisation covers the program.
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    foreach(flag -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "ZORVIK_HAS${flag}" var)
        check_cxx_compiler_flag(${flag} ${var})
        if(${var})
            add_compile_options(${flag})
        endif()
    endforeach()
    # Fortified library calls need an optimised build, and the sanitizers replace those calls
    # with their own.
    if(NOT ZORVIK_SANITIZE)
        add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
    # Relocations read-only after start-up, and every symbol bound at start-up.
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# Debug information and __FILE__ name the sources relative to the source folder ("./src/...")
# and generated files relative to the build folder ("build/..."). The build folder is mapped
# last because it may lie inside the source folder and the compiler tries the last map first.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
