#!/usr/bin/env bash
# tests/check_signing.sh SOURCE_DIR
#
# A signed release, made by scripts/dist.sh with a throwaway certificate: the program in
# the archive carries a SHA-256 Authenticode signature that verifies against that
# certificate, SHA256SUMS holds the archive, the signed program and the unsigned one, and
# the signed program without its signature is build/Autovane.exe, byte for byte.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! bash "$root/scripts/setup.sh" signing; then
  echo "check_signing: SKIPPED: osslsigncode and openssl are not there and could not be installed" >&2
  exit 77
fi
failed=0
fail() { echo "check_signing: $*" >&2; failed=1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
  -days 2 -subj "/CN=test" 2>/dev/null
SIGN_CERT=$work/cert.pem SIGN_KEY=$work/key.pem DIST_DIR=$work/release SOURCE_DATE_EPOCH=1700000000 \
  bash "$root/scripts/dist.sh" >/dev/null
mkdir "$work/unpacked" && cd "$work/unpacked"
unzip -q "$work"/release/Autovane-*-win32.zip && cp "$work"/release/* .

checked=$(osslsigncode verify -CAfile "$work/cert.pem" -in Autovane.exe 2>&1) ||
  fail "the signed program does not verify against the certificate: $checked"
grep -qE 'Message digest algorithm *: SHA256' <<<"$checked" || fail "the signature's digest is not SHA-256"
osslsigncode remove-signature -in Autovane.exe -out Autovane-unsigned.exe >/dev/null
cmp -s Autovane-unsigned.exe "$root/build/Autovane.exe" ||
  fail "the signed program without its signature is not build/Autovane.exe"
[[ $(awk '{ print $2 }' SHA256SUMS | tr '\n' ' ') == "Autovane.exe Autovane-unsigned.exe Autovane-"*"-win32.zip " ]] ||
  fail "SHA256SUMS does not name the archive, the signed and the unsigned program: $(cat SHA256SUMS)"
sha256sum --quiet -c SHA256SUMS || fail "SHA256SUMS does not hold these files' hashes"

[ "$failed" -eq 0 ] || exit 1
echo "check_signing: the release's program is signed (SHA-256), verifies against the test" \
     "certificate, and without its signature is build/Autovane.exe"
