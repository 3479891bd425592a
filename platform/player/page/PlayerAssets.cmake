# The player page and the Ruffle files it needs, embedded into the executable so that a
# self-update brings its player along. Ruffle comes from npm, pinned by the package-lock at
# the top of the tree, and is installed into the build tree by `npm ci`.
find_program(KIVORA_NPM npm REQUIRED)

set(player_npm_dir ${CMAKE_CURRENT_BINARY_DIR}/player-npm)
set(player_ruffle_dir ${player_npm_dir}/node_modules/@ruffle-rs/ruffle)
file(MAKE_DIRECTORY ${player_npm_dir})

# Only what this engine (Qt 6.4's Chromium, which has every WebAssembly extension Ruffle
# asks for) loads: the loader, the extension build's chunk and its module. The vanilla
# chunk and module (another 14 MB) and the source maps stay out. The names carry content
# hashes, so they change with the pinned version.
set(player_ruffle_files
    ruffle.js
    core.ruffle.c80159b526e567babaf5.js
    826bb0938097485a2c9d.wasm
)
list(TRANSFORM player_ruffle_files PREPEND ${player_ruffle_dir}/ OUTPUT_VARIABLE player_ruffle_paths)

add_custom_command(
    OUTPUT ${player_ruffle_paths}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${PROJECT_SOURCE_DIR}/package.json ${PROJECT_SOURCE_DIR}/package-lock.json ${player_npm_dir}
    COMMAND ${KIVORA_NPM} ci --ignore-scripts --no-audit --no-fund --loglevel=error
    # npm keeps the package's own file times (1985); mark the files as new for make.
    COMMAND ${CMAKE_COMMAND} -E touch ${player_ruffle_paths}
    WORKING_DIRECTORY ${player_npm_dir}
    DEPENDS ${PROJECT_SOURCE_DIR}/package.json ${PROJECT_SOURCE_DIR}/package-lock.json
    COMMENT "Installing the pinned Ruffle player (npm ci)"
    VERBATIM
)

set(player_page_files index.html fetchshim.js player.js)
set(player_qrc ${CMAKE_CURRENT_BINARY_DIR}/kivora_player.qrc)
set(player_qrc_text "<RCC>\n  <qresource prefix=\"/kivora/player\">\n")
foreach(file IN LISTS player_page_files)
    string(APPEND player_qrc_text "    <file alias=\"${file}\">${CMAKE_CURRENT_SOURCE_DIR}/page/${file}</file>\n")
endforeach()
foreach(file IN LISTS player_ruffle_files)
    string(APPEND player_qrc_text "    <file alias=\"ruffle/${file}\">${player_ruffle_dir}/${file}</file>\n")
endforeach()
# The CJK font for device text (assets/fonts/README.md).
string(APPEND player_qrc_text "    <file alias=\"fonts/DroidSansFallbackGB2312.ttf\">${PROJECT_SOURCE_DIR}/assets/fonts/DroidSansFallbackGB2312.ttf</file>\n")
string(APPEND player_qrc_text "  </qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT ${player_qrc} CONTENT "${player_qrc_text}")

# The module is 14 MB: compiled straight into an object file rather than through C++ text.
qt_add_big_resources(player_resource_objects ${player_qrc})
target_sources(kivora_platform_player PRIVATE ${player_resource_objects})
