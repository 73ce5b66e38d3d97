# Network steps for the install scripts (sourced): each try has a time limit, a failed one is
# tried again, and the last failure says what could not be fetched. Debian's mirror is the one
# this machine's apt sources name.

# bounded WHAT SECONDS COMMAND...: up to three tries of SECONDS each.
bounded() {
  local what=$1 seconds=$2 try status
  shift 2
  for try in 1 2 3; do
    status=0
    timeout --kill-after=30 "$seconds" "$@" || status=$?
    [ "$status" -eq 0 ] && return 0
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
      echo "$what: no answer in ${seconds} s (try $try of 3)" >&2
    else
      echo "$what: failed with status $status (try $try of 3)" >&2
    fi
    [ "$try" -lt 3 ] && sleep $((try * 10))
  done
  echo "$what: gave up after 3 tries; is Debian's package mirror reachable?" >&2
  return 1
}

# The Debian mirror of this machine's apt sources that serves bookworm (one-line or deb822).
debian_mirror() {
  local found
  found=$(awk '$1 == "deb" && $0 ~ / bookworm / {
                 for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -1)
  if [ -z "$found" ]; then
    found=$(awk 'BEGIN { RS = ""; FS = "\n" }
                 /(^|\n)Suites:[^\n]*bookworm( |\n|$)/ && /(^|\n)Types:[^\n]*deb( |\n|$)/ {
                   for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) {
                     split($i, words, " "); print words[2]; exit } }' \
              /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
  fi
  [ -n "$found" ] || { echo "no bookworm mirror in this machine's apt sources" >&2; return 1; }
  echo "$found"
}

# install_missing PACKAGE...: installs with apt-get those Debian packages that are missing;
# silent and quick when all are there.
install_missing() {
  local package missing=() sudo=""
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  bounded "apt-get update" 300 $sudo apt-get update -qq
  bounded "installing ${missing[*]}" 1500 $sudo env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
