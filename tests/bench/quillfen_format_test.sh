#!/usr/bin/env bash
# The command-line driver: converts a file or standard input, and rejects
# text that is not UTF-8 with a message and exit status 1.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() {  # name, expected file, actual file
  if cmp -s "$2" "$3"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $1: expected $(od -c "$2" | head -3) got $(od -c "$3" | head -3)"
  fi
}

printf '{"a":1,"b":{"c":"\xc3\xa9\xf0\x9f\x98\x80"}}' >"$work/in.json"
printf '{\r\n"a":1\r\n"b":{\r\n"c":"\xc3\xa9\xf0\x9f\x98\x80"\r\n}\r\n}' >"$work/expected"
"$tool" "$work/in.json" >"$work/from-file"
check from-file "$work/expected" "$work/from-file"
"$tool" <"$work/in.json" >"$work/from-stdin"
check from-stdin "$work/expected" "$work/from-stdin"

: >"$work/empty"
"$tool" "$work/empty" >"$work/from-empty"
check empty "$work/empty" "$work/from-empty"

printf '{"a":"\xc3"}' >"$work/bad.json"
"$tool" "$work/bad.json" >"$work/bad-out" 2>"$work/bad-err"
status=$?
if [ "$status" -eq 1 ] && grep -q 'not UTF-8: UTF-8 sequence cut short at offset 6' "$work/bad-err" &&
  [ ! -s "$work/bad-out" ]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAIL invalid-utf8: status $status, stderr: $(cat "$work/bad-err")"
fi

"$tool" "$work/missing" 2>/dev/null
if [ $? -eq 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL missing file"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
