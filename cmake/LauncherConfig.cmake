# Deployment constants: the hosts the launcher talks to and its version.
# The version goes into each executable on its own (LauncherVersion.cmake),
# so that tests can link a "newer" launcher beside the current one.
set(LAUNCHER_VERSION "2016-04-25" CACHE STRING "Version the launcher compares with the resource host's")
set(LAUNCHER_PORTAL_HOST "www.torvessa.example" CACHE STRING "Portal web host")
set(LAUNCHER_PORTAL_GAME_HOST "game.torvessa.example" CACHE STRING "Portal game host (quick-start redirect)")
set(LAUNCHER_FORUM_HOST "bbs.torvessa.example" CACHE STRING "Forum host")
set(LAUNCHER_LOGIN_HOST "login.torvessa.example" CACHE STRING "Login host the game page reaches (lower case)")
set(LAUNCHER_LOGIN_KEY_DOMAIN "torvessa.example" CACHE STRING "Domain of the login-key service (s<sid>.<domain>:8075)")
set(LAUNCHER_RESOURCE_HOST "res.torvessa.example" CACHE STRING "Resource host (version file, packages)")
set(LAUNCHER_STATISTICS_HOST "stat.torvessa.example" CACHE STRING "Statistics host")

set(LAUNCHER_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/LauncherConfig.h.in ${LAUNCHER_GENERATED_DIR}/LauncherConfig.h @ONLY)
