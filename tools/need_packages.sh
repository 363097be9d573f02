# Sourced by the tools' scripts: installs the Debian packages among its
# arguments that are not installed yet (as root, or through sudo).

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_updated=no
need_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing ${missing[*]}"
  if [ "$apt_updated" = no ]; then
    as_root apt-get update -qq
    apt_updated=yes
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# What the native build of the command needs.
need_build_packages() {
  need_packages cmake ninja-build g++ libgtest-dev libasound2-dev
}
