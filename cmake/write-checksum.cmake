# Writes FILE.sha256 beside FILE, in the format of sha256sum
# ("<hex>  <name>", the name without its folder), so that
# `sha256sum -c FILE.sha256` checks it in the folder that holds both.
#   cmake -D FILE=path -P write-checksum.cmake
file(SHA256 "${FILE}" hash)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${FILE}.sha256" "${hash}  ${name}\n")
