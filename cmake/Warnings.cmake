# Project-wide compile settings: warnings for our own targets, optional sanitizers.
add_library(qev_options INTERFACE)
target_compile_options(qev_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual)
if(QEV_WERROR)
    target_compile_options(qev_options INTERFACE -Werror)
endif()
target_compile_definitions(qev_options INTERFACE QT_NO_KEYWORDS)
if(QEV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(QEV_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
