# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(TALVIO_WERROR)
  add_compile_options(-Werror)
endif()
if(TALVIO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
