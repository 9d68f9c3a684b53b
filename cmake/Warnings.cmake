# Warnings are errors everywhere. Applied to every target of the project;
# third-party code (GoogleTest built from source) is added with its own flags.
if(MSVC)
    add_compile_options(/W4 /WX /permissive- /utf-8)
else()
    add_compile_options(-Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion
                        -Wno-sign-conversion)
endif()
