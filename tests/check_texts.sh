#!/usr/bin/env bash
# tests/check_texts.sh SOURCE_DIR
#
# The set-up without the dialog as administrators read it: README.md and the release's
# dist/Autovane.txt carry the same .reg block (Autovane.txt's indented by four spaces) and
# the command lines that ProgramTest.TheReadmesRegFileAndSilentRunSetUpTheMachine runs.
set -euo pipefail
readme=$1/README.md release=$1/dist/Autovane.txt
failed=0
fail() { echo "check_texts: $*" >&2; failed=1; }

block=$(sed -n '/^```reg$/,/^```$/{/^```/d;p}' "$readme")
[ -n "$block" ] || fail "README.md has no \`\`\`reg block"
[[ $(cat "$release") == *"$(sed 's/^./    &/' <<<"$block")"* ]] ||
  fail "dist/Autovane.txt has another .reg block than README.md"
for line in '    reg import autovane.reg /reg:64' '\Autovane.exe" NoUserInput' \
            '    reg delete "HKCU\Software\Brindlework\Autovane" /f'; do
  for text in "$readme" "$release"; do
    [[ $(cat "$text")$'\n' == *"$line"$'\n'* ]] || fail "${text#"$1"/} no longer says: $line"
  done
done
[ "$failed" -eq 0 ] || exit 1
echo "check_texts: README.md and dist/Autovane.txt tell the same set-up"
