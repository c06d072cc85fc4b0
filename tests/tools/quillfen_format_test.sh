#!/usr/bin/env bash
# The command-line driver: converts a file or standard input; text that is
# not UTF-8 is converted up to its first fault, reported with the fault's
# offset and exit status 1.
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

# Many pieces of a text that is mostly four-byte characters, so that the
# places where the input is cut fall inside sequences. Input and
# expectation are one record and its readable text, doubled alike.
record='{"k":"\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xc3\xa9",\t"n":1}\n'
readable='{\r\n"k":"\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xc3\xa9"\r\n"n":1\r\n}'
printf "$record" >"$work/long.json"
printf "$readable" >"$work/long-expected"
double() { cat "$1" "$1" >"$1.twice" && mv "$1.twice" "$1"; }
for _ in $(seq 15); do
  double "$work/long.json"
  double "$work/long-expected"
done
"$tool" "$work/long.json" >"$work/long-out"
check many-pieces "$work/long-expected" "$work/long-out"

# Not UTF-8: the text before the fault is converted, then exit status 1
# with the fault's offset, counted over the whole input.
bad_case() {  # name, message; input in bad.json, expected output in bad-expected
  "$tool" "$work/bad.json" >"$work/bad-out" 2>"$work/bad-err"
  local status=$?
  if [ "$status" -eq 1 ] && grep -q "not UTF-8: $2\$" "$work/bad-err"; then
    check "$1" "$work/bad-expected" "$work/bad-out"
  else
    failed=$((failed + 1))
    echo "FAIL $1: status $status, stderr: $(cat "$work/bad-err")"
  fi
}
printf '{"a":"\xc3"}' >"$work/bad.json"
printf '{\r\n"a":"' >"$work/bad-expected"
bad_case cut-short 'UTF-8 sequence cut short at offset 6'
printf 'a,b\xff,c' >"$work/bad.json"
printf 'a\r\nb' >"$work/bad-expected"
bad_case lead-byte 'invalid UTF-8 lead byte at offset 3'
# Far behind the first piece.
: >"$work/bad.json"
: >"$work/bad-expected"
for _ in $(seq 3); do
  printf "$record$record$record$record$record" >>"$work/bad.json"
  printf "$readable$readable$readable$readable$readable" >>"$work/bad-expected"
done
cat "$work/long.json" "$work/bad.json" >"$work/bad.twice" && mv "$work/bad.twice" "$work/bad.json"
cat "$work/long-expected" "$work/bad-expected" >"$work/bad.twice" && mv "$work/bad.twice" "$work/bad-expected"
offset=$(wc -c <"$work/bad.json")
printf '\xc0\xaf}' >>"$work/bad.json"
bad_case far-fault "overlong UTF-8 sequence at offset $offset"
# A stray continuation byte right at the first place a piece may end,
# behind a complete four-byte character.
head -c 65532 /dev/zero | tr '\0' a >"$work/bad.json"
cp "$work/bad.json" "$work/bad-expected"
printf '\xf0\x9f\x98\x80\x80{' >>"$work/bad.json"
printf '\xf0\x9f\x98\x80' >>"$work/bad-expected"
bad_case stray-at-cut "invalid UTF-8 lead byte at offset 65536"

"$tool" "$work/missing" 2>/dev/null
if [ $? -eq 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL missing file"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
