#!/usr/bin/env bash
# Signs the release through cmake/sign-file.cmake both ways it can hold the
# key: the program with a PEM key file, the msi with the same key on a
# PKCS#11 token (SoftHSM, in a folder of its own, PIN from a file) and an
# RFC 3161 timestamp from a time-stamp server on 127.0.0.1 that this script
# starts and stops. Both verify, and fail to once a byte has changed. The
# certificate is valid for one day: three days on, the msi's signature still
# verifies through its timestamp, the program's (none) does not. Leaves
# signed.exe and signed.msi in WORKDIR for check-installer.sh.
# Usage: check-signing.sh CMAKE BUILD_DIR SOURCE_DIR VERSION WORKDIR
set -euo pipefail
trap 'echo "check-signing.sh: failed at line $LINENO" >&2' ERR
cmake=$1 build=$2 source=$3 version=$4 workdir=$5
rm -rf "$workdir"
mkdir -p "$workdir"
module=/usr/lib/softhsm/libsofthsm2.so

fail() {
  echo "$*" >&2
  exit 1
}
certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=VeltrinLighting test $1" \
    -addext "extendedKeyUsage=$2" -keyout "$workdir/$1-key.pem" -out "$workdir/$1.pem" 2>/dev/null
}
certificate signing codeSigning
certificate timestamps critical,timeStamping

# The token
export SOFTHSM2_CONF="$workdir/softhsm2.conf"
mkdir "$workdir/tokens"
echo "directories.tokendir = $workdir/tokens" >"$SOFTHSM2_CONF"
printf 4711 >"$workdir/pin"
softhsm2-util --init-token --free --label veltrin --pin 4711 --so-pin 4712 >/dev/null
softhsm2-util --import "$workdir/signing-key.pem" --token veltrin --label release --id 01 --pin 4711 >/dev/null

# The time-stamp server, reached directly even where a proxy is configured.
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
python3 "$source/tests/package/timestamp-responder.py" "$workdir/timestamps.pem" "$workdir/timestamps-key.pem" \
  "$workdir" "$workdir/port" &
responder=$!
trap 'kill "$responder" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -f "$workdir/port" ] && break
  sleep 0.1
done
[ -f "$workdir/port" ] || fail "the time-stamp server did not start"

# The settings as VeltrinSigningSettings.cmake writes them: NAME VALUE...
settings() {
  local file=$1
  shift
  : >"$workdir/$file"
  while [ $# -gt 0 ]; do
    echo "set(VELTRIN_SIGNING_$1 [==[$2]==])" >>"$workdir/$file"
    shift 2
  done
}
settings pem.cmake CERT "$workdir/signing.pem" KEY "$workdir/signing-key.pem"
settings token.cmake CERT "$workdir/signing.pem" PKCS11_MODULE "$module" \
  PKCS11_KEY "pkcs11:token=veltrin;object=release;type=private" PIN_FILE "$workdir/pin" \
  TIMESTAMP_URL "http://127.0.0.1:$(cat "$workdir/port")/"
sign() {
  "$cmake" -D "SETTINGS=$workdir/$1" -D "INPUT=$2" -D "OUTPUT=$workdir/$3" -P "$source/cmake/sign-file.cmake"
}
sign pem.cmake "$build/release/VeltrinLighting.exe" signed.exe
sign token.cmake "$build/VeltrinLighting-$version-win64.msi" signed.msi
kill "$responder"
wait "$responder" 2>/dev/null || true
trap - EXIT

verifies() {
  osslsigncode verify -CAfile "$workdir/signing.pem" -TSA-CAfile "$workdir/timestamps.pem" "$@" \
    >"$workdir/verify.log" 2>&1
}
# A copy of FILE with the byte in the middle changed, as COPY.
change_a_byte() {
  local offset byte
  cp "$1" "$2"
  offset=$(($(stat -c %s "$1") / 2))
  byte=$(od -An -tu1 -j "$offset" -N 1 "$1" | tr -d ' ')
  printf "\\x$(printf %02x $(((byte + 1) % 256)))" | dd of="$2" bs=1 seek="$offset" conv=notrunc status=none
}
expired=$(($(date +%s) + 3 * 24 * 3600))
# FILE TIMESTAMPED
while read -r file timestamped; do
  verifies -in "$workdir/$file" || { cat "$workdir/verify.log"; fail "$file does not verify"; }
  if grep -q 'Timestamp Server Signature verification: ok' "$workdir/verify.log"; then
    found=yes
  else
    found=no
  fi
  [ "$found" = "$timestamped" ] || { cat "$workdir/verify.log"; fail "$file: timestamp $found, expected $timestamped"; }
  change_a_byte "$workdir/$file" "$workdir/changed-$file"
  ! verifies -in "$workdir/changed-$file" || fail "$file still verifies with a byte changed"
  if verifies -time "$expired" -in "$workdir/$file"; then
    [ "$timestamped" = yes ] || fail "$file verifies after its certificate expired, without a timestamp"
  else
    [ "$timestamped" = no ] || { cat "$workdir/verify.log"; fail "$file no longer verifies once its certificate expired"; }
  fi
done <<'EOF'
signed.exe no
signed.msi yes
EOF
echo "signed with a PEM key and with a token's key and a timestamp; the timestamp outlives the certificate"
